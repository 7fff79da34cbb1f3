#include "run_sequence.h"

#include <exception>

#include "check_run.h"
#include "command_line_help.h"
#include "config_headers.h"
#include "convergence.h"
#include "data_folder.h"
#include "output_file.h"
#include "output_guard.h"
#include "output_lock.h"
#include "paths.h"
#include "personality_scan.h"
#include "personality_update.h"
#include "remove_tree.h"
#include "system_stubs.h"
#include "text_files.h"
#include "tree_record.h"
#include "tree_walk.h"

namespace {

// Reads the record of an earlier run in the output and starts the plan from
// it; a record that cannot be trusted is set aside: nothing is removed on
// its word.
void start_plan(generator_state& state, tree_plan::mode how, record_lookup& earlier)
{
    earlier = read_record(state.config_output_loc);
    if (earlier.outcome == record_lookup::status::untrusted)
        say(state, "Skeld's record " + paths::join(state.config_output_loc, record_name) + " cannot be trusted (" +
                       earlier.why_not + "), so Skeld removes nothing on its word and writes the tree as on a first run.");
    const bool fresh = earlier.outcome == record_lookup::status::none &&
                       platform::node_at(paths::substitute_tree(state.config_output_loc)) == platform::node_kind::missing;
    state.plan.start(state.config_output_loc, how,
                     earlier.outcome == record_lookup::status::ok ? &earlier.record : nullptr, fresh);
    // What another Skeld, or a scan of another Boost folder, found is not taken.
    if (earlier.outcome == record_lookup::status::ok && earlier.record.made_by == this_skeld() &&
        earlier.record.boost_folder == state.orig_header_loc)
        state.earlier_scans = &earlier.record.sources;
}

void step(generator_state& state, std::string_view line)
{
    if (!state.plan.checking())
        say(state, line);
}

// The record of what this run wrote. A run that failed part way records what
// it wrote beside what the earlier record lists, so that the next run can
// still clean up after both.
tree_record record_of(generator_state& state, const personality_file& personality,
                      const std::vector<std::string>& top_directories, const std::set<std::string>& settings,
                      const tree_record* earlier, bool complete)
{
    tree_record record;
    if (!complete && earlier)
        record = *earlier;
    record.made_by = this_skeld();
    record.boost_folder = state.orig_header_loc;
    record.sources.clear();
    record.source_lines = std::move(state.scanned_sources);
    std::string version_hpp;
    if (read_file_bytes(paths::join(state.orig_header_loc, "version.hpp"), version_hpp).ok())
        record.boost_version = boost_version_of(version_hpp);
    record.personality = personality.path;
    record.data_folder = state.data_directory.empty() ? platform::current_directory() : state.data_directory;
    record.personality_entries = top_directories;
    record.settings.assign(settings.begin(), settings.end());
    // What the earlier record still holds the plan did not take over.
    record.file_lines = std::move(state.plan.file_lines());
    record.file_line_count = state.plan.file_count();
    record.directories.insert(state.plan.directories().begin(), state.plan.directories().end());
    record.directories.erase("");
    return record;
}

// A failure's status: 1 for a run, 2 for a check, which then cannot tell.
int failed(const generator_state& state)
{
    return state.plan.checking() ? 2 : 1;
}

int run_steps(generator_state& state, const std::string& personality_path, tree_plan::mode how)
{
    state.plan.start(state.config_output_loc, how, nullptr, false);
    if (!paths::ends_in_boost_component(state.orig_header_loc)) {
        say(state, "Original location of boost must end with the .../boost subdirectory", line_break::none);
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

    step(state, "Creating compiler header Files ...");
    record_lookup earlier;
    start_plan(state, how, earlier);
    choose_data_directory(state);
    personality_file personality;
    if (!scan_personality(state, personality_path, personality))
        return 0;

    step(state, "Creating boost substitute header files ...");
    const std::string substitute_tree = paths::substitute_tree(state.config_output_loc);
    if (state.plan.directory(substitute_tree) == directory_status::link)
        throw run_ended{link_refusal(substitute_tree)};
    read_nonboost_list(state);
    walk_boost_tree(state, state.orig_header_loc, false);

    step(state, "Creating compiler/platform substitute header files ...");
    bool ok = write_config_headers(state);

    // Every edit of the personality is gathered here and written once, at
    // the end, and only when everything before it worked.
    step(state, "Modifying Compiler Personality...");
    for (const std::string& tree : other_trees(state.personality_include_dirs, state.config_output_loc,
                                               disk_header_search()))
        say(state, "The personality also names " + tree +
                       ", a tree Skeld made for another output; Skeld leaves it as it is.");
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
        ok = write_system_stubs(state) && ok;
        top_directories.push_back(paths::join(state.config_output_loc, "system"));
    }
    const tree_record* before = earlier.outcome == record_lookup::status::ok ? &earlier.record : nullptr;

    if (state.plan.checking()) {
        if (!ok)
            return failed(state);
        const removal_report removal =
            before ? remove_recorded(state.config_output_loc, *before,
                                     state.plan.directories(), false)
                   : removal_report{};
        return report_check(state, removal,
                            additions_to(personality.text, top_directories, settings,
                                         disk_header_search().same_directory));
    }

    std::string failure;
    if (!ok) {
        // What this run wrote is recorded, so the next one can clean it up.
        (void)write_record(state.config_output_loc,
                           record_of(state, personality, top_directories, settings, before, false), {}, failure);
        return 1;
    }
    // Only a complete plan says what is stale.
    const removal_report removal =
        before ? remove_recorded(state.config_output_loc, *before, state.plan.directories(), true)
               : removal_report{};
    for (const std::string& path : state.plan.rewritten_after_user_change)
        say(state, "Rewrote " + path + ": it changed since Skeld wrote it");
    for (const std::string& line : removal.left)
        say(state, line);
    ok = write_personality(state, personality, top_directories, settings);
    if (before) {
        // Done with: the new record takes their memory.
        earlier.record.files.clear();
        state.earlier_scans = nullptr;
        earlier.record.sources.clear();
    }
    if (ok && !write_record(state.config_output_loc,
                            record_of(state, personality, top_directories, settings, before, true),
                            earlier.record.end_line, failure)) {
        say(state, failure);
        ok = false;
    }
    say(state, "Files written: " + std::to_string(state.plan.written) + ", left unchanged: " +
                   std::to_string(state.plan.unchanged) + ", removed: " + std::to_string(removal.removed));
    return ok ? 0 : 1;
}

int usage(generator_state& state, std::string_view option, std::string_view arguments, int status)
{
    say(state, "Usage: Skeld " + std::string(option) + " " + std::string(arguments));
    return status;
}

}  // namespace

