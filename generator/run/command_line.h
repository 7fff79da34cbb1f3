// The command line, read once into one value: every later step asks it, so
// the order of the options never changes what a run does or says.
#pragma once

#include <string>

struct command_line {
    enum class action { usage, help, version, run, check, remove };
    action what = action::usage;
    bool progress = false;  // progress lines for a program that shows them
    unsigned jobs = 0;      // --jobs N: the threads that write the tree; 0 for the default
    std::string personality, boost, output;
    // For usage: the line to print and the status to end with (a check's
    // 2, a program reading its last line cannot tell).
    std::string usage;
    int usage_status = 1;
    bool check_asked = false;  // --check was given: the last line is a Check: line
};

inline constexpr unsigned max_jobs = 64;
inline constexpr const char* jobs_error = "Error: --jobs takes a number of threads from 1 to 64";

// --help or --version alone; else --progress, --check, --remove and --jobs N,
// each once and in any order, then the paths: three for a run or a check, two for a
// removal. A word after the options is a path, whatever it begins with.
command_line parse_command_line(int argc, const char* const argv[]);
