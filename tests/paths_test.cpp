// Path rules that hold the same on every build.
#include <gtest/gtest.h>

#include "paths.h"

TEST(Paths, NamesThatLeadOutsideTheirDirectory)
{
    struct name_case {
        const char* name;
        bool inside;
    };
    const name_case cases[] = {
        {"vector", true}, {"sys/types.h", true}, {"a\\b.h", true},       {"...", true},
        {"a..b/c", true}, {"", false},           {"../x.h", false},      {"a/../../x.h", false},
        {"a/..", false},  {"..", false},         {"/etc/passwd", false}, {"\\x.h", false},
        {"C:x.h", false}, {"c:/x.h", false},     {"a\\..\\b", false},
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
        {"lib" + s + "boost", true},      {s + "boost", true},           {"lib" + s + "boost" + s, false},
        {"lib" + s + "Boost", false},     {"lib" + s + "boost2", false}, {"boost", false},
        {"lib" + other + "boost", false},
    };
    for (const ending_case& c : cases)
        EXPECT_EQ(paths::ends_in_boost_component(c.location), c.passes) << c.location;
}

TEST(Paths, JoiningSplittingAndTheMirrorPath)
{
    const std::string s(1, platform::path_separator);
    EXPECT_EQ(paths::join("a", "b"), "a" + s + "b");
    EXPECT_EQ(paths::join("a" + s, "b"), "a" + s + s + "b");  // never normalised
    EXPECT_EQ(paths::parent("C:" + s + "libs" + s + "boost"), "C:" + s + "libs");
    EXPECT_EQ(paths::parent(s + "boost"), "");
    EXPECT_EQ(paths::mirror_path("C:" + s + "lib" + s + "boost", "D:" + s + "cfg",
                                 "C:" + s + "lib" + s + "boost" + s + "config" + s + "user.hpp"),
              "D:" + s + "cfg" + s + "boost" + s + s + "config" + s + "user.hpp");
}
