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
