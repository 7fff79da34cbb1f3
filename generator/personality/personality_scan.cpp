#include "personality_scan.h"

#include <sstream>

#include "output_file.h"
#include "paths.h"
#include "personality_update.h"
#include "text_files.h"

namespace {

bool contains(std::string_view line, std::string_view what)
{
    return line.find(what) != std::string_view::npos;
}

bool names_possible_define(const std::set<std::string>& possible_defines, std::string_view line)
{
    for (const std::string& name : possible_defines)
        if (contains(line, name))
            return true;
    return false;
}

void write_flag_headers(generator_state& state)
{
    const compiler_flag_headers texts = compiler_flag_header_texts(state.personality_defines);
    for (const auto& [name, text] :
         {std::pair{"RemoveAllCompilerFlags.h", &texts.remove}, {"AddAllCompilerFlags.h", &texts.add}}) {
        const std::string path = paths::join(state.config_output_loc, name);
        const write_result written = state.plan.file(path, *text);
        if (!written.ok())
            throw run_ended{written.failure_line(
                std::string("Couldnt create ") + name + ". Please check folder permissions", path)};
    }
}

}  // namespace

compiler_flag_headers compiler_flag_header_texts(const std::map<std::string, std::string>& defines)
{
    compiler_flag_headers texts;
    for (const auto& [name, value] : defines) {
        texts.remove += "#undef " + name + "\n";
        texts.add += "#define " + name + (value.empty() ? "" : " " + value) + "\n";
    }
    texts.remove += "#define LONG_LONG long long\n";
    texts.add += "#undef LONG_LONG\n";
    return texts;
}

void read_personality_lines(const personality_text& text, const std::set<std::string>& possible_defines,
                            const std::string& boost_parent, std::map<std::string, std::string>& defines,
                            bool& names_boost_parent)
{
    for (const personality_line& line : text.lines()) {
        if (line.kind == line_kind::define && names_possible_define(possible_defines, line.text))
            defines.emplace(line.define_name, line.define_value);
        else if (line.kind == line_kind::include && contains(line.text, boost_parent))
            names_boost_parent = true;
    }
}

bool scan_personality(generator_state& state, const std::string& path, personality_file& personality)
{
    std::string defines;
    const read_result read = read_file_bytes(data_file(state, "possible_defines.txt"), defines);
    if (read.outcome == read_result::status::cannot_open)
        throw run_ended{"Error: Cannot open possible_defines.txt" + where_data_was_looked_for(state)};
    if (!read.ok())
        throw run_ended{"Error: Cannot read " + data_file(state, "possible_defines.txt") + read.why()};
    std::istringstream stream(defines);
    state.possible_defines.insert(line_iterator(stream), line_iterator());

    open_personality(path, personality);
    read_personality_lines(personality.text, state.possible_defines, paths::parent(state.orig_header_loc),
                           state.personality_defines, state.personality_has_boost_include);
    state.personality_include_dirs = personality.text.include_directories();

    if (state.personality_defines.empty()) {
        say(state, "No need for configuration, boost should work successfully." + path);
        return false;
    }
    // The entries Skeld puts on top name the output in the personality's own
    // encoding: a run that could not write them writes nothing.
    std::string entry_bytes;
    if (!encode_personality(personality, state.config_output_loc, entry_bytes))
        throw run_ended{no_form_in_personality(personality, "the path " + state.config_output_loc,
                                               "so Skeld wrote nothing")};
    write_flag_headers(state);
    return true;
}
