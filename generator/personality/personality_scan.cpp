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

// The include option's spellings, the long ones first, so that a line that
// starts with one is not taken for its short form.
constexpr std::string_view include_spellings[] = {"-systeminclude", "-SYSTEMINCLUDE", "-si", "-SI"};

bool long_define_option(std::string_view line)
{
    return contains(line, "-systemdefine") || contains(line, "-SYSTEMDEFINE");
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

line_kind classify_personality_line(std::string_view line)
{
    for (std::string_view spelling : {"-sd", "-SD", "-systemdefine", "-SYSTEMDEFINE"})
        if (contains(line, spelling))
            return line_kind::define;
    for (std::string_view spelling : include_spellings)
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

std::string option_directory(std::string_view line, std::string_view option)
{
    constexpr std::string_view blanks = " \t";
    const std::size_t start = line.find_first_not_of(blanks);
    if (start == std::string_view::npos || !line.substr(start).starts_with(option))
        return {};
    std::string_view rest = line.substr(start + option.size());
    // "-sifoo" is another option, not -si with the directory foo.
    if (!rest.empty() && blanks.find(rest.front()) == std::string_view::npos && rest.front() != '"')
        return {};
    const std::size_t first = rest.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    rest = rest.substr(first, rest.find_last_not_of(blanks) - first + 1);
    return trim('"', std::string(rest));
}

std::string include_directory(std::string_view line)
{
    // The long spellings first: "-systeminclude" also starts with "-s".
    for (std::string_view spelling : include_spellings)
        if (std::string directory = option_directory(line, spelling); !directory.empty())
            return directory;
    return {};
}

void read_personality_lines(std::string_view text, const std::set<std::string>& possible_defines,
                            const std::string& boost_parent, std::map<std::string, std::string>& defines,
                            bool& names_boost_parent, std::vector<std::string>* include_directories)
{
    for_each_line(text, [&](std::string_view line) {
        switch (classify_personality_line(line)) {
        case line_kind::define:
            if (names_possible_define(possible_defines, line))
                defines.insert(parse_define_line(std::string(line)));
            break;
        case line_kind::include:
            if (contains(line, boost_parent))
                names_boost_parent = true;
            break;
        case line_kind::other: break;
        }
        // Where the analyser looks is read by the option that opens the line,
        // whatever else the line holds: "-si /opt/arm-sdk/include" names a
        // directory, though it holds "-sd".
        if (include_directories)
            if (std::string directory = include_directory(line); !directory.empty())
                include_directories->push_back(std::move(directory));
    });
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
    std::string text = personality.text;
    drop_carriage_returns(text);

    read_personality_lines(text, state.possible_defines, paths::parent(state.orig_header_loc),
                           state.personality_defines, state.personality_has_boost_include,
                           &state.personality_include_dirs);

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
