// The exclusion list and the walk over the original Boost tree.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator_state.h"

// One entry of treat_as_nonboost.txt: a line holding "-dir" (first) or
// "-file", its value the rest of the line after the keyword, trimmed of spaces.
struct nonboost_entry {
    enum class kind { directory, file };
    kind what;
    std::string value;
};
std::vector<nonboost_entry> parse_nonboost_list(std::string_view text);

// Fills nonboost_paths from treat_as_nonboost.txt: a file entry by its path,
// a directory entry by every file the collect walk finds below it. A missing
// list is reported and means no exclusions.
void read_nonboost_list(generator_state& state);

// Visits every file below directory, mirroring each directory under the
// substitute tree. Writing mode hands each file to write_forwarding_header,
// ends the run at a directory it cannot list, and adds the stub name yvals.h
// when _MSC_VER or _MSC_EXTENSIONS is a possible define; collect mode adds
// each file to nonboost_paths.
void walk_boost_tree(generator_state& state, const std::string& directory, bool collect_only);

// How many files the writing walk will hand on: the same walk, mirroring and
// writing nothing.
std::size_t count_boost_files(generator_state& state);
