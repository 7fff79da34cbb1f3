// Runs the real Skeld, native or the Windows build under Wine, in a scratch
// directory that holds its data files, and spells paths and line ends the way
// the build under test writes them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_dir.h"

// What Skeld asks when the personality does not name Boost's parent; the
// output location follows on a line of its own.
inline const std::string kAddOutputByHand =
    "Please add the following directory to your analyser personality or as the first include path in your CPPFLAGS "
    "or equivalent variable in your makefile:";

struct skeld_target {
    std::string name;     // "native" or "windows"
    std::string program;  // empty when that build is not available
    char separator;
    std::string line_end;
    std::string no_such_file;  // the system's reason for a file that is not there

    bool windows() const { return name == "windows"; }
    // An absolute path as the build under test takes it: Z:\... under Wine.
    std::string spell(const std::filesystem::path& path) const;
};

const skeld_target& target_named(const std::string& name);

class SkeldCli : public ::testing::TestWithParam<std::string> {
protected:
    // Skips where the build is missing, then lays out the minimal run and
    // what the suite adds to it (lay_out).
    void SetUp() override;
    virtual void lay_out() {}

    const skeld_target& target() const { return *target_; }
    // Runs that repeat what is the same on every build (a rule, or a path of
    // the run sequence) go on the native build only: Wine's start-up is what
    // the Windows suite costs.
    bool every_build_run() const { return !target_->windows(); }

    // Paths inside the scratch directory, spelt for the build under test.
    std::string at(const std::string& relative) const { return target_->spell(dir / relative); }
    // Text with '/' as separator and '\n' as line end, turned into the build's own.
    std::string sep(std::string text) const;
    std::string lines(const std::string& text) const;
    // Console output, one whole line an element, each ended the build's way.
    std::string printed(const std::vector<std::string>& whole_lines) const;

    // An empty out/, as before a first run.
    void fresh_output() const;

    void put(const std::string& relative, const std::string& bytes) const { write_file(dir / relative, bytes); }
    std::string get(const std::string& relative) const { return read_file(dir / relative); }
    bool exists(const std::string& relative) const { return std::filesystem::exists(dir / relative); }
    // Every file below relative, as sorted relative paths with '/'.
    std::vector<std::string> files_below(const std::string& relative) const;

    // Skeld with the given arguments, working directory the scratch directory.
    program_result run(const std::vector<std::string>& arguments, bool unprivileged = false) const;
    program_result run_from(const std::filesystem::path& working_directory, const std::vector<std::string>& arguments,
                            bool unprivileged = false) const;
    // Skeld started as run() does, killed once it printed the nth line
    // starting with kill_at (see run_program_killed_at).
    program_result run_killed_at(const std::vector<std::string>& arguments, const std::string& kill_at, std::size_t nth) const;
    // The copy of Skeld the runs start, alone in its folder.
    std::filesystem::path program_copy() const;
    // The usual three: p.p_c, lib/boost, out.
    program_result run_default(bool unprivileged = false) const;

    // The step lines of a run that gets through the walk and the settings;
    // with an output location, the lines that ask to add it by hand follow.
    std::vector<std::string> full_run(const std::string& output = "") const;
    // The line that ends a run: how many files it wrote, left and removed.
    static std::string files_line(std::size_t written, std::size_t unchanged = 0, std::size_t removed = 0);
    // full_run's lines and then that line.
    std::vector<std::string> full_run_writing(std::size_t written, const std::string& output = "") const;
    // The forwarding header texts, for a forwarded name spelt with '/'.
    std::string boost_pattern(const std::string& forwarded) const;
    std::string nonboost_pattern(const std::string& forwarded) const;

    // The smallest layout a full run needs, laid out before every case: the
    // data files (FOO the one possible define, empty lists and configuration
    // headers), the personality -sd FOO=1, a Boost tree holding only
    // config/compiler/gcc.hpp and config/platform/linux.hpp, and out/.
    void lay_out_run() const;

    scratch_dir dir;
    // NAME=value pairs the runs start with (for Wine: the locale, which sets
    // Windows' code page).
    std::vector<std::string> environment;

private:
    std::vector<std::string> command(const std::vector<std::string>& arguments) const;
    scratch_dir program_dir_;
    const skeld_target* target_ = nullptr;
};

// Both builds for a parameterised suite; Wine cases skip where the Windows
// build is not there.
#define INSTANTIATE_FOR_BOTH_BUILDS(suite)                                                                             \
    INSTANTIATE_TEST_SUITE_P(native, suite, ::testing::Values(std::string("native")));                                 \
    INSTANTIATE_TEST_SUITE_P(windows, suite, ::testing::Values(std::string("windows")))
