#include "generator_state.h"

#include "data_folder.h"
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
    const data_folder_choice choice = choose_data_folder(platform::current_directory(), platform::program_directory());
    // Bare names in the working folder, as a user there would write them.
    state.data_directory = choice.in_working_folder() ? std::string() : choice.folder;
    state.data_looked_in.clear();
    if (!choice.folder.empty())
        return;
    for (std::size_t i = 0; i < choice.places.size(); ++i) {
        const char* const before = i == 0 ? " (looked in " : i + 1 < choice.places.size() ? ", in " : " and in ";
        state.data_looked_in += before + choice.places[i];
    }
    state.data_looked_in += ")";
}

std::string data_file(const generator_state& state, const std::string& name)
{
    return state.data_directory.empty() ? name : paths::join(state.data_directory, name);
}

std::string where_data_was_looked_for(const generator_state& state)
{
    return state.data_looked_in;
}
