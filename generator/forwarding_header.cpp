#include "forwarding_header.h"

#include <string_view>

#include "include_scan.h"
#include "output_file.h"
#include "text_files.h"

namespace {

// False when a whole line cannot name a system header, whatever the scanner
// makes of it: "#include<" needs a '<' after the line's first '#', at hash,
// and a "boost" anywhere rules the line out, since taking the spaces out
// only joins more characters.
bool may_name_system_header(std::string_view line, std::size_t hash)
{
    return line.find('<', hash) != std::string_view::npos && line.find("boost") == std::string_view::npos;
}

}  // namespace

void scan_header_includes(generator_state& state, const std::string& source)
{
    platform::file file;
    const auto opened = file.open_for_reading(source);
    if (opened != platform::file::open_status::ok)
        throw run_ended{"Couldn't open header for reading- " + source +
                        (opened == platform::file::open_status::not_regular ? ". It is not a regular file"
                                                                             : ". Please check folder permissions")};

    include_line_scanner scanner;
    auto end_line = [&] {
        if (scanner.end_line())
            state.included_system_headers.insert(scanner.name());
        scanner.start_line();
    };

    // A carriage return counts only when no line feed follows it, as text mode
    // reads it; one at the end of a buffer waits for the next read. A line cut
    // by a read goes to the scanner whole, so the buffer takes all but a few
    // Boost files in one read.
    static char buffer[1 << 20];
    bool pending_cr = false;
    bool at_line_start = true;
    std::size_t got;
    do {
        const std::ptrdiff_t read = file.read(buffer, sizeof buffer);
        if (read < 0)
            throw run_ended{"Couldn't open header for reading- " + source + ". Reading it failed: " +
                            platform::last_error_text()};
        got = static_cast<std::size_t>(read);
        const std::string_view chunk(buffer, got);
        std::size_t i = 0;
        while (i < got) {
            // Whole lines before the next '#', and the whole line of that '#'
            // when it cannot name one, are skipped unread: the scanner is
            // between lines there, so skipping them changes nothing.
            while (at_line_start && i < got) {
                const std::size_t hash = chunk.find('#', i);
                const std::size_t newline = chunk.rfind('\n', hash);
                if (newline != std::string_view::npos && newline >= i)
                    i = newline + 1;
                const std::size_t end = hash == std::string_view::npos ? hash : chunk.find('\n', hash);
                if (end == std::string_view::npos || may_name_system_header(chunk.substr(i, end - i), hash - i)) {
                    // The scanner takes it from here, unless the buffer ended on a line feed.
                    at_line_start = i == got;
                    break;
                }
                i = end + 1;
            }
            if (i == got)
                break;
            char c = buffer[i++];
            if (pending_cr) {
                pending_cr = false;
                if (c != '\n')
                    scanner.feed('\r');
            }
            if (c == '\n') {
                end_line();
                at_line_start = true;
            } else if (c == '\r') {
                pending_cr = true;
            } else {
                scanner.feed(c);
            }
        }
        // A regular file reads whole until its end: a short read is the end.
    } while (got == sizeof buffer);
    if (pending_cr)
        scanner.feed('\r');
    end_line();

    if (state.possible_defines.count("_MSC_VER") || state.possible_defines.count("_MSC_EXTENSIONS"))
        state.included_system_headers.insert("yvals.h");
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
    scan_header_includes(state, source);

    const std::string target = mirror_path(state, source);
    // The forwarded name starts at the last component of orig_header_loc, "boost".
    std::string forwarded = "boost";
    forwarded.append(source, state.orig_header_loc.size());
    const write_result written =
        write_generated_file(target, forwarding_header_text(forwarded, state.nonboost_paths.count(source) > 0));
    if (written.outcome == write_result::status::cannot_create)
        throw run_ended{"Couldn't create stub header - " + target + ". Please check folder permissions"};
    if (!written.ok())
        throw run_ended{"Couldn't write stub header - " + target + ": " + written.reason};
}
