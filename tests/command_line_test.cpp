// The command line read once: options in any order before the paths, each
// once, and what a wrong count prints and ends with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

namespace {

command_line parsed(std::vector<const char*> words)
{
    words.insert(words.begin(), "Skeld");
    return parse_command_line(static_cast<int>(words.size()), words.data());
}

// A row's words as the trace names it.
std::string spelled(const std::vector<const char*>& words)
{
    std::string line;
    for (const char* word : words)
        line.append(word).append(" ");
    return line;
}

TEST(CommandLine, OptionsInAnyOrderThenThePaths)
{
    using act = command_line::action;
    const std::string check_usage =
        "Usage: Skeld --check <curr_compiler_personality> <orig_header_loc> <config_output_loc>";
    const std::string remove_usage = "Usage: Skeld --remove <curr_compiler_personality> <config_output_loc>";
    const std::string run_usage = "Usage: Skeld <curr_compiler_personality> <orig_header_loc> <config_output_loc>";
    struct row {
        std::vector<const char*> words;
        act what;
        bool progress, check_asked;
        std::string personality, output, usage;
        int usage_status;
    };
    const std::vector<row> rows = {
        {{"--help"}, act::help, false, false, "", "", "", 1},
        {{"--version"}, act::version, false, false, "", "", "", 1},
        // Only alone: with three paths, "--help" names a personality; a fourth is not read.
        {{"--help", "b", "o"}, act::run, false, false, "--help", "o", "", 1},
        {{"p", "b", "o", "x"}, act::run, false, false, "p", "o", "", 1},
        {{"p", "b", "o"}, act::run, false, false, "p", "o", "", 1},
        {{"--progress", "p", "b", "o"}, act::run, true, false, "p", "o", "", 1},
        {{"--progress", "--check", "p", "b", "o"}, act::check, true, true, "p", "o", "", 1},
        {{"--check", "--progress", "p", "b", "o"}, act::check, true, true, "p", "o", "", 1},
        {{"--check", "p", "b"}, act::usage, false, true, "", "", check_usage, 2},
        {{"--check", "--remove", "p", "o"}, act::usage, false, true, "", "", check_usage, 2},
        {{"--remove", "p", "o"}, act::remove, false, false, "p", "o", "", 1},
        {{"--progress", "--remove", "p", "o"}, act::remove, true, false, "p", "o", "", 1},
        {{"--remove", "p", "b", "o"}, act::usage, false, false, "", "", remove_usage, 1},
        // An option given twice is a path: this is a run whose personality is --check.
        {{"--check", "--check", "b", "o"}, act::check, false, true, "--check", "o", "", 1},
        {{"p", "b"}, act::usage, false, false, "", "", run_usage, 1},
        {{}, act::usage, false, false, "", "", run_usage, 1},
    };
    for (const row& r : rows) {
        const command_line line = parsed(r.words);
        SCOPED_TRACE(spelled(r.words));
        EXPECT_EQ(line.what, r.what);
        EXPECT_EQ(line.progress, r.progress);
        EXPECT_EQ(line.check_asked, r.check_asked);
        EXPECT_EQ(line.personality, r.personality);
        EXPECT_EQ(line.output, r.output);
        EXPECT_EQ(line.usage, r.usage);
        if (r.what == act::usage) {
            EXPECT_EQ(line.usage_status, r.usage_status);
        }
    }
}

TEST(CommandLine, JobsTakesAWholeNumberOfThreadsInRange)
{
    using act = command_line::action;
    struct row {
        std::vector<const char*> words;
        act what;
        unsigned jobs;  // 0: the default
        std::string personality;
        int usage_status;
    };
    const std::vector<row> rows = {
        {{"p", "b", "o"}, act::run, 0, "p", 1},
        {{"--jobs", "4", "p", "b", "o"}, act::run, 4, "p", 1},
        {{"--progress", "--jobs", "1", "--check", "p", "b", "o"}, act::check, 1, "p", 1},
        {{"--jobs", "64", "p", "b", "o"}, act::run, 64, "p", 1},
        // Given twice, the second names the personality.
        {{"--jobs", "2", "--jobs", "b", "o"}, act::run, 2, "--jobs", 1},
        {{"--jobs", "0", "p", "b", "o"}, act::usage, 0, "", 1},
        {{"--jobs", "65", "p", "b", "o"}, act::usage, 0, "", 1},
        {{"--jobs", "4x", "p", "b", "o"}, act::usage, 0, "", 1},
        {{"--jobs", "", "p", "b", "o"}, act::usage, 0, "", 1},
        {{"--jobs", "99999999999999999999", "p", "b", "o"}, act::usage, 0, "", 1},
        {{"--check", "--jobs", "two", "p", "b", "o"}, act::usage, 0, "", 2},
        {{"--jobs"}, act::usage, 0, "", 1},
    };
    for (const row& r : rows) {
        const command_line line = parsed(r.words);
        SCOPED_TRACE(spelled(r.words));
        EXPECT_EQ(line.what, r.what);
        EXPECT_EQ(line.personality, r.personality);
        if (r.what == act::usage) {
            EXPECT_EQ(line.usage, jobs_error);
            EXPECT_EQ(line.usage_status, r.usage_status);
        } else {
            EXPECT_EQ(line.jobs, r.jobs);
        }
    }
}

}  // namespace
