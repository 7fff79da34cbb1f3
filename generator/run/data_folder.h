// Where the data files are: the one rule that Skeld reads them by and that
// velk chooses Skeld's working folder by.
#pragma once

#include <string>
#include <vector>

// The data file whose presence marks a folder as holding them all.
inline constexpr char data_folder_marker[] = "possible_defines.txt";

struct data_folder_choice {
    // Every place looked in, in order, each once.
    std::vector<std::string> places;
    // The first place that holds the marker; empty when none does.
    std::string folder;

    bool in_working_folder() const { return !folder.empty() && folder == places.front(); }
};

// The places, in order: the working folder (a user's own edited copies), the
// folder that holds the program (a ZIP, a build tree), and the installed data
// folder above it where the platform has one (bin/../share/headwright). An
// empty program folder leaves the working folder alone.
[[nodiscard]] std::vector<std::string> data_folder_places(const std::string& working_folder,
                                                          const std::string& program_folder);

// The places, and the first of them that holds the marker.
[[nodiscard]] data_folder_choice choose_data_folder(const std::string& working_folder,
                                                    const std::string& program_folder);
