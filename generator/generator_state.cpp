#include "generator_state.h"

void say(generator_state& state, std::string_view line, line_break end)
{
    *state.console << line;
    if (end == line_break::end)
        *state.console << '\n';
    state.console->flush();
}

void choose_data_directory(generator_state& state)
{
    state.data_directory.clear();
    state.data_looked_in.clear();
    if (platform::node_at("possible_defines.txt") != platform::node_kind::missing)
        return;
    const std::string beside_program = platform::program_directory();
    if (beside_program.empty())
        return;
    if (platform::node_at(beside_program + state.path_separator + "possible_defines.txt") != platform::node_kind::missing)
        state.data_directory = beside_program;
    else
        state.data_looked_in = " (looked in " + platform::current_directory() + " and in " + beside_program + ")";
}

std::string data_file(const generator_state& state, const std::string& name)
{
    return state.data_directory.empty() ? name : state.data_directory + state.path_separator + name;
}

std::string where_data_was_looked_for(const generator_state& state)
{
    return state.data_looked_in;
}

std::string substitute_tree(const generator_state& state)
{
    return state.config_output_loc + state.path_separator + "boost";
}

std::string mirror_path(const generator_state& state, const std::string& path)
{
    // substitute_tree(state), a separator and the remainder, in one allocation:
    // it is built for every file of the tree.
    std::string mirror;
    mirror.reserve(state.config_output_loc.size() + path.size() + 16);
    mirror.append(state.config_output_loc).append(state.path_separator).append("boost");
    mirror.append(state.path_separator).append(path, state.orig_header_loc.size());
    return mirror;
}

bool has_parent_component(const std::string& relative)
{
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = relative.size();
        if (relative.compare(start, end - start, "..") == 0)
            return true;
        start = end + 1;
    }
    return false;
}
