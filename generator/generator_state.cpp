#include "generator_state.h"

#include "paths.h"

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
    if (platform::node_at(paths::join(beside_program, "possible_defines.txt")) != platform::node_kind::missing)
        state.data_directory = beside_program;
    else
        state.data_looked_in = " (looked in " + platform::current_directory() + " and in " + beside_program + ")";
}

std::string data_file(const generator_state& state, const std::string& name)
{
    return state.data_directory.empty() ? name : paths::join(state.data_directory, name);
}

std::string where_data_was_looked_for(const generator_state& state)
{
    return state.data_looked_in;
}