int run_skeld(generator_state& state, int argc, const char* const argv[])
{
    state.personality_has_boost_include = false;
    // Only alone: with three arguments, "--help" names a personality.
    const std::string_view only = argc == 2 ? argv[1] : "";
    if (only == "--help") {
        for (const std::string& line :
             help_lines(data_folder_places(platform::current_directory(), platform::program_directory())))
            say(state, line);
        return 0;
    }
    if (only == "--version") {
        say(state, version_line());
        return 0;
    }
    const std::string_view option = argc >= 2 ? argv[1] : "";
    if (option == "--check" && argc != 5)
        return usage(state, option, "<curr_compiler_personality> <orig_header_loc> <config_output_loc>", 2);
    if (option == "--remove" && argc != 4)
        return usage(state, option, "<curr_compiler_personality> <config_output_loc>", 1);
    const bool check = option == "--check";
    if (check) {
        ++argv;
        --argc;
    }
    if (argc < 4 && option != "--remove") {
        say(state, usage_line);
        return 1;
    }
    try {
        if (option == "--remove")
            return remove_tree(state, argv[2], argv[3]);
        const std::string personality = argv[1];
        state.orig_header_loc = argv[2];
        state.config_output_loc = argv[3];
        return run_steps(state, personality, check ? tree_plan::mode::check : tree_plan::mode::run);
    } catch (const run_ended& end) {
        say(state, end.message);
        return check ? 2 : 1;
    } catch (const std::exception& e) {
        say(state, std::string("Error: ") + e.what());
        return check ? 2 : 1;
    }
}
