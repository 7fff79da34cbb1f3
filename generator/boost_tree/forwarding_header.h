// The forwarding header that stands in for one original Boost file.
#pragma once

#include <string>

#include "generator_state.h"

// Records the file's angle-bracket includes of non-Boost headers in
// included_system_headers. Ends the run when the file cannot be read.
// relative: the source's path below the Boost folder, as the record names it.
void scan_header_includes(generator_state& state, const std::string& source, const std::string& relative);

// Scans source, then writes its nine-line forwarding header at its mirror
// path. Ends the run when either fails.
void write_forwarding_header(generator_state& state, const std::string& source);

// Ends the run at a forwarding header that could not be written.
[[noreturn]] void end_at_failed_header(const tree_plan::failed_write& failed);

// The nine lines, Boost or non-Boost pattern, for a forwarded name.
std::string forwarding_header_text(const std::string& forwarded_name, bool nonboost);
