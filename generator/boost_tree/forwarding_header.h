// The forwarding header that stands in for one original Boost file.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "generator_state.h"

// What a thread keeps for scanning files: one large read buffer (its pages
// taken only as a large file needs them), and the set the scan fills.
struct scan_space {
    static constexpr std::size_t size = 1 << 20;
    std::unique_ptr<char[]> buffer;
    std::set<std::string> seen;
    scan_space();
};

// The angle-bracket includes of non-Boost headers in one source, or why it
// could not be read; made without changing the run's state, so that threads
// may scan several files at once.
struct header_scan {
    bool compared = false;     // its stamp was compared with the earlier record's
    std::size_t earlier = 0;   // entry of state.earlier_scans, for one compared
    bool found = false;        // the earlier record scanned it
    bool from_record = false;  // and was the same: the record's includes hold
    bool stamped = false;
    std::uint64_t stamp = 0;
    std::string includes;  // each name ended by a line feed
    std::string failure;   // the run's last line when the file could not be read
    // The forwarding header's path and its stamp there, taken beside the
    // scan (in the scan's thread) when the plan asks stamps.
    std::string target;
    std::optional<platform::file_stamp> target_stamp;
};
// relative: the source's path below the Boost folder, as the record names it.
header_scan scan_header(const generator_state& state, const std::string& source, const std::string& relative,
                        scan_space& space);
// Takes a scan into included_system_headers and the record's lines, in plan
// order. Ends the run at a file that could not be read.
void take_header_scan(generator_state& state, const std::string& relative, const header_scan& scan);

// The source's path below the Boost folder, '/' between components.
std::string source_below_boost(const generator_state& state, const std::string& source);

// Scans source, then writes its nine-line forwarding header at its mirror
// path. Ends the run when either fails.
void write_forwarding_header(generator_state& state, const std::string& source);
// The same, with the scan made already (by another thread), and the
// source's path below the Boost folder that it was made for.
void write_forwarding_header(generator_state& state, const std::string& source, const std::string& relative,
                             const header_scan& scan);

// Ends the run at a forwarding header that could not be written.
[[noreturn]] void end_at_failed_header(const tree_plan::failed_write& failed);

// The nine lines, Boost or non-Boost pattern, for a forwarded name.
std::string forwarding_header_text(const std::string& forwarded_name, bool nonboost);
