// The fault a test set with inject_fault, for the platform module's own files.
// Set between runs, only read while a run's threads work: they share it
// without a lock.
#pragma once

#include <optional>

#include "platform.h"

namespace platform {

std::optional<injected_fault>& current_fault();

}  // namespace platform
