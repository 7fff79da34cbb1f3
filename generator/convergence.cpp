#include "convergence.h"

#include "paths.h"
#include "text_files.h"

namespace {

// Whether every directory between output and relative is a real directory:
// a link among them would have a removal reach outside the tree.
class way_down {
public:
    explicit way_down(const std::string& output) : output_(output) {}

    bool plain(const std::string& relative)
    {
        for (std::size_t at = relative.find('/'); at != std::string::npos; at = relative.find('/', at + 1)) {
            const std::string directory = relative.substr(0, at);
            auto known = checked_.find(directory);
            if (known == checked_.end())
                known = checked_
                            .emplace(directory, platform::node_at(path_in_output(output_, directory)) ==
                                                    platform::node_kind::directory)
                            .first;
            if (!known->second)
                return false;
        }
        return true;
    }

private:
    const std::string& output_;
    std::map<std::string, bool> checked_;
};

}  // namespace

removal_report remove_recorded(const std::string& output, const tree_record& record,
                               const std::set<std::string>& keep_directories, bool carry_out)
{
    removal_report report;
    way_down way(output);
    for (const auto& [relative, recorded] : record.files) {
        const std::string path = path_in_output(output, relative);
        if (!way.plain(relative)) {
            report.left.push_back("Left " + path + ": a link leads to it, and Skeld removes nothing through a link");
            continue;
        }
        switch (platform::node_at(path)) {
        case platform::node_kind::missing: continue;
        case platform::node_kind::regular: break;
        default:
            report.left.push_back("Left " + path + ": it is no longer the file Skeld wrote");
            continue;
        }
        std::string there;
        if (!read_file_bytes(path, there).ok() || digest_of(there) != recorded) {
            report.left.push_back("Left " + path + ": it changed since Skeld wrote it");
            continue;
        }
        if (carry_out && !platform::remove_file(path)) {
            report.left.push_back("Couldn't remove " + path + ": " + platform::last_error_text());
            report.failed = true;
            continue;
        }
        ++report.removed;
        report.removed_paths.push_back(relative);
    }
    if (!carry_out)
        return report;
    // Children sort after their parents: backwards, each comes before them.
    for (auto directory = record.directories.rbegin(); directory != record.directories.rend(); ++directory) {
        if (keep_directories.count(*directory) || !way.plain(*directory))
            continue;
        const std::string path = path_in_output(output, *directory);
        if (platform::node_at(path) == platform::node_kind::directory)
            (void)platform::remove_directory(path);  // one that still holds anything stays
    }
    return report;
}
