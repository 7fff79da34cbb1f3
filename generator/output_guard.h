// Keeps the generator from writing into the original Boost tree.
#pragma once

#include <string>

#include "platform.h"

// True when the output location, or the substitute tree <output>/boost, is the
// original Boost tree or lies inside it. Paths are compared fully resolved; an
// output location that does not exist yet is resolved through its parent.
bool output_overlaps_original(const std::string& orig_header_loc, const std::string& config_output_loc);

// True when directory, resolved, is the directory with the identity original
// or lies inside it: a mirror directory that is a link into the original tree.
bool leads_into(const std::string& directory, const platform::file_identity& original);
