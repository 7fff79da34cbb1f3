// Every rule about paths: joining, splitting, the mirror path, what leads
// outside a directory, and the one loop that lists a directory.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform.h"

namespace paths {

// left, one separator, right: nothing checks whether left ends in one already.
std::string join(std::string_view left, std::string_view right);

// The position of the last separator (the platform's own), npos when none.
std::size_t last_separator(std::string_view path);

// Everything before the last separator; empty when there is none.
std::string parent(std::string_view path);

// The position of the last separator of either kind, npos when none: for
// paths a user wrote, which may hold both.
std::size_t last_separator_of_either(std::string_view path);

// The path without its trailing separators, either kind; a root keeps one.
std::string_view without_trailing_separators(std::string_view path);

// The ending test: whether the last component, after the last separator,
// is exactly "boost". A path without a separator has no component to test.
bool ends_in_boost_component(std::string_view path);

// Every foreign separator turned into the platform's own: list values and
// names may be written with either.
std::string with_native_separators(std::string path);

// <output>/boost: the root of the substitute tree.
std::string substitute_tree(std::string_view config_output_loc);

// A path inside the original tree with orig_header_loc replaced by the
// substitute tree and a separator. The remainder keeps its leading
// separator, so the seam shows a doubled one.
std::string mirror_path(std::string_view orig_header_loc, std::string_view config_output_loc, std::string_view path);

// Whether a path is absolute: it begins with a separator of either kind, or
// with a drive letter and its colon.
bool is_absolute(std::string_view path);

// A relative name in one spelling: '/' or the platform's separator between
// components, empty and "." components dropped, '/' between those left
// ("./stdio.h" and "sys//types.h" are "stdio.h" and "sys/types.h").
std::string plain_relative(std::string_view name);

// Whether a relative path has a ".." component, with either separator.
bool has_parent_component(std::string_view relative);

// Whether a relative name, joined to a directory, stays inside it: not
// empty, not absolute, no drive, no ".." component (either separator, on
// every platform).
bool stays_inside(std::string_view relative);

// The resolved path, or, for one that does not exist yet, its resolved
// parent joined with its last component; as given when neither resolves.
std::string resolve_for_output(const std::string& path);

// Whether path, or any directory above it, is the file with that identity.
bool at_or_below(std::string path, const platform::file_identity& directory);

// Calls f(name, path, kind) for every entry of directory but "." and "..",
// in the order the file system gives them; the kind is asked of the status
// query where the listing cannot tell. False when directory cannot be listed;
// too_long then says whether its path was beyond the platform's limit.
bool for_each_entry(
    const std::string& directory,
    const std::function<void(const std::string& name, const std::string& path, platform::entry_kind kind)>& f,
    bool* too_long = nullptr);

}  // namespace paths
