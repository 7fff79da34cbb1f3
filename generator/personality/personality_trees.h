// Which of Skeld's trees a personality names. A run says when it names trees
// of other outputs; --remove lets the settings go with the last of them; and
// an output whose tree another personality still names is that one's alone.
#pragma once

#include <string>
#include <vector>

#include "personality_text.h"
#include "system_stubs.h"

// The include directories that are trees Skeld made for another output than
// this one (a folder holding Skeld's record, or its system folder), each
// tree once. A relative entry is taken from here, the folder Skeld runs from.
std::vector<std::string> other_trees(const std::vector<std::string>& include_dirs, const std::string& output,
                                     const header_search& disk, const std::string& here);

// The settings lines that the records of trees (from other_trees) say Skeld
// added to the personality file personality_target and that text still
// holds, and whether one of them put a line end after the last line: a tree
// made later into the same personality shares them, so that they go with
// the last tree removed, whichever it is.
struct shared_settings {
    std::vector<std::string> end;
    bool line_end = false;
};
shared_settings settings_of_trees(const std::vector<std::string>& trees, const std::string& personality_target,
                                  const personality_text& text);

// Whether a -si or -q line names output or its system directory.
bool names_output(const personality_line& line, const std::string& output, const header_search& disk);

// Whether the personality at path names output in any line, as disk reads
// its directories. One that cannot be read counts as naming it; one that is
// not there names nothing.
bool personality_names_output(const std::string& path, const std::string& output, const header_search& disk);

// Whether two paths name the same file: by identity where both are there,
// else by their text.
bool same_file(const std::string& a, const std::string& b);
