// The fault a test set with inject_fault, for the platform module's own files.
#pragma once

#include <optional>

#include "platform.h"

namespace platform {

std::optional<injected_fault>& current_fault();

}  // namespace platform
