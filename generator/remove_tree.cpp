#include "remove_tree.h"

#include "convergence.h"
#include "output_lock.h"
#include "paths.h"
#include "personality_scan.h"
#include "personality_update.h"
#include "system_stubs.h"
#include "text_files.h"
#include "tree_record.h"

namespace {

// What stays in the output folder, as paths relative to it, up to a few.
void what_is_left(const std::string& directory, const std::string& prefix, std::vector<std::string>& left,
                  std::size_t& count)
{
    (void)paths::for_each_entry(directory, [&](const std::string& name, const std::string& path,
                                               platform::entry_kind kind) {
        if (prefix.empty() && name == lock_name)
            return;  // this removal's own, which goes with it
        const std::string relative = prefix.empty() ? name : prefix + "/" + name;
        if (kind == platform::entry_kind::directory && platform::node_at(path) == platform::node_kind::directory) {
            what_is_left(path, relative, left, count);
            return;
        }
        if (++count <= 5)
            left.push_back(relative);
    });
}

}  // namespace

int remove_tree(generator_state& state, const std::string& personality_path, const std::string& output)
{
    output_lock lock;
    lock.take(output);
    const record_lookup lookup = read_record(output);
    const std::string record_path = paths::join(output, record_name);
    if (lookup.outcome == record_lookup::status::none) {
        say(state, "Error: " + output + " holds no record of a tree Skeld made (" + record_name +
                       "), so Skeld removes nothing.");
        return 1;
    }
    if (lookup.outcome == record_lookup::status::untrusted) {
        say(state, "Error: Skeld's record " + record_path + " cannot be trusted (" + lookup.why_not +
                       "), so Skeld removes nothing.");
        return 1;
    }
    const tree_record& record = lookup.record;

    personality_file personality;
    open_personality(personality_path, personality);
    std::string text = personality.text;
    drop_carriage_returns(text);
    std::vector<std::string> include_dirs;
    for_each_line(text, [&](std::string_view line) {
        if (std::string directory = include_directory(line); !directory.empty())
            include_dirs.push_back(std::move(directory));
    });
    // The settings serve every tree the personality names: they go with the last.
    const header_search disk = disk_header_search();
    const bool last_tree = other_trees(include_dirs, output, disk).empty();
    const std::vector<std::string> settings = last_tree ? record.settings : std::vector<std::string>{};
    const std::string without =
        personality_without(personality.text, record.personality_entries, settings, disk.same_directory);
    const bool edited = replace_personality(state, personality, without, [&] {
        say(state, "Error: Cannot open - " + personality.path +
                       " for editing. Please remove the -si and -q entries that name these directories from it:");
        for (const std::string& directory : record.personality_entries)
            say(state, directory);
    });
    if (!edited)
        return 1;  // the tree stays while the personality still names it

    const removal_report removal = remove_recorded(output, record, {}, true);
    for (const std::string& line : removal.left)
        say(state, line);
    bool ok = true;
    if (!platform::remove_file(record_path)) {
        say(state, "Couldn't remove " + record_path + ": " + platform::last_error_text());
        ok = false;
    }
    say(state, "Removed " + std::to_string(removal.removed) + " files of the tree Skeld made in " + output +
                   (last_tree || record.settings.empty() ? "" : "; the settings stay for the other trees named"));
    std::vector<std::string> left;
    std::size_t count = 0;
    what_is_left(output, "", left, count);
    if (count) {
        std::string line = "Left " + std::to_string(count) + " files Skeld did not write (or that changed since) in " +
                           output + ": ";
        for (std::size_t i = 0; i < left.size(); ++i)
            line += (i ? ", " : "") + left[i];
        say(state, line + (count > left.size() ? " and more" : ""));
    }
    return ok && !removal.failed ? 0 : 1;
}
