#include "generator_state.h"

void say(generator_state& state, std::string_view line)
{
    *state.console << line << '\n';
    state.console->flush();
}

std::string substitute_tree(const generator_state& state)
{
    return state.config_output_loc + state.path_separator + "boost";
}

std::string mirror_path(const generator_state& state, const std::string& path)
{
    return substitute_tree(state) + state.path_separator + path.substr(state.orig_header_loc.size());
}
