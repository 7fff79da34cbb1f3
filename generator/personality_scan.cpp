#include "personality_scan.h"

#include <fstream>

#include "text_files.h"

namespace {

bool contains(std::string_view line, std::string_view what)
{
    return line.find(what) != std::string_view::npos;
}

bool long_define_option(std::string_view line)
{
    return contains(line, "-systemdefine") || contains(line, "-SYSTEMDEFINE");
}

bool names_possible_define(const generator_state& state, std::string_view line)
{
    for (const std::string& name : state.possible_defines)
        if (contains(line, name))
            return true;
    return false;
}

std::string boost_parent(const generator_state& state)
{
    return state.orig_header_loc.substr(0, state.orig_header_loc.rfind(state.path_separator));
}

bool write_flag_headers(generator_state& state)
{
    std::string remove, add;
    for (const auto& [name, value] : state.personality_defines) {
        remove += "#undef " + name + "\n";
        add += "#define " + name + (value.empty() ? "" : " " + value) + "\n";
    }
    remove += "#define LONG_LONG long long\n";
    add += "#undef LONG_LONG\n";

    const std::string dir = state.config_output_loc + state.path_separator;
    if (!write_text_file(dir + "RemoveAllCompilerFlags.h", remove)) {
        say(state, "Couldnt create RemoveAllCompilerFlags.h. Please check folder permissions");
        return false;
    }
    if (!write_text_file(dir + "AddAllCompilerFlags.h", add)) {
        say(state, "Couldnt create AddAllCompilerFlags.h. Please check folder permissions");
        return false;
    }
    return true;
}

}  // namespace

line_kind classify_personality_line(std::string_view line)
{
    for (std::string_view spelling : {"-sd", "-SD", "-systemdefine", "-SYSTEMDEFINE"})
        if (contains(line, spelling))
            return line_kind::define;
    for (std::string_view spelling : {"-si", "-SI", "-systeminclude", "-SYSTEMINCLUDE"})
        if (contains(line, spelling))
            return line_kind::include;
    return line_kind::other;
}

std::pair<std::string, std::string> parse_define_line(const std::string& line)
{
    std::string text = trim(' ', line);
    // The option is cut off unseen; the line holds the spelling, so it is never
    // shorter than the cut.
    text = text.substr(long_define_option(line) ? 13 : 3);
    text = trim('"', trim(' ', text));
    std::size_t equals = text.find('=');
    if (equals == std::string::npos)
        return {text, {}};
    return {text.substr(0, equals), text.substr(equals + 1)};
}

scan_result scan_personality(generator_state& state, const std::string& personality)
{
    std::ifstream defines("possible_defines.txt", std::ios::binary);
    if (!defines) {
        say(state, "Error: Cannot open possible_defines.txt");
        return scan_result::failed;
    }
    state.possible_defines.insert(line_iterator(defines), line_iterator());
    defines.close();

    std::string text;
    if (!read_text_file(personality, text)) {
        say(state, "Error: Cannot open Compiler Personality - " + personality);
        return scan_result::failed;
    }

    const std::string parent = boost_parent(state);
    for_each_line(text, [&](std::string_view line) {
        switch (classify_personality_line(line)) {
        case line_kind::define:
            if (names_possible_define(state, line))
                state.personality_defines.insert(parse_define_line(std::string(line)));
            break;
        case line_kind::include:
            if (contains(line, parent))
                state.personality_has_boost_include = true;
            break;
        case line_kind::other:
            break;
        }
    });

    if (state.personality_defines.empty()) {
        say(state, "No need for configuration, boost should work successfully." + personality);
        return scan_result::not_needed;
    }
    return write_flag_headers(state) ? scan_result::configured : scan_result::failed;
}
