#include "output_guard.h"

#include "paths.h"

bool output_overlaps_original(const std::string& orig_header_loc, const std::string& config_output_loc)
{
    platform::file_identity original;
    if (!platform::identify(orig_header_loc, original))
        return false;  // nothing there to overwrite
    // The substitute tree is resolved by itself: it may be a link of its own.
    return paths::at_or_below(paths::resolve_for_output(config_output_loc), original) ||
           paths::at_or_below(paths::resolve_for_output(paths::substitute_tree(config_output_loc)), original);
}
