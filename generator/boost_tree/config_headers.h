// The analyser's own compiler and platform configuration headers.
#pragma once

#include "generator_state.h"

// Copies orvo++_compiler.hpp and orvo++_windows.hpp into the substitute
// tree's config/compiler and config/platform; false when a target cannot be created.
[[nodiscard]] bool write_config_headers(generator_state& state);
