#include "remove_recorded.h"

#include <string_view>
#include <vector>

#include "directory_handle.h"
#include "platform.h"

namespace {

using platform::directory_handle;

// The directories on the way from the output to what goes, each opened
// relative to the one above it and never through a link: a directory that
// is or becomes a link, even mid-run, leads nowhere. Only the current chain
// is open (a tree has more directories than a process may hold open); the
// record lists everything below a directory together.
class way_down {
public:
    explicit way_down(const std::string& output) : output_(output) {}

    // The open directory that holds relative's last component, which goes to
    // name; nullptr when the way is not plain, how then says why.
    directory_handle* parent_of(std::string_view relative, std::string& name, directory_handle::opening& how)
    {
        // "." names the directory it stands in (an include may spell a stub
        // so); the record's path rule lets no ".." through.
        std::vector<std::string_view> parts;
        for (std::size_t start = 0;;) {
            const std::size_t end = relative.find('/', start);
            if (const std::string_view part = relative.substr(start, end - start); !part.empty() && part != ".")
                parts.push_back(part);
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
        if (parts.empty()) {
            how = directory_handle::opening::missing;  // the output itself: never removed here
            return nullptr;
        }
        name = parts.back();
        parts.pop_back();
        if (!root_open_ && (how = root_.open(output_)) != directory_handle::opening::ok)
            return nullptr;
        root_open_ = true;
        std::size_t shared = 0;
        while (shared < chain_.size() && shared < parts.size() && chain_[shared].name == parts[shared])
            ++shared;
        chain_.erase(chain_.begin() + static_cast<std::ptrdiff_t>(shared), chain_.end());
        for (std::size_t i = shared; i < parts.size(); ++i) {
            directory_handle next;
            if ((how = next.open_in(chain_.empty() ? root_ : chain_.back().handle, std::string(parts[i]))) !=
                directory_handle::opening::ok)
                return nullptr;
            chain_.push_back({std::string(parts[i]), std::move(next)});
        }
        how = directory_handle::opening::ok;
        return chain_.empty() ? &root_ : &chain_.back().handle;
    }

private:
    struct step {
        std::string name;
        directory_handle handle;
    };
    const std::string& output_;
    directory_handle root_;
    bool root_open_ = false;
    std::vector<step> chain_;
};

}  // namespace

removal_report remove_recorded(const std::string& output, const tree_record& record,
                               const std::set<std::string>& keep_directories, bool carry_out)
{
    using removal = directory_handle::removal;
    removal_report report;
    way_down way(output);
    std::string name;
    directory_handle::opening how;
    std::string relative;
    record.files.in_path_order([&](std::string_view recorded_path, const file_entry& recorded) {
        relative.assign(recorded_path);
        const std::string path = path_in_output(output, relative);
        directory_handle* directory = way.parent_of(relative, name, how);
        removal outcome = removal::failed;
        if (directory)
            outcome = directory->remove_file_if(
                name, [&](std::string_view bytes) { return holds_what_skeld_wrote(recorded, bytes); }, carry_out);
        else if (how == directory_handle::opening::missing)
            outcome = removal::missing;
        else if (how == directory_handle::opening::not_a_directory) {
            report.left.push_back("Left " + path + ": a link leads to it, and Skeld removes nothing through a link");
            return;
        }
        switch (outcome) {
        case removal::missing: return;
        case removal::removed:
            ++report.removed;
            report.removed_paths.push_back(relative);
            return;
        case removal::not_a_file: report.left.push_back("Left " + path + ": it is no longer the file Skeld wrote"); return;
        case removal::changed: report.left.push_back("Left " + path + ": it changed since Skeld wrote it"); return;
        case removal::failed:
        case removal::still_there:
            report.left.push_back("Couldn't remove " + path + ": " +
                                  (outcome == removal::failed ? platform::last_error_text()
                                                              : "the system said it was deleted, yet it is still there"));
            report.failed = true;
            // As the record had it, but for the stamp: it may have moved.
            report.kept_files.add(relative, {}).value = recorded.value;
            for (std::size_t slash = relative.rfind('/'); slash != std::string::npos && slash > 0;
                 slash = relative.rfind('/', slash - 1))
                if (record.directories.count(relative.substr(0, slash)))
                    report.kept_directories.insert(relative.substr(0, slash));
            return;
        }
    });
    if (!carry_out)
        return report;
    // Children sort after their parents: backwards, each comes before them.
    for (auto directory = record.directories.rbegin(); directory != record.directories.rend(); ++directory) {
        if (keep_directories.count(*directory) || report.kept_directories.count(*directory))
            continue;
        if (directory_handle* parent = way.parent_of(*directory, name, how))
            (void)parent->remove_directory(name);  // one that still holds anything, or is a link, stays
    }
    return report;
}
