// What the steps of a run hand to each other.
#pragma once

#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "run_progress.h"
#include "tree_plan.h"

struct generator_state {
    std::string orig_header_loc;
    std::string config_output_loc;
    bool personality_has_boost_include = false;
    std::set<std::string> possible_defines;
    std::map<std::string, std::string> personality_defines;
    std::set<std::string> included_system_headers;
    std::set<std::string> nonboost_paths;
    // The directories of the personality's include lines, in their order:
    // where the analyser looks for system headers.
    std::vector<std::string> personality_include_dirs;

    // Where the data files are read from: empty for the working directory.
    std::string data_directory;
    // Set when no place held the data files: where they were looked for.
    std::string data_looked_in;

    // The threads that read Boost's files and write the forwarding headers.
    unsigned jobs = 1;

    // What the run writes into the output folder, file by file.
    tree_plan plan;
    // What the include scan found in each Boost file, for the record; and
    // what an earlier run's record says it found, when it may be trusted.
    std::string scanned_sources;  // the record's lines
    // Entries taken over from the earlier record are marked taken there.
    recorded_sources* earlier_scans = nullptr;
    // Files of the earlier scan read again because their stamp moved.
    std::size_t stamps_moved = 0;

    // What a check found, for its last line (check_run.h); refusal is set by
    // the step that stops a run, else a stop counts as "error".
    struct check_findings {
        std::size_t write = 0, remove = 0, add = 0;
        bool record = false;
        const char* refusal = nullptr;
    } check;

    std::ostream* console = &std::cout;
    // Off unless the command line asks for it.
    run_progress progress;
};

// Thrown by a step that ends the run at once with status 1; the top of the
// run prints its message.
struct run_ended {
    std::string message;
};

// One console line: written, ended and flushed at once, so that a parent
// reading the pipe sees every line as soon as it is complete.
// The ending test's message alone goes without its line break.
enum class line_break { end, none };
void say(generator_state& state, std::string_view line, line_break end = line_break::end);

// The data files come from the first place of the data-folder rule
// (data_folder.h) that holds possible_defines.txt; all of them from there.
void choose_data_directory(generator_state& state);

// A data file's path: its bare name, or its name in the chosen folder.
std::string data_file(const generator_state& state, const std::string& name);

// For a missing possible_defines.txt: " (looked in A, in B and in C)", every
// place in order, when none had it; empty otherwise.
std::string where_data_was_looked_for(const generator_state& state);
