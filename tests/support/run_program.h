// Runs a program in a given working directory and collects its standard output.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct program_result {
    std::string output;
    int status = -1;  // exit status, or -1 when it did not end normally
};

// unprivileged: when run as root, the child drops to the user nobody, so that
// file permissions hold for it.
program_result run_program(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                           bool unprivileged = false);

// The program killed (SIGKILL) once it has printed the nth line starting
// with kill_at. The output is read a byte at a time through a one-page pipe, so
// the program can get at most a page of output past that line before it
// waits for a reader that never comes: it is killed part way, whatever the
// machine's speed. status is -1 when it was killed.
program_result run_program_killed_at(const std::vector<std::string>& argv, const std::filesystem::path& working_directory,
                                     const std::string& kill_at, std::size_t nth);
