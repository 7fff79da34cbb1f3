#include <gtest/gtest.h>

#include <sstream>

#include "output_guard.h"
#include "scratch_dir.h"
#include "paths.h"

namespace fs = std::filesystem;

TEST(SystemStubs, NamesThatLeadOutsideTheStubDirectory)
{
    struct name_case {
        const char* name;
        bool inside;
    };
    const name_case cases[] = {
        {"vector", true},         {"sys/types.h", true},   {"a\\b.h", true},       {"...", true},
        {"a..b/c", true},         {"", false},             {"../x.h", false},      {"a/../../x.h", false},
        {"a/..", false},          {"..", false},           {"/etc/passwd", false}, {"\\x.h", false},
        {"C:x.h", false},         {"c:/x.h", false},       {"a\\..\\b", false},
    };
    for (const name_case& c : cases)
        EXPECT_EQ(paths::stays_inside(c.name), c.inside) << c.name;
}

TEST(Paths, TheEndingTestTakesTheLastComponentExactly)
{
    const std::string s(1, platform::path_separator), other(1, platform::foreign_separator);
    struct ending_case {
        std::string location;
        bool passes;
    };
    const ending_case cases[] = {
        {"lib" + s + "boost", true},     {s + "boost", true},           {"lib" + s + "boost" + s, false},
        {"lib" + s + "Boost", false},    {"lib" + s + "boost2", false}, {"boost", false},
        {"lib" + other + "boost", false},
    };
    for (const ending_case& c : cases)
        EXPECT_EQ(paths::ends_in_boost_component(c.location), c.passes) << c.location;
}

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
