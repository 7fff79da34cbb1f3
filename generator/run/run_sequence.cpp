#include "run_sequence.h"

#include <algorithm>
#include <exception>

#include "check_run.h"
#include "command_line.h"
#include "command_line_help.h"
#include "config_headers.h"
#include "remove_recorded.h"
#include "data_folder.h"
#include "first_few.h"
#include "output_file.h"
#include "output_guard.h"
#include "output_lock.h"
#include "paths.h"
#include "personality_scan.h"
#include "personality_update.h"
#include "remove_tree.h"
#include "personality_trees.h"
#include "record_paths.h"
#include "system_stubs.h"
#include "text_files.h"
#include "tree_record.h"
#include "tree_walk.h"
#include "work_share.h"

namespace {

// Reads the record of an earlier run in the output and starts the plan from
// it; a record that cannot be trusted is set aside: nothing is removed on
// its word.
void start_plan(generator_state& state, tree_plan::mode how, record_lookup& earlier)
{
    earlier = read_record(state.config_output_loc);
    if (!earlier.journal_unreadable.empty())
        throw run_ended{earlier.journal_unreadable};
    if (earlier.outcome == record_lookup::status::untrusted)
        say(state, "Skeld's record " + paths::join(state.config_output_loc, record_name) + " cannot be trusted (" +
                       earlier.why_not + "), so Skeld removes nothing on its word and writes the tree as on a first run.");
    const bool fresh = earlier.outcome == record_lookup::status::none &&
                       platform::node_at(paths::substitute_tree(state.config_output_loc)) == platform::node_kind::missing;
    state.plan.start(state.config_output_loc, how,
                     earlier.outcome == record_lookup::status::ok ? &earlier.record : nullptr, fresh,
                     std::move(earlier.journal_lines));
    // What other scan rules, or a scan of another Boost folder, found is not taken.
    if (earlier.outcome == record_lookup::status::ok && earlier.record.scan_rules == this_scan_rules() &&
        earlier.record.boost_folder == state.orig_header_loc)
        state.earlier_scans = &earlier.record.sources;
}

// An output is one personality's: a run for another stops before it writes
// anything while that one still names the output. A record written for
// another folder came with a copy, whose tree becomes this personality's.
void refuse_another_personality(generator_state& state, const record_lookup& earlier,
                                const std::string& personality_path)
{
    if (earlier.outcome != record_lookup::status::ok || earlier.record.personality_file.empty() ||
        !record_is_for(earlier.record, state.config_output_loc))
        return;
    const std::string& other = earlier.record.personality_file;
    std::string target;
    if (!platform::resolve_path(personality_path, target) || same_file(other, target) ||
        !personality_names_output(other, state.config_output_loc,
                                  search_through(&earlier.record, state.config_output_loc)))
        return;
    state.check.refusal = refused_other_personality;
    throw run_ended{"Error: " + state.config_output_loc + " holds the tree Skeld made for the personality " + other +
                    ", which still names it. Please choose another output, or take that tree away first: Skeld "
                    "--remove " + other + " " + state.config_output_loc};
}

void step(generator_state& state, std::string_view line)
{
    if (!state.plan.checking())
        say(state, line);
}

// What the personality holds of Skeld's own: the lines the earlier runs into
// this output added that it still holds, and what this run adds.
struct personality_share {
    std::vector<std::string> top, end;
    bool line_end = false;
    std::vector<std::string> found_top, found_end;
};
personality_share share_after(const tree_record* earlier, const personality_file& personality, const personality_text& text,
                              const personality_additions& added, const std::string& output)
{
    personality_share share;
    // Not opened yet: the earlier record's lines stand as they were.
    if (earlier && personality.target.empty())
        return {earlier->added_top, earlier->added_end, earlier->added_line_end, earlier->found_top, earlier->found_end};
    if (earlier && same_file(earlier->personality_file, personality.target)) {
        share.top = text.held(earlier->added_top);
        share.end = text.held(earlier->added_end);
        share.line_end = earlier->added_line_end && !share.end.empty();
    } else if (earlier && !record_is_for(*earlier, output)) {
        // A copied project: the copy's personality holds the lines that came
        // with it, and those that name this output are this tree's.
        const header_search disk = disk_header_search();
        for (const std::string& line : earlier->added_top)
            if (const personality_line* held = text.find(line); held && names_output(*held, output, disk))
                share.top.push_back(line);
        if (!share.top.empty()) {
            share.end = text.held(earlier->added_end);
            share.line_end = earlier->added_line_end && !share.end.empty();
        }
    }
    share.top.insert(share.top.end(), added.top.begin(), added.top.end());
    share.end.insert(share.end.end(), added.end.begin(), added.end.end());
    share.line_end = share.line_end || adds_line_end(personality.text, added);
    return share;
}

// What a whole run knows of the personality beyond its own record: the
// settings the records of other trees it names say Skeld added (shared, so
// that they go with whichever tree is removed last), and the lines it holds
// for this output that no record accounts for (found, so that --remove can
// name them). Found lines stay found while the personality holds them.
void account_for_the_rest(personality_share& share, const tree_record* earlier, const personality_file& personality,
                          const personality_text& text, const std::string& output, const std::set<std::string>& settings,
                          const shared_settings& shared)
{
    auto holds = [](const std::vector<std::string>& lines, std::string_view line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    for (const std::string& line : shared.end)
        if (!holds(share.end, line))
            share.end.push_back(line);
    share.line_end = share.line_end || shared.line_end;
    if (earlier && same_file(earlier->personality_file, personality.target)) {
        share.found_top = text.held(earlier->found_top);
        share.found_end = text.held(earlier->found_end);
        return;
    }
    // No record of this personality: its entries for this output were added
    // by a run whose record is gone, or by the user; either way Skeld's
    // settings beside them are accounted for by none.
    const header_search disk = disk_header_search();
    for (const personality_line& line : text.lines())
        if (!holds(share.top, line.text) && names_output(line, output, disk))
            share.found_top.push_back(line.text);
    if (share.found_top.empty())
        return;
    for (const personality_line& line : text.lines())
        if (settings.count(line.text) && !holds(share.end, line.text) && !holds(share.found_end, line.text))
            share.found_end.push_back(line.text);
}

// The record of what this run wrote. A run that failed part way records what
// it wrote beside what the earlier record lists, so that the next run can
// still clean up after both.
tree_record record_of(generator_state& state, const personality_file& personality, const personality_share& share,
                      const tree_record* earlier, bool complete)
{
    tree_record record;
    if (!complete && earlier)
        record = *earlier;
    record.made_by = this_skeld();
    record.scan_rules = this_scan_rules();
    record.output = state.config_output_loc;
    record.output_folder = paths::resolve_for_output(state.config_output_loc);
    record.boost_folder = state.orig_header_loc;
    record.sources.clear();
    record.source_lines = std::move(state.scanned_sources);
    std::string version_hpp;
    if (read_file_bytes(paths::join(state.orig_header_loc, "version.hpp"), version_hpp).ok())
        record.boost_version = boost_version_of(version_hpp);
    if (!personality.target.empty()) {
        record.personality = personality.path;
        record.personality_file = personality.target;
    }
    record.data_folder = state.data_directory.empty() ? platform::current_directory() : state.data_directory;
    record.added_top = share.top;
    record.added_end = share.end;
    record.added_line_end = share.line_end;
    record.found_top = share.found_top;
    record.found_end = share.found_end;
    // What the earlier record still holds the plan did not take over.
    state.plan.stamp_the_rest();
    record.planned = std::move(state.plan.files());
    record.directories.insert(state.plan.directories().begin(), state.plan.directories().end());
    record.directories.erase("");
    return record;
}

// Writes the record of this run; the journal it replaces is closed first,
// since an open file cannot be removed everywhere.
[[nodiscard]] bool record_run(generator_state& state, const tree_record& record, const std::string& earlier_end)
{
    std::string failure;
    if (state.plan.close_journal() && write_record(state.config_output_loc, record, earlier_end, failure))
        return true;
    say(state, failure.empty() ? "Couldn't write " + paths::join(state.config_output_loc, journal_name) + ": " +
                                     platform::last_error_text()
                               : failure);
    return false;
}

// A failure's status: 1 for a run, 2 for a check, which then cannot tell.
int failed(const generator_state& state)
{
    return state.plan.checking() ? 2 : 1;
}

// Why a check finds that a run would write the record anew, each for people.
std::vector<std::string> record_reasons(const generator_state& state, const record_lookup& earlier,
                                        const tree_record& would_write)
{
    std::vector<std::string> reasons;
    const std::string path = paths::join(state.config_output_loc, record_name);
    if (earlier.journal)
        reasons.push_back("a run stopped part way; " + paths::join(state.config_output_loc, journal_name) +
                          " lists what it wrote");
    if (earlier.outcome == record_lookup::status::untrusted) {
        reasons.push_back(path + " cannot be trusted (" + earlier.why_not + ")");
        return reasons;
    }
    // A journal alone makes a record of its own, with no last line.
    if (earlier.outcome == record_lookup::status::none || earlier.record.end_line.empty()) {
        reasons.push_back(path + " is missing");
        return reasons;
    }
    const tree_record& before = earlier.record;
    if (before.made_by != this_skeld() || before.scan_rules != this_scan_rules())
        reasons.push_back(path + " was written by " + (before.made_by.empty() ? "an unknown Skeld" : before.made_by) +
                          " with scan rules " + (before.scan_rules.empty() ? "unknown" : before.scan_rules));
    if (state.stamps_moved)
        reasons.push_back("the change stamps of " + std::to_string(state.stamps_moved) + " Boost files moved");
    std::vector<std::string> stale;
    for (const std::string& directory : before.directories)
        if (!state.plan.directories().count(directory) &&
            platform::node_at(path_in_output(state.config_output_loc, directory)) == platform::node_kind::directory)
            stale.push_back(directory);
    if (!stale.empty())
        reasons.push_back("stale directories: " + first_few(stale));
    if (reasons.empty() && record_end_line(would_write) != before.end_line)
        reasons.push_back("what it records changed (the Boost, the personality, its lines or the files)");
    return reasons;
}

// Files no record of Skeld's named, replaced by this run: a few by name.
void say_replaced(generator_state& state, const std::vector<std::string>& replaced)
{
    for (std::size_t i = 0; i < replaced.size() && i < first_few_named; ++i)
        say(state, "Replaced " + replaced[i] + ": Skeld did not write it");
    if (replaced.size() > first_few_named)
        say(state, "Replaced " + std::to_string(replaced.size() - first_few_named) + " more files Skeld did not write");
}

// Boost files and folders whose names the record could not hold: a few by name.
void say_unrecordable(generator_state& state)
{
    const std::vector<std::string>& skipped = state.plan.unrecordable;
    for (std::size_t i = 0; i < skipped.size() && i < first_few_named; ++i)
        say(state, "Skipped " + skipped[i] + ": its name leads outside the output folder as Skeld's record reads it");
    if (skipped.size() > first_few_named)
        say(state, "Skipped " + std::to_string(skipped.size() - first_few_named) + " more such names");
}

// The run from the personality scan on; what it wrote is recorded at its
// end, complete or not.
int run_tree_steps(generator_state& state, const std::string& personality_path, personality_file& personality,
                   record_lookup& earlier, const tree_record* before)
{
    choose_data_directory(state);
    if (!scan_personality(state, personality_path, personality))
        return 0;

    step(state, "Creating boost substitute header files ...");
    const std::string substitute_tree = paths::substitute_tree(state.config_output_loc);
    if (state.plan.directory(substitute_tree) == directory_status::link)
        throw run_ended{link_refusal(substitute_tree)};
    read_nonboost_list(state);
    if (state.progress.on())  // the forwarding headers, then the two configuration headers
        state.progress.step("headers", state.plan.file_count(),
                            state.plan.file_count() + count_boost_files(state) + 2);
    walk_boost_tree(state, state.orig_header_loc, false);
    say_unrecordable(state);

    step(state, "Creating compiler/platform substitute header files ...");
    bool ok = write_config_headers(state);

    // Every edit of the personality is gathered here and written once, at
    // the end, and only when everything before it worked.
    step(state, "Modifying Compiler Personality...");
    const std::vector<std::string> trees = other_trees(state.personality_include_dirs, state.config_output_loc,
                                                       disk_header_search(), platform::current_directory());
    for (const std::string& tree : trees)
        say(state, "The personality also names " + tree +
                       ", a tree Skeld made for another output; Skeld leaves it as it is.");
    const shared_settings shared = settings_of_trees(trees, personality.target, personality.text);
    std::set<std::string> settings;
    ok = read_settings(state, settings) && ok;
    std::vector<std::string> top_directories;
    if (state.personality_has_boost_include) {
        top_directories.push_back(state.config_output_loc);
    } else if (!state.plan.checking()) {
        say(state, "Please add the following directory to your analyser personality or as the first include path "
                   "in your CPPFLAGS or equivalent variable in your makefile:");
        say(state, state.config_output_loc);
    }
    if (!state.included_system_headers.empty()) {
        state.progress.step("stubs", state.plan.file_count(),
                            state.plan.file_count() + state.included_system_headers.size());
        ok = write_system_stubs(state) && ok;
        top_directories.push_back(paths::join(state.config_output_loc, "system"));
    }
    // Lines an earlier record accounts for are read where that record says.
    const same_directory_test same = same_directory_through(before, state.config_output_loc);
    const personality_additions added = additions_to(personality.text, top_directories, settings, same);

    if (state.plan.checking()) {
        if (!ok)
            return failed(state);
        const removal_report removal =
            before ? remove_recorded(state.config_output_loc, *before, state.plan.directories(), false)
                   : removal_report{};
        const personality_text edited_text = edited_personality(personality.text, top_directories, settings, same);
        personality_share share = share_after(before, personality, personality.text, added, state.config_output_loc);
        account_for_the_rest(share, before, personality, edited_text, state.config_output_loc, settings, shared);
        const tree_record would_write = record_of(state, personality, share, before, true);
        const std::vector<std::string> reasons = record_reasons(state, earlier, would_write);
        refuse_unwritable_output(state.config_output_loc,
                                 state.plan.written > 0 || removal.removed > 0 || !reasons.empty());
        // The files go first in a run, the personality's edit last.
        refuse_uneditable_personality(personality, edited_text.text() != personality.text.text());
        return report_check(state, removal, added, reasons);
    }

    if (!ok) {
        // What this run wrote is recorded, so the next one can clean it up.
        (void)record_run(state,
                         record_of(state, personality,
                                   share_after(before, personality, personality.text, {}, state.config_output_loc),
                                   before, false),
                         {});
        return 1;
    }
    // Only a complete plan says what is stale.
    const removal_report removal =
        before ? remove_recorded(state.config_output_loc, *before, state.plan.directories(), true) : removal_report{};
    for (const std::string& path : state.plan.rewritten_after_user_change)
        say(state, "Rewrote " + path + ": it changed since Skeld wrote it");
    say_replaced(state, state.plan.replaced_unknown);
    for (const std::string& line : removal.left)
        say(state, line);
    // A personality that cannot be edited keeps the tree: it is recorded,
    // with nothing of this run's added.
    const bool edited = write_personality(state, personality, top_directories, settings, same);
    const personality_text now =
        edited ? edited_personality(personality.text, top_directories, settings, same) : personality.text;
    personality_share share =
        share_after(before, personality, now, edited ? added : personality_additions{}, state.config_output_loc);
    account_for_the_rest(share, before, personality, now, state.config_output_loc, settings, shared);
    // What the clean-up could not delete stays Skeld's, recorded, and the
    // run has not done its work.
    ok = edited && !removal.failed;
    if (before) {
        // Done with: the new record takes their memory.
        earlier.record.files.clear();
        state.earlier_scans = nullptr;
        earlier.record.sources.clear();
    }
    tree_record record = record_of(state, personality, share, before, true);
    record.files = removal.kept_files;
    record.directories.insert(removal.kept_directories.begin(), removal.kept_directories.end());
    if (!record_run(state, record, earlier.record.end_line))
        ok = false;
    if (ok)
        state.progress.finish();
    say(state, "Files written: " + std::to_string(state.plan.written) + ", left unchanged: " +
                   std::to_string(state.plan.unchanged) + ", removed: " + std::to_string(removal.removed));
    return ok ? 0 : 1;
}

int run_steps(generator_state& state, const std::string& personality_path, tree_plan::mode how)
{
    state.plan.start(state.config_output_loc, how, nullptr, false);
    state.plan.report_progress(&state.progress);
    if (!paths::ends_in_boost_component(state.orig_header_loc)) {
        say(state, "Original location of boost must end with the .../boost subdirectory",
            state.plan.checking() ? line_break::end : line_break::none);
        return failed(state);
    }
    if (output_overlaps_original(state.orig_header_loc, state.config_output_loc)) {
        say(state, "Error: Output location " + state.config_output_loc + " overlaps the original Boost location " +
                       state.orig_header_loc + ". Please choose an output location outside it.");
        return failed(state);
    }
    // One run per output: held to the end, the record included.
    output_lock lock;
    if (!state.plan.checking())
        lock.take(state.config_output_loc);
    else if (output_in_use_said(state))
        return 2;
    else
        refuse_missing_output(state.config_output_loc);

    step(state, "Creating compiler header Files ...");
    record_lookup earlier;
    start_plan(state, how, earlier);
    refuse_another_personality(state, earlier, personality_path);
    const tree_record* before = earlier.outcome == record_lookup::status::ok ? &earlier.record : nullptr;
    personality_file personality;
    // Whatever ends the run from here, what it wrote is recorded.
    try {
        return run_tree_steps(state, personality_path, personality, earlier, before);
    } catch (const run_ended&) {
        if (state.plan.wrote_anything())
            (void)record_run(state,
                             record_of(state, personality,
                                       share_after(before, personality, personality.text, {}, state.config_output_loc),
                                       before, false),
                             {});
        throw;
    }
}

}  // namespace

namespace {

int run_command(generator_state& state, const command_line& line)
{
    if (line.what == command_line::action::usage) {
        say(state, line.usage);
        return line.usage_status;
    }
    if (line.progress)
        state.progress.report_to(*state.console);
    state.jobs = line.jobs ? line.jobs : default_jobs();
    const bool check = line.what == command_line::action::check;
    try {
        if (line.what == command_line::action::remove)
            return remove_tree(state, line.personality, line.output);
        state.orig_header_loc = line.boost;
        state.config_output_loc = line.output;
        return run_steps(state, line.personality, check ? tree_plan::mode::check : tree_plan::mode::run);
    } catch (const run_ended& end) {
        say(state, end.message);
        return check ? 2 : 1;
    } catch (const std::exception& e) {
        say(state, std::string("Error: ") + e.what());
        return check ? 2 : 1;
    }
}

}  // namespace

int run_skeld(generator_state& state, int argc, const char* const argv[])
{
    state.personality_has_boost_include = false;
    const command_line line = parse_command_line(argc, argv);
    if (line.what == command_line::action::help) {
        for (const std::string& help :
             help_lines(data_folder_places(platform::current_directory(), platform::program_directory())))
            say(state, help);
        return 0;
    }
    if (line.what == command_line::action::version) {
        say(state, version_line());
        return 0;
    }
    const int status = run_command(state, line);
    // A check always ends with the line a program reads.
    if (line.check_asked) {
        if (status == 2)
            state.check = {0, 0, 0, false, state.check.refusal};
        say(state, check_summary_line(status, state.check));
    }
    return status;
}
