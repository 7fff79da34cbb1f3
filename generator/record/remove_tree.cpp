#include "remove_tree.h"

#include "remove_recorded.h"
#include "first_few.h"
#include "output_lock.h"
#include "generator_state.h"
#include "paths.h"
#include "personality_update.h"
#include "personality_trees.h"
#include "record_paths.h"
#include "system_stubs.h"
#include "text_files.h"
#include "tree_record.h"

namespace {

// What stays in the output folder but what Skeld still keeps account of, as
// paths relative to it, up to a few.
void what_is_left(const std::string& directory, const std::string& prefix, const std::set<std::string>& kept,
                  std::vector<std::string>& left, std::size_t& count)
{
    (void)paths::for_each_entry(directory, [&](const std::string& name, const std::string& path,
                                               platform::entry_kind kind) {
        if (prefix.empty() && name == lock_name)
            return;  // this removal's own, which goes with it
        const std::string relative = prefix.empty() ? name : prefix + "/" + name;
        if (kind == platform::entry_kind::directory && platform::node_at(path) == platform::node_kind::directory) {
            what_is_left(path, relative, kept, left, count);
            return;
        }
        if (kept.count(relative))
            return;
        if (++count <= first_few_named)
            left.push_back(relative);
    });
}

}  // namespace

namespace {

// The lines --remove takes out of the personality: only those the record
// says Skeld added, only those it still holds, and of the entries only those
// that name this output; the settings only with the last tree, and only
// those the settings file holds. And the settings a record found there,
// accounted for by none, which the user is asked to take out with the last
// tree.
struct lines_to_take {
    std::vector<std::string> top, end;
    std::vector<std::string> found_settings;
    bool settings_stay = false;  // for the other trees the personality names
    bool ok = true;              // false when the settings file could not be read
};
lines_to_take lines_to_take_out(generator_state& state, const tree_record& record, const personality_text& text,
                                const std::string& output)
{
    lines_to_take take;
    // The record's lines are read where the record says, not from here.
    const header_search disk = search_through(&record, output);
    for (const std::string& line : record.added_top)
        if (const personality_line* held = text.find(line); held && names_output(*held, output, disk))
            take.top.push_back(line);
    const std::vector<std::string> added_end = text.held(record.added_end);
    const std::vector<std::string> found_end = text.held(record.found_end);
    if (added_end.empty() && found_end.empty())
        return take;
    if (!other_trees(text.include_directories(), output, disk, platform::current_directory()).empty()) {
        take.settings_stay = true;
        return take;
    }
    choose_data_directory(state);
    std::set<std::string> settings;
    if (!read_settings(state, settings)) {
        take.ok = false;
        return take;
    }
    for (const std::string& line : added_end)
        if (settings.count(line))
            take.end.push_back(line);
    for (const std::string& line : found_end)
        if (settings.count(line))
            take.found_settings.push_back(line);
    return take;
}

// What the personality still holds that Skeld cannot take out for want of a
// record saying it added it: each line naming the removed output, and the
// settings found with no tree of Skeld's left to need them. Said, for the
// user to take out; true when there was any.
bool say_lines_left(generator_state& state, const std::string& personality, const personality_text& text,
                    const std::string& output, const std::vector<std::string>& found_settings)
{
    const header_search disk = disk_header_search();
    bool any = false;
    for (const personality_line& line : text.lines()) {
        if (!names_output(line, output, disk))
            continue;
        say(state, "Left in " + personality + ": " + line.text +
                       " (it names the tree removed, and no record says Skeld added it: please take it out)");
        any = true;
    }
    for (const std::string& line : text.held(found_settings)) {
        say(state, "Left in " + personality + ": " + line +
                       " (a setting for Skeld's trees, of which the personality names none now, and no record says "
                       "Skeld added it: please take it out)");
        any = true;
    }
    return any;
}

// The record of what a removal could not take away, in place of the one it
// read: the files left and the directories on their way, and the lines of
// the personality Skeld's runs added that it still holds.
[[nodiscard]] bool keep_account(generator_state& state, const std::string& output, const tree_record& read,
                                const removal_report& removal, const personality_text& personality)
{
    tree_record left = read;
    left.made_by = this_skeld();
    left.files = removal.kept_files;
    left.directories = removal.kept_directories;
    left.sources.clear();
    left.added_top = personality.held(read.added_top);
    left.added_end = personality.held(read.added_end);
    left.added_line_end = read.added_line_end && !left.added_end.empty();
    left.found_top = personality.held(read.found_top);
    left.found_end = personality.held(read.found_end);
    std::string failure;
    if (write_record(output, left, {}, failure))
        return true;
    say(state, failure);
    return false;
}

}  // namespace

