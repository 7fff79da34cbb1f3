#include "output_file.h"

#include <atomic>
#include <chrono>

#include "text_files.h"

std::string write_result::failure_line(const std::string& cannot_create_line, const std::string& path) const
{
    return outcome == status::cannot_create ? cannot_create_line : "Couldn't write " + path + ": " + reason;
}

write_result write_generated_file(const std::string& path, std::string_view text)
{
    std::string storage;
    return write_generated_bytes(path, file_text(text, storage));
}

write_result write_generated_bytes(const std::string& path, std::string_view bytes, platform::file_stamp* stamp)
{
    platform::file file;
    if (!file.create_or_empty(path))
        return {write_result::status::cannot_create, platform::last_error_text()};
    if (!file.write(bytes.data(), bytes.size())) {
        write_result failed{write_result::status::write_failed, platform::last_error_text()};
        (void)file.close();
        return failed;
    }
    if (!(stamp ? file.close(*stamp) : file.close()))
        return {write_result::status::write_failed, platform::last_error_text()};
    return {};
}

directory_status make_output_directory(const std::string& path)
{
    if (platform::make_directory(path))
        return directory_status::ok;
    switch (platform::node_at(path)) {
    case platform::node_kind::directory: return directory_status::ok;
    case platform::node_kind::link: return directory_status::link;
    default: return directory_status::not_created;
    }
}

std::string link_refusal(const std::string& path)
{
    return "Error: " + path +
           " is a link. Skeld writes nothing through a link; please remove it from the output location.";
}

replacement_file::replacement_file(std::string target) : target_(std::move(target)) {}

replacement_file::~replacement_file()
{
    if (!committed_ && !temporary_.empty()) {
        if (file_.is_open())
            (void)file_.close();
        platform::remove_file(temporary_);
    }
}

bool replacement_file::open(const platform::file& replaced)
{
    if (!open())
        return false;
    file_.take_permissions_of(replaced);
    return true;
}

bool replacement_file::open()
{
    // Unique per process and attempt, and created exclusively: a file planted
    // under a guessed name is never used.
    static std::atomic<unsigned> attempt{0};
    const auto clock = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int tries = 0; tries < 100; ++tries) {
        std::string name =
            target_ + ".skeld-" + std::to_string(clock % 1000000007ULL) + "-" + std::to_string(attempt++);
        if (file_.create_new(name)) {
            temporary_ = std::move(name);
            return true;
        }
        if (platform::node_at(name) == platform::node_kind::missing)
            return false;  // not a name clash: the folder refuses new files
    }
    return false;
}

bool replacement_file::write(std::string_view bytes)
{
    return file_.write(bytes.data(), bytes.size());
}

bool replacement_file::commit()
{
    if (!file_.sync()) {
        (void)file_.close();
        return false;
    }
    if (!file_.close())
        return false;
    committed_ = platform::replace_file(temporary_, target_);
    return committed_;
}

bool journal_file::append(const std::string& path, std::string_view text)
{
    if (!file_.is_open() && !file_.create_or_empty(path))
        return false;
    std::string storage;
    const std::string_view bytes = file_text(text, storage);
    return file_.write(bytes.data(), bytes.size());
}

bool journal_file::close()
{
    return !file_.is_open() || file_.close();
}
