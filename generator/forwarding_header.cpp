#include "forwarding_header.h"

#include <cstdio>
#include <string_view>

#include "include_scan.h"
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
    std::FILE* file = std::fopen(source.c_str(), "rb");
    if (!file) {
        say(state, "Couldn't open header for reading- " + source + ". Please check folder permissions");
        throw run_ended{1};
    }
    // The reads are large already: a stream buffer would only add a copy, an
    // allocation and a status query per file.
    std::setvbuf(file, nullptr, _IONBF, 0);

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
        got = std::fread(buffer, 1, sizeof buffer, file);
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
        // A short read is the end of the file: no need to ask again.
    } while (got == sizeof buffer);
    if (pending_cr)
        scanner.feed('\r');
    end_line();
    std::fclose(file);

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
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (!file) {
        say(state, "Couldn't create stub header - " + target + ". Please check folder permissions");
        throw run_ended{1};
    }
    // One write, straight from the text: no stream buffer to fill and flush.
    std::setvbuf(file, nullptr, _IONBF, 0);
    // The forwarded name starts at the last component of orig_header_loc, "boost".
    std::string forwarded = "boost";
    forwarded.append(source, state.orig_header_loc.size());
    const std::string text = to_file_text(forwarding_header_text(forwarded, state.nonboost_paths.count(source) > 0));
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}
