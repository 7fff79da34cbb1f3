// What Skeld adds to the compiler personality.
#pragma once

#include <string>

#include "generator_state.h"

// Appends the options of boost_compiler_person_settings.txt, sorted and each
// once, to the personality; false when either file cannot be opened.
bool update_settings(generator_state& state, const std::string& personality);

// Puts -si and -q entries for directory at the top of the personality. The
// personality is replaced in one step; when that cannot be done the entries
// are printed for the user to add. Always true.
bool edit_personality(generator_state& state, const std::string& personality, const std::string& directory);
