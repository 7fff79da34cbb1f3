#include <gtest/gtest.h>

#include "personality_scan.h"

TEST(PersonalityScan, DefineLinesAreJudgedBeforeIncludeLines)
{
    struct kind_case {
        const char* line;
        line_kind kind;
    };
    const kind_case cases[] = {
        {"-sd A", line_kind::define},
        {"-SD A", line_kind::define},
        {"-systemdefine A", line_kind::define},
        {"-SYSTEMDEFINE A", line_kind::define},
        {"-Sd A", line_kind::other},
        {"-SystemDefine A", line_kind::other},
        {"-si x", line_kind::include},
        {"-SI x", line_kind::include},
        {"-systeminclude x", line_kind::include},
        {"-SYSTEMINCLUDE x", line_kind::include},
        {"-Si x", line_kind::other},
        {"-si C:\\my-sdk", line_kind::define},
        {"x-sd", line_kind::define},
        {"", line_kind::other},
    };
    for (const kind_case& c : cases)
        EXPECT_EQ(classify_personality_line(c.line), c.kind) << c.line;
}

TEST(PersonalityScan, DefineArguments)
{
    struct parse_case {
        const char* line;
        const char* name;
        const char* value;
    };
    const parse_case cases[] = {
        {"-sd _MSC_VER=1310", "_MSC_VER", "1310"},
        {"-sd \"_WIN32\"", "_WIN32", ""},
        {"   -sd FOO=1   ", "FOO", "1"},
        {"-sd\tFOO=1", "\tFOO", "1"},
        {"-sd FOO=a=b", "FOO", "a=b"},
        {"-systemdefine FOO=1", "FOO", "1"},
        {"-SYSTEMDEFINE \"FOO=x y\"", "FOO", "x y"},
        {"-sd", "", ""},
        {"xx-sd FOO", "sd FOO", ""},  // the option is cut by length alone
        {"-sd =1", "", "1"},
    };
    for (const parse_case& c : cases) {
        auto [name, value] = parse_define_line(c.line);
        EXPECT_EQ(name, c.name) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
    }
}
