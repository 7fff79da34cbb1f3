// Stubs that give the compiler's macros back while a system header is read
// from inside Boost.
#pragma once

#include <string>

#include "generator_state.h"

// The thirteen lines of the stub for the header name.
std::string system_stub_text(const std::string& name);

// False for a name whose stub would land outside the system stub directory:
// empty, absolute, with a drive, or with a ".." component.
bool stays_inside_stub_directory(const std::string& name);

// Writes a stub for every collected header, copies the borland directory over
// them when the Borland macro is listed, and puts the stub directory at the
// top of the personality. False when a stub cannot be created.
bool write_system_stubs(generator_state& state, const std::string& personality);

// Copies the directory source over destination, as the Borland overlay does.
void copy_directory(generator_state& state, const std::string& source, std::string destination);
