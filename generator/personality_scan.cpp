#include "personality_scan.h"

#include <sstream>

#include "output_file.h"
#include "personality_update.h"
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
    for (const auto& [name, text] : {std::pair{"RemoveAllCompilerFlags.h", &remove}, {"AddAllCompilerFlags.h", &add}}) {
        const write_result written = write_generated_file(dir + name, *text);
        if (written.outcome == write_result::status::cannot_create) {
            say(state, std::string("Couldnt create ") + name + ". Please check folder permissions");
            return false;
        }
        if (!written.ok()) {
            say(state, "Couldn't write " + dir + name + ": " + written.reason);
            return false;
        }
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

scan_result scan_personality(generator_state& state, const std::string& path, personality_file& personality)
{
    std::string defines;
    const read_result read = read_file_bytes(data_file(state, "possible_defines.txt"), defines);
    if (!read.ok()) {
        if (read.outcome == read_result::status::cannot_open)
            say(state, "Error: Cannot open possible_defines.txt" + where_data_was_looked_for(state));
        else
            say(state, "Error: Cannot read " + data_file(state, "possible_defines.txt") + read.why());
        return scan_result::failed;
    }
    std::istringstream stream(defines);
    state.possible_defines.insert(line_iterator(stream), line_iterator());

    if (!open_personality(state, path, personality))
        return scan_result::failed;
    std::string text = personality.bytes;
    drop_carriage_returns(text);

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
        say(state, "No need for configuration, boost should work successfully." + path);
        return scan_result::not_needed;
    }
    return write_flag_headers(state) ? scan_result::configured : scan_result::failed;
}
