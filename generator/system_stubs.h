// Stubs that give the compiler's macros back while a system header is read
// from inside Boost.
#pragma once

#include <string>

#include "generator_state.h"

// The thirteen lines of the stub for the header name.
std::string system_stub_text(const std::string& name);

// Writes a stub for every collected header and copies the borland directory
// over them when the Borland macro is listed. False when a stub or a file of
// the overlay cannot be written, or a file of the overlay cannot be read.
[[nodiscard]] bool write_system_stubs(generator_state& state);

// Copies what the directory source holds into destination, subdirectories
// and all, as the Borland overlay does; false when a file cannot be read or
// written.
[[nodiscard]] bool copy_directory(generator_state& state, const std::string& source, const std::string& destination);
