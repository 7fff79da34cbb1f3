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
