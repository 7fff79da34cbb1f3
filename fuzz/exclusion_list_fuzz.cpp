// treat_as_nonboost.txt, read from the working directory over a small Boost
// tree: every member it yields names a path below the tree.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>

#include "fuzz_support.h"
#include "tree_walk.h"

namespace fs = std::filesystem;

namespace {

const std::string& boost_dir()
{
    static const std::string dir = [] {
        const std::string root = fuzz_scratch_dir();
        for (const char* file : {"lib/boost/version.hpp", "lib/boost/config/user.hpp", "lib/boost/detail/sub/a.hpp",
                                 "lib/boost/detail/sub/deeper/b.hpp", "lib/boost/my-dir/a.hpp"}) {
            fs::create_directories(fs::path(root + "/" + file).parent_path());
            fuzz_write_file(root + "/" + file, "");
        }
        fs::create_directories(root + "/out/boost");
        FUZZ_CHECK(chdir(root.c_str()) == 0);
        return root + "/lib/boost";
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A "-dir" value may climb out of the tree with "..", and the walk would
    // then list, and mirror, whatever lies above it: not something to do to
    // the machine that fuzzes.
    if (text.find("..") != std::string_view::npos)
        return -1;

    generator_state state;
    std::ostringstream console;
    state.console = &console;
    state.orig_header_loc = boost_dir();
    state.config_output_loc = fuzz_scratch_dir() + "/out";
    fuzz_write_file("treat_as_nonboost.txt", text);

    read_nonboost_list(state);
    for (const std::string& path : state.nonboost_paths) {
        FUZZ_CHECK(path.compare(0, state.orig_header_loc.size() + 1, state.orig_header_loc + "/") == 0);
        FUZZ_CHECK(path.find('\\') == std::string::npos);
    }
    std::string line;
    std::istringstream printed(console.str());
    while (std::getline(printed, line))
        FUZZ_CHECK(line == "failed FINDFIRSTFILE");
    return 0;
}
