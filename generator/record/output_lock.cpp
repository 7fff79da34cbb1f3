#include "output_lock.h"

#include <chrono>
#include <thread>

#include "generator_state.h"
#include "paths.h"

namespace {

enum class attempt { locked, taken_elsewhere, no_lock_file };

// One try at the lock file at path, never opened through a link.
attempt try_lock_at(const std::string& path, std::optional<platform::file>& file)
{
    file.emplace();
    switch (platform::node_at(path)) {
    case platform::node_kind::missing:
        // Made, then opened as every run opens it: shared, so that the
        // next run's open works and only its lock fails.
        if (!file->create_new(path))
            return platform::node_at(path) == platform::node_kind::missing ? attempt::no_lock_file
                                                                             : attempt::taken_elsewhere;
        (void)file->close();
        file.emplace();
        break;
    case platform::node_kind::regular: break;
    default:
        // A link or FIFO of that name goes, what it led to stays; a folder
        // of that name leaves the run without a lock.
        if (!file->create_or_empty(path))
            return attempt::no_lock_file;
        (void)file->close();
        file.emplace();
        break;
    }
    platform::file_identity held, named;
    if (file->open_for_update(path) == platform::file::open_status::ok && file->try_lock() && file->identify(held) &&
        platform::identify(path, named) && held == named)
        return attempt::locked;
    return attempt::taken_elsewhere;  // or gone with the run that held it: tried again
}

}  // namespace

output_lock::~output_lock()
{
    if (file_ && file_->is_open())
        (void)platform::remove_file(path_);
}

void output_lock::take(const std::string& output)
{
    path_ = paths::join(output, lock_name);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        switch (try_lock_at(path_, file_)) {
        case attempt::locked: return;
        case attempt::no_lock_file: file_.reset(); return;
        case attempt::taken_elsewhere: break;
        }
        file_.reset();
        if (std::chrono::steady_clock::now() >= give_up)
            throw run_ended{in_use_line(output)};
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

bool output_in_use(const std::string& output)
{
    const std::string path = paths::join(output, lock_name);
    if (platform::node_at(path) != platform::node_kind::regular)
        return false;
    platform::file file;
    return file.open_for_reading(path) == platform::file::open_status::ok && !file.try_lock();
}

std::string in_use_line(const std::string& output)
{
    return "Error: " + output + " is in use by another run of Skeld. Please run Skeld again when that run has ended.";
}
