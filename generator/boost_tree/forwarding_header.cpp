#include "forwarding_header.h"

#include <algorithm>
#include <string_view>

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

}  // namespace

void scan_header_includes(generator_state& state, const std::string& source, const std::string& relative)
{
    // A file the earlier run read and that has not changed since is not read
    // again: its includes come from the record.
    std::uint64_t stamp = 0;
    bool stamped = false;
    if (state.earlier_scans && (stamped = platform::listed_change_stamp(source, stamp))) {
        auto earlier = state.earlier_scans->extract(relative);
        if (earlier && earlier.mapped().stamp == stamp) {
            for_each_line(earlier.mapped().includes,
                          [&](std::string_view name) { state.included_system_headers.emplace(name); });
            append_source_lines(state.scanned_sources, stamp, relative, earlier.mapped().includes);
            return;
        }
        if (earlier)
            ++state.stamps_moved;
    }

    platform::file file;
    const auto opened = file.open_for_reading(source);
    if (opened != platform::file::open_status::ok)
        throw run_ended{"Couldn't open header for reading- " + source +
                        (opened == platform::file::open_status::not_regular ? ". It is not a regular file"
                                                                            : ". Please check folder permissions")};

    // Without an earlier scan to compare with, the stamp is the open's own.
    if (!stamped)
        stamped = file.change_stamp(stamp);

    // Large reads: all but a few Boost files come in one.
    static char buffer[1 << 20];
    std::string names;
    include_scan scan(state.included_system_headers, &names);
    std::size_t got;
    do {
        const std::ptrdiff_t read = file.read(buffer, sizeof buffer);
        if (read < 0)
            throw run_ended{"Couldn't open header for reading- " + source +
                            ". Reading it failed: " + platform::last_error_text()};
        got = static_cast<std::size_t>(read);
        scan.feed(std::string_view(buffer, got));
        // A regular file reads whole until its end: a short read is the end.
    } while (got == sizeof buffer);
    scan.finish();
    if (stamped)
        append_source_lines(state.scanned_sources, stamp, relative, names);
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
    const std::string relative = below_boost(state, source);
    // A name the record cannot hold is neither scanned nor written.
    if (!state.plan.takes("boost/" + relative))
        return;
    scan_header_includes(state, source, relative);

    const std::string target = paths::mirror_path(state.orig_header_loc, state.config_output_loc, source);
    // The forwarded name starts at the last component of orig_header_loc, "boost".
    std::string forwarded = "boost";
    forwarded.append(source, state.orig_header_loc.size());
    if (std::optional<tree_plan::failed_write> failed = state.plan.file_with_its_directory(
            target, forwarding_header_text(forwarded, state.nonboost_paths.count(source) > 0), "boost/" + relative))
        end_at_failed_header(*failed);
}

void end_at_failed_header(const tree_plan::failed_write& failed)
{
    throw run_ended{failed.result.failure_line(
        "Couldn't create stub header - " + failed.path + ". Please check folder permissions", failed.path)};
}
