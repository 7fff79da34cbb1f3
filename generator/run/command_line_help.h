// What Skeld prints for a wrong argument count, --help and --version.
#pragma once

#include <string>
#include <vector>

inline constexpr char usage_line[] = "Usage: Skeld <curr_compiler_personality> <orig_header_loc> <config_output_loc>";

// The usage, the three arguments, and the folders the data files are looked
// for in, in order (the first is the working folder).
[[nodiscard]] std::vector<std::string> help_lines(const std::vector<std::string>& data_places);

[[nodiscard]] std::string version_line();
