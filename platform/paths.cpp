#include "paths.h"

#include <algorithm>

namespace paths {

namespace {

// Either separator, for rules that hold the same on every platform.
const char* separators()
{
    static const char both[] = {platform::path_separator, platform::foreign_separator, '\0'};
    return both;
}

}  // namespace

std::string join(std::string_view left, std::string_view right)
{
    std::string joined;
    joined.reserve(left.size() + 1 + right.size());
    joined.append(left).append(1, platform::path_separator).append(right);
    return joined;
}

std::size_t last_separator(std::string_view path)
{
    return path.rfind(platform::path_separator);
}

std::string parent(std::string_view path)
{
    const std::size_t last = last_separator(path);
    return std::string(path.substr(0, last == std::string_view::npos ? 0 : last));
}

std::size_t last_separator_of_either(std::string_view path)
{
    return path.find_last_of(separators());
}

std::string_view without_trailing_separators(std::string_view path)
{
    while (path.size() > 1 && last_separator_of_either(path) == path.size() - 1)
        path.remove_suffix(1);
    return path;
}

bool ends_in_boost_component(std::string_view path)
{
    const std::size_t last = last_separator(path);
    return last != std::string_view::npos && path.substr(last + 1) == "boost";
}

std::string with_native_separators(std::string path)
{
    std::replace(path.begin(), path.end(), platform::foreign_separator, platform::path_separator);
    return path;
}

std::string substitute_tree(std::string_view config_output_loc)
{
    return join(config_output_loc, "boost");
}

std::string mirror_path(std::string_view orig_header_loc, std::string_view config_output_loc, std::string_view path)
{
    // In one allocation: it is built for every file of the tree.
    std::string mirror;
    mirror.reserve(config_output_loc.size() + path.size() + 16);
    mirror.append(config_output_loc).append(1, platform::path_separator).append("boost");
    mirror.append(1, platform::path_separator).append(path.substr(orig_header_loc.size()));
    return mirror;
}

bool is_absolute(std::string_view path)
{
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() >= 2 && path[1] == ':');
}

bool has_parent_component(std::string_view relative)
{
    // One pass over the bytes: it runs for every path a record holds.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        if (i < relative.size() && relative[i] != '/' && relative[i] != '\\')
            continue;
        if (i - start == 2 && relative[start] == '.' && relative[start + 1] == '.')
            return true;
        start = i + 1;
    }
    return false;
}

std::string plain_relative(std::string_view name)
{
    std::string plain;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != '/' && name[i] != platform::path_separator)
            continue;
        const std::string_view component = name.substr(start, i - start);
        if (!component.empty() && component != ".")
            plain.append(plain.empty() ? "" : "/").append(component);
        start = i + 1;
    }
    return plain;
}

bool stays_inside(std::string_view relative)
{
    return !relative.empty() && !is_absolute(relative) && !has_parent_component(relative);
}

std::string resolve_for_output(const std::string& path)
{
    std::string resolved;
    if (platform::resolve_path(path, resolved))
        return resolved;
    const std::size_t cut = last_separator_of_either(path);
    std::string parent = cut == std::string::npos ? "." : path.substr(0, cut);
    if (parent.empty())
        parent = std::string(1, platform::path_separator);
    const std::string last = cut == std::string::npos ? path : path.substr(cut + 1);
    if (platform::resolve_path(parent, resolved))
        return join(resolved, last);
    return path;
}

bool at_or_below(std::string path, const platform::file_identity& directory)
{
    // Identities rather than spellings: case-insensitive file systems and
    // mounts are judged by what the file system says.
    for (;;) {
        platform::file_identity identity;
        if (platform::identify(path, identity) && identity == directory)
            return true;
        const std::size_t cut = last_separator_of_either(path);
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

bool for_each_entry(
    const std::string& directory,
    const std::function<void(const std::string& name, const std::string& path, platform::entry_kind kind)>& f,
    bool* too_long)
{
    platform::directory_listing listing;
    if (!listing.open(directory)) {
        if (too_long)
            *too_long = listing.path_too_long();
        return false;
    }
    std::string path;
    while (listing.next()) {
        const std::string& name = listing.name();
        if (name == "." || name == "..")
            continue;
        path.assign(directory).append(1, platform::path_separator).append(name);
        platform::entry_kind kind = listing.kind();
        if (kind == platform::entry_kind::unknown)
            kind = platform::is_directory(path) ? platform::entry_kind::directory : platform::entry_kind::file;
        f(name, path, kind);
    }
    return true;
}

}  // namespace paths
