// The data-folder rule that Skeld reads its data by and velk runs Skeld by.
#include <gtest/gtest.h>

#include "data_folder.h"
#include "paths.h"
#include "scratch_dir.h"

namespace {

// Only the Windows build keeps everything beside the program.
const bool installs_apart = platform::path_separator == '/';

std::vector<std::string> native(std::vector<std::string> paths_with_slashes)
{
    for (std::string& path : paths_with_slashes)
        path = paths::with_native_separators(path);
    return paths_with_slashes;
}

TEST(DataFolder, ThePlacesInOrderEachOnce)
{
    struct places_case {
        const char* working;
        const char* program;
        std::vector<std::string> places;  // where the platform installs the data apart
        std::vector<std::string> beside;  // where everything ships beside the program
    };
    const places_case cases[] = {
        {"/home/u", "/usr/bin", {"/home/u", "/usr/bin", "/usr/share/headwright"}, {"/home/u", "/usr/bin"}},
        {"/opt/hw/bin", "/opt/hw/bin", {"/opt/hw/bin", "/opt/hw/share/headwright"}, {"/opt/hw/bin"}},
        {"/usr/share/headwright",
         "/usr/bin",
         {"/usr/share/headwright", "/usr/bin"},
         {"/usr/share/headwright", "/usr/bin"}},
        {"/home/u", "/bin", {"/home/u", "/bin", "/share/headwright"}, {"/home/u", "/bin"}},
        {"/home/u", "", {"/home/u"}, {"/home/u"}},
    };
    for (const places_case& c : cases) {
        SCOPED_TRACE(std::string(c.working) + " | " + c.program);
        EXPECT_EQ(
            data_folder_places(paths::with_native_separators(c.working), paths::with_native_separators(c.program)),
            native(installs_apart ? c.places : c.beside));
    }
}

TEST(DataFolder, TheFirstPlaceThatHoldsPossibleDefines)
{
    struct choice_case {
        std::vector<std::string> holders;
        std::string chosen;  // empty: none
    };
    const choice_case cases[] = {
        {{"work", "bin", "share/headwright"}, "work"},
        {{"bin", "share/headwright"}, "bin"},
        {{"share/headwright"}, installs_apart ? "share/headwright" : ""},
        {{}, ""},
    };
    for (const choice_case& c : cases) {
        scratch_dir dir;
        std::filesystem::create_directories(dir / "work");
        std::filesystem::create_directories(dir / "bin");
        for (const std::string& holder : c.holders)
            write_file(dir / holder / "possible_defines.txt", "FOO\n");
        const std::string root = dir.path().string();
        const data_folder_choice choice = choose_data_folder((dir / "work").string(), (dir / "bin").string());
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(choice.folder, c.chosen.empty() ? "" : paths::join(root, paths::with_native_separators(c.chosen)));
        EXPECT_EQ(choice.in_working_folder(), c.chosen == "work");
    }
}

}  // namespace
