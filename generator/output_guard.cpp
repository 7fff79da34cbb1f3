#include "output_guard.h"

#include "platform.h"

namespace {

// The resolved path, or the resolved parent joined with the last component.
std::string resolve_output(const std::string& path)
{
    std::string resolved;
    if (platform::resolve_path(path, resolved))
        return resolved;
    std::size_t cut = path.find_last_of(std::string{platform::path_separator, platform::foreign_separator});
    std::string parent = cut == std::string::npos ? "." : path.substr(0, cut);
    if (parent.empty())
        parent = std::string(1, platform::path_separator);
    std::string last = cut == std::string::npos ? path : path.substr(cut + 1);
    if (platform::resolve_path(parent, resolved))
        return resolved + platform::path_separator + last;
    return path;
}

// Whether path or any directory above it is the directory with that identity.
// Identities rather than spellings: case-insensitive file systems and mounts
// are judged by what the file system says.
bool at_or_below(std::string path, const platform::file_identity& directory)
{
    for (;;) {
        platform::file_identity identity;
        if (platform::identify(path, identity) && identity == directory)
            return true;
        std::size_t cut = path.find_last_of(std::string{platform::path_separator, platform::foreign_separator});
        if (cut == std::string::npos)
            return false;
        // Keep the root: "/" or "C:\".
        if (cut == 0 || (cut == 2 && path[1] == ':')) {
            if (path.size() == cut + 1)
                return false;
            path.resize(cut + 1);
        } else {
            path.resize(cut);
        }
    }
}

}  // namespace

bool output_overlaps_original(const std::string& orig_header_loc, const std::string& config_output_loc)
{
    platform::file_identity original;
    if (!platform::identify(orig_header_loc, original))
        return false;  // nothing there to overwrite
    // The substitute tree is resolved by itself: it may be a link of its own.
    return at_or_below(resolve_output(config_output_loc), original) ||
           at_or_below(resolve_output(config_output_loc + platform::path_separator + "boost"), original);
}

bool leads_into(const std::string& directory, const platform::file_identity& original)
{
    std::string resolved;
    return platform::resolve_path(directory, resolved) && at_or_below(resolved, original);
}
