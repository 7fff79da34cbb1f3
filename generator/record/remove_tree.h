// Skeld --remove: takes a tree Skeld made out of the personality, then off
// the disk, by the tree's own record.
#pragma once

#include <string>

#include "generator_state.h"

// Takes the entries for output out of the personality (and the settings,
// when it names no other tree of Skeld's), all or nothing; then removes
// every file the record lists that still holds what Skeld wrote, and the
// directories left empty, and says what it left. 0 on success, else 1.
[[nodiscard]] int remove_tree(generator_state& state, const std::string& personality_path, const std::string& output);
