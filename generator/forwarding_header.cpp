#include "forwarding_header.h"

#include <cstdio>

#include "include_scan.h"
#include "text_files.h"

void scan_header_includes(generator_state& state, const std::string& source)
{
    std::FILE* file = std::fopen(source.c_str(), "rb");
    if (!file) {
        say(state, "Couldn't open header for reading- " + source + ". Please check folder permissions");
        throw run_ended{1};
    }

    include_line_scanner scanner;
    auto end_line = [&] {
        if (scanner.end_line())
            state.included_system_headers.insert(scanner.name());
        scanner.start_line();
    };

    // A carriage return counts only when no line feed follows it, as text mode
    // reads it; one at the end of a buffer waits for the next read.
    static char buffer[1 << 16];
    bool pending_cr = false;
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            char c = buffer[i];
            if (pending_cr) {
                pending_cr = false;
                if (c != '\n')
                    scanner.feed('\r');
            }
            if (c == '\n')
                end_line();
            else if (c == '\r')
                pending_cr = true;
            else
                scanner.feed(c);
        }
    }
    if (pending_cr)
        scanner.feed('\r');
    end_line();
    std::fclose(file);

    if (state.possible_defines.count("_MSC_VER") || state.possible_defines.count("_MSC_EXTENSIONS"))
        state.included_system_headers.insert("yvals.h");
}

std::string forwarding_header_text(const std::string& forwarded_name, bool nonboost)
{
    const std::string forward = "#include_next \"" + forwarded_name + "\"\n";
    if (nonboost)
        return "#ifndef IN_BOOST_HEADERS\n" + forward +
               "#else\n"
               "#include \"AddAllCompilerFlags.h\"\n"
               "#undef IN_BOOST_HEADERS\n" +
               forward +
               "#define IN_BOOST_HEADERS\n"
               "#include \"RemoveAllCompilerFlags.h\"\n"
               "#endif\n";
    return "#ifndef IN_BOOST_HEADERS\n"
           "#define IN_BOOST_HEADERS\n"
           "#include \"RemoveAllCompilerFlags.h\"\n" +
           forward +
           "#include \"AddAllCompilerFlags.h\"\n"
           "#undef IN_BOOST_HEADERS\n"
           "#else\n" +
           forward + "#endif\n";
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
    // The forwarded name starts at the last component of orig_header_loc, "boost".
    const std::string forwarded = "boost" + source.substr(state.orig_header_loc.size());
    const std::string text = to_file_text(forwarding_header_text(forwarded, state.nonboost_paths.count(source) > 0));
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}
