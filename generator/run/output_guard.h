// Keeps the generator from writing into the original Boost tree.
#pragma once

#include <string>

// True when the output location, or the substitute tree <output>/boost, is the
// original Boost tree or lies inside it. Paths are compared fully resolved; an
// output location that does not exist yet is resolved through its parent.
bool output_overlaps_original(const std::string& orig_header_loc, const std::string& config_output_loc);
