#include <gtest/gtest.h>

#include <sstream>

#include "output_guard.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

TEST(OutputGuard, OverlapsAreFoundThroughResolvedPaths)
{
    scratch_dir dir;
    fs::create_directories(dir / "lib/boost/config");
    fs::create_directories(dir / "lib2");
    fs::create_directory_symlink(dir / "lib", dir / "liblink");
    const std::string boost = (dir / "lib/boost").string();
    struct guard_case {
        std::string output;
        bool overlaps;
    };
    const guard_case cases[] = {
        {(dir / "lib").string(), true},
        {(dir / "liblink").string(), true},
        {(dir / "lib/boost").string(), true},
        {(dir / "lib/boost/config").string(), true},
        {(dir / "lib/boost/missing").string(), true},
        {(dir / "lib/./boost/../boost/config").string(), true},
        {(dir / "lib2").string(), false},
        {(dir / "lib/other").string(), false},
        {(dir / "missing/deeper").string(), false},
        {dir.path().string(), false},
    };
    for (const guard_case& c : cases)
        EXPECT_EQ(output_overlaps_original(boost, c.output), c.overlaps) << c.output;
    EXPECT_FALSE(output_overlaps_original((dir / "nothing/boost").string(), (dir / "nothing").string()));
}
