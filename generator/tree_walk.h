// The exclusion list and the walk over the original Boost tree.
#pragma once

#include <string>

#include "generator_state.h"

// Fills nonboost_paths from treat_as_nonboost.txt; false when it cannot be opened.
bool read_nonboost_list(generator_state& state);

// Visits every file below directory, mirroring each directory under the
// substitute tree. Writing mode hands each file to write_forwarding_header;
// collect mode adds it to nonboost_paths. False when directory cannot be listed.
bool walk_boost_tree(generator_state& state, const std::string& directory, bool collect_only);
