#include "forwarding_header.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "include_scan.h"
#include "output_file.h"
#include "paths.h"
#include "text_files.h"

namespace {

// The source's path below the Boost folder, '/' between components.
std::string below_boost(const generator_state& state, const std::string& source)
{
    std::string relative = source.substr(std::min(source.size(), state.orig_header_loc.size() + 1));
    std::replace(relative.begin(), relative.end(), platform::path_separator, '/');
    return relative;
}

void write_scanned_header(generator_state& state, const std::string& source, const std::string& relative,
                          const header_scan& scan);

}  // namespace

std::string source_below_boost(const generator_state& state, const std::string& source)
{
    return below_boost(state, source);
}

scan_space::scan_space() : buffer(new char[size]) {}

header_scan scan_header(const generator_state& state, const std::string& source, const std::string& relative,
                        scan_space& space)
{
    header_scan scan;
    // The output's stamp too: with threads, their share of the work.
    scan.target = paths::mirror_path(state.orig_header_loc, state.config_output_loc, source);
    if (state.plan.asks_stamps())
        scan.target_stamp = platform::stamp_along_walk(scan.target);
    // A file the earlier run read and that has not changed since is not read
    // again: its includes come from the record.
    if (state.earlier_scans && (scan.stamped = platform::listed_change_stamp(source, scan.stamp))) {
        scan.compared = true;
        const scanned_source* earlier = std::as_const(*state.earlier_scans).find(relative);
        scan.found = earlier != nullptr;
        if (earlier)
            scan.earlier = static_cast<std::size_t>(earlier - state.earlier_scans->entries().data());
        if (earlier && earlier->stamp == scan.stamp) {
            scan.from_record = true;
            return scan;
        }
    }

    platform::file file;
    const auto opened = file.open_for_reading(source);
    if (opened != platform::file::open_status::ok) {
        scan.failure = "Couldn't open header for reading- " + source +
                       (opened == platform::file::open_status::not_regular ? ". It is not a regular file"
                                                                           : ". Please check folder permissions");
        return scan;
    }

    // Without an earlier scan to compare with, the stamp is the open's own.
    if (!scan.stamped)
        scan.stamped = file.change_stamp(scan.stamp);

    // Large reads: all but a few Boost files come in one.
    include_scan lines(space.seen, &scan.includes);
    std::size_t got;
    do {
        const std::ptrdiff_t read = file.read(space.buffer.get(), scan_space::size);
        if (read < 0) {
            scan.failure = "Couldn't open header for reading- " + source +
                           ". Reading it failed: " + platform::last_error_text();
            return scan;
        }
        got = static_cast<std::size_t>(read);
        lines.feed(std::string_view(space.buffer.get(), got));
        // A regular file reads whole until its end: a short read is the end.
    } while (got == scan_space::size);
    lines.finish();
    return scan;
}

void take_header_scan(generator_state& state, const std::string& relative, const header_scan& scan)
{
    // The earlier record's entry is taken over, as the plan's files are.
    // Found by the scan already: no second lookup.
    scanned_source* earlier = scan.compared && scan.found ? &state.earlier_scans->entries()[scan.earlier] : nullptr;
    if (earlier)
        earlier->taken = true;
    const std::string& includes = scan.from_record ? earlier->includes : scan.includes;
    if (!scan.from_record && earlier)
        ++state.stamps_moved;
    if (!scan.failure.empty())
        throw run_ended{scan.failure};
    for_each_line(includes, [&](std::string_view name) { state.included_system_headers.emplace(name); });
    if (scan.stamped)
        append_source_lines(state.scanned_sources, scan.stamp, relative, includes);
}

std::string forwarding_header_text(const std::string& forwarded_name, bool nonboost)
{
    // Appended into one string: it is built for every file of the tree.
    std::string text;
    text.reserve(256 + 2 * forwarded_name.size());
    auto forward = [&] { text.append("#include_next \"").append(forwarded_name).append("\"\n"); };
    if (nonboost) {
        text.append("#ifndef IN_BOOST_HEADERS\n");
        forward();
        text.append("#else\n"
                    "#include \"AddAllCompilerFlags.h\"\n"
                    "#undef IN_BOOST_HEADERS\n");
        forward();
        text.append("#define IN_BOOST_HEADERS\n"
                    "#include \"RemoveAllCompilerFlags.h\"\n"
                    "#endif\n");
    } else {
        text.append("#ifndef IN_BOOST_HEADERS\n"
                    "#define IN_BOOST_HEADERS\n"
                    "#include \"RemoveAllCompilerFlags.h\"\n");
        forward();
        text.append("#include \"AddAllCompilerFlags.h\"\n"
                    "#undef IN_BOOST_HEADERS\n"
                    "#else\n");
        forward();
        text.append("#endif\n");
    }
    return text;
}

void write_forwarding_header(generator_state& state, const std::string& source)
{
    static scan_space space;  // one thread: one buffer for the run
    const std::string relative = below_boost(state, source);
    // A name the record cannot hold is neither scanned nor written.
    if (!state.plan.takes("boost/" + relative))
        return;
    write_scanned_header(state, source, relative, scan_header(state, source, relative, space));
}

void write_forwarding_header(generator_state& state, const std::string& source, const std::string& relative,
                             const header_scan& scan)
{
    if (!state.plan.takes("boost/" + relative))
        return;
    write_scanned_header(state, source, relative, scan);
}

namespace {

void write_scanned_header(generator_state& state, const std::string& source, const std::string& relative,
                          const header_scan& scan)
{
    take_header_scan(state, relative, scan);
    const std::string& target = scan.target;
    if (state.plan.asks_stamps())
        state.plan.stamp_known(target, scan.target_stamp);
    // The forwarded name starts at the last component of orig_header_loc, "boost".
    std::string forwarded = "boost";
    forwarded.append(source, state.orig_header_loc.size());
    if (std::optional<tree_plan::failed_write> failed = state.plan.file_with_its_directory(
            target, forwarding_header_text(forwarded, state.nonboost_paths.count(source) > 0), "boost/" + relative))
        end_at_failed_header(*failed);
}

}  // namespace

void end_at_failed_header(const tree_plan::failed_write& failed)
{
    throw run_ended{failed.result.failure_line(
        "Couldn't create stub header - " + failed.path + ". Please check folder permissions", failed.path)};
}
