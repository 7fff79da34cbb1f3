// Stubs that give the compiler's macros back while a system header is read
// from inside Boost.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "generator_state.h"

// The thirteen lines of the stub for the header name.
std::string system_stub_text(const std::string& name);

// How the stub rule sees the disk: whether a header file is at a path, a
// directory, and whether two directory paths name the same directory.
struct header_search {
    std::function<bool(const std::string& path)> is_file;
    std::function<bool(const std::string& a, const std::string& b)> same_directory;
    std::function<bool(const std::string& path)> is_directory;
};

// The collected names that get no stub: a stub answers __has_include(<name>)
// true, so only a name the analyser finds without the tree may have one. It
// looks in the personality's include directories that exist; those that are
// Skeld's own output (they hold AddAllCompilerFlags.h, or are the "system"
// directory beside it) do not count, and neither do relative ones, which the
// analyser resolves against a folder Skeld cannot know. Each entry left out
// for naming nothing, or for being relative, adds a line to notes. When the
// directories left name nothing but the Boost parent, the personality does
// not say where the system headers are, and every name keeps its stub. The
// disk is asked once per directory and name at most; names that lead outside
// the stub directory are left to the caller.
std::set<std::string> names_without_header(const std::set<std::string>& names,
                                           const std::vector<std::string>& include_dirs,
                                           const std::string& boost_parent, const header_search& disk,
                                           std::vector<std::string>* notes = nullptr);

// Skeld's own output from an earlier run (it holds AddAllCompilerFlags.h, or
// is the "system" directory beside it): the stubs there would answer for
// every name they were written for.
bool skelds_output(const std::string& directory, const header_search& disk);

// The disk as the stub rule asks it.
header_search disk_header_search();

// Writes a stub for every collected header a front end finds (see
// names_without_header) and copies the borland directory
// over them when the Borland macro is listed. False when a stub or a file of
// the overlay cannot be written, or a file of the overlay cannot be read.
[[nodiscard]] bool write_system_stubs(generator_state& state);

// Copies what the directory source holds into destination, subdirectories
// and all, as the Borland overlay does; false when a file cannot be read or
// written.
[[nodiscard]] bool copy_directory(generator_state& state, const std::string& source, const std::string& destination);
