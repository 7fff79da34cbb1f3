#include "data_folder.h"

#include <algorithm>

#include "paths.h"
#include "platform.h"

std::vector<std::string> data_folder_places(const std::string& working_folder, const std::string& program_folder)
{
    std::vector<std::string> places = {working_folder};
    const auto add = [&places](std::string place) {
        // Run from the program's own folder, that folder is looked in once.
        if (std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(std::move(place));
    };
    if (program_folder.empty())
        return places;
    add(program_folder);
    // The parent is taken by name: the program's folder is already resolved,
    // and the error line reads better without "..".
    const std::string installed = platform::installed_data_folder;
    if (!installed.empty() && paths::last_separator(program_folder) != std::string::npos)
        add(paths::join(paths::parent(program_folder), paths::with_native_separators(installed)));
    return places;
}

data_folder_choice choose_data_folder(const std::string& working_folder, const std::string& program_folder)
{
    data_folder_choice choice{data_folder_places(working_folder, program_folder), {}};
    for (const std::string& place : choice.places) {
        if (platform::node_at(paths::join(place, data_folder_marker)) != platform::node_kind::missing) {
            choice.folder = place;
            break;
        }
    }
    return choice;
}