int remove_tree(generator_state& state, const std::string& personality_path, const std::string& output)
{
    output_lock lock;
    lock.take(output);
    // The record first: it says what is Skeld's.
    const record_lookup lookup = read_record(output);
    const std::string record_path = paths::join(output, record_name);
    if (!lookup.journal_unreadable.empty()) {
        say(state, lookup.journal_unreadable);
        return 1;
    }
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

    // Then the personality: the one the record names, and only lines that
    // name this very output.
    personality_file personality;
    open_personality(personality_path, personality);
    if (!record.personality_file.empty() && platform::node_at(record.personality_file) != platform::node_kind::missing &&
        !same_file(record.personality_file, personality.target)) {
        say(state, "Error: " + output + " holds the tree Skeld made for the personality " + record.personality_file +
                       ", not " + personality_path + ", so Skeld removes nothing. To remove it: Skeld --remove " +
                       record.personality_file + " " + output);
        return 1;
    }
    const bool moved = !record.output.empty() && !record_is_for(record, output);
    lines_to_take take;
    if (moved)
        say(state, "The record in " + output + " was written for " + recorded_output_folder(record) +
                       " (this tree is a copy or was moved), so Skeld takes nothing out of the personality.");
    else
        take = lines_to_take_out(state, record, personality.text, output);
    const personality_text without =
        personality.text.without(take.top, take.end, record.added_line_end && !take.end.empty());
    const bool edited = replace_personality(state, personality, without, [&] {
        say(state, "Error: Cannot open - " + personality.path +
                       " for editing. Please remove these lines from it:");
        for (const std::string& line : take.top)
            say(state, line);
        for (const std::string& line : take.end)
            say(state, line);
    });
    if (!edited)
        return 1;  // the tree stays while the personality still names it

    // Last the files, each only while it holds what Skeld wrote. What cannot
    // be deleted stays Skeld's: the record is written anew for it, and the
    // next --remove or run finishes the job.
    const removal_report removal = remove_recorded(output, record, {}, true);
    for (const std::string& line : removal.left)
        say(state, line);
    bool ok = take.ok && !removal.failed;
    if (removal.failed) {
        if (keep_account(state, output, record, removal, without))
            say(state, "Kept " + record_path + " for the " + std::to_string(removal.kept_files.size()) +
                           " files Skeld could not remove: Skeld --remove takes them away once they can go");
    } else {
        for (const std::string& path : {record_path, paths::join(output, journal_name)})
            if (platform::node_at(path) != platform::node_kind::missing && !platform::remove_file(path)) {
                say(state, "Couldn't remove " + path + ": " + platform::last_error_text());
                ok = false;
            }
    }
    say(state, "Removed " + std::to_string(removal.removed) + " files of the tree Skeld made in " + output +
                   (take.settings_stay ? "; the settings stay for the other trees named" : ""));
    if (!moved && say_lines_left(state, personality.path, without, output, take.found_settings))
        ok = false;
    std::set<std::string> kept;
    removal.kept_files.in_path_order([&](std::string_view relative, const file_entry&) { kept.emplace(relative); });
    if (removal.failed)
        kept.insert(record_name);
    std::vector<std::string> left;
    std::size_t count = 0;
    what_is_left(output, "", kept, left, count);
    if (count)
        say(state, "Left " + std::to_string(count) + " files Skeld did not write (or that changed since) in " + output +
                       ": " + first_few(left, count));
    return ok ? 0 : 1;
}
