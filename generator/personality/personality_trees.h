// Which of Skeld's trees a personality names. A run says when it names trees
// of other outputs; --remove lets the settings go with the last of them; and
// an output whose tree another personality still names is that one's alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system_stubs.h"

// The include directories that are trees Skeld made for another output than
// this one (its own directory or its system directory), each tree once.
std::vector<std::string> other_trees(const std::vector<std::string>& include_dirs, const std::string& output,
                                     const header_search& disk);

// The directories of a personality's -si lines, in their order.
std::vector<std::string> include_directories_of(std::string_view text);

// Whether a -si or -q line names output or its system directory.
bool names_output(std::string_view line, const std::string& output, const header_search& disk);

// Whether the personality at path names output in any line, as disk reads
// its directories. One that cannot be read counts as naming it; one that is
// not there names nothing.
bool personality_names_output(const std::string& path, const std::string& output, const header_search& disk);

// Whether two paths name the same file: by identity where both are there,
// else by their text.
bool same_file(const std::string& a, const std::string& b);
