#include "run_sequence.h"

#include <exception>

#include "command_line_help.h"
#include "config_headers.h"
#include "data_folder.h"
#include "output_file.h"
#include "output_guard.h"
#include "paths.h"
#include "personality_scan.h"
#include "personality_update.h"
#include "system_stubs.h"
#include "tree_walk.h"

namespace {

int run_steps(generator_state& state, const std::string& personality_path)
{
    if (!paths::ends_in_boost_component(state.orig_header_loc)) {
        say(state, "Original location of boost must end with the .../boost subdirectory", line_break::none);
        return 1;
    }
    if (output_overlaps_original(state.orig_header_loc, state.config_output_loc)) {
        say(state, "Error: Output location " + state.config_output_loc + " overlaps the original Boost location " +
                       state.orig_header_loc + ". Please choose an output location outside it.");
        return 1;
    }

    say(state, "Creating compiler header Files ...");
    choose_data_directory(state);
    personality_file personality;
    if (!scan_personality(state, personality_path, personality))
        return 0;

    say(state, "Creating boost substitute header files ...");
    const std::string substitute_tree = paths::substitute_tree(state.config_output_loc);
    if (make_output_directory(substitute_tree) == directory_status::link)
        throw run_ended{link_refusal(substitute_tree)};
    read_nonboost_list(state);
    walk_boost_tree(state, state.orig_header_loc, false);

    say(state, "Creating compiler/platform substitute header files ...");
    bool ok = write_config_headers(state);

    // Every edit of the personality is gathered here and written once, at
    // the end, and only when everything before it worked.
    say(state, "Modifying Compiler Personality...");
    std::set<std::string> settings;
    ok = read_settings(state, settings) && ok;
    std::vector<std::string> top_directories;
    if (state.personality_has_boost_include) {
        top_directories.push_back(state.config_output_loc);
    } else {
        say(state, "Please add the following directory to your analyser personality or as the first include path "
                   "in your CPPFLAGS or equivalent variable in your makefile:");
        say(state, state.config_output_loc);
    }
    if (!state.included_system_headers.empty()) {
        ok = write_system_stubs(state) && ok;
        top_directories.push_back(paths::join(state.config_output_loc, "system"));
    }
    if (!ok)
        return 1;
    return write_personality(state, personality, top_directories, settings) ? 0 : 1;
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
    if (argc < 4) {
        say(state, usage_line);
        return 1;
    }
    const std::string personality = argv[1];
    state.orig_header_loc = argv[2];
    state.config_output_loc = argv[3];
    try {
        return run_steps(state, personality);
    } catch (const run_ended& end) {
        say(state, end.message);
        return 1;
    } catch (const std::exception& e) {
        say(state, std::string("Error: ") + e.what());
        return 1;
    }
}
