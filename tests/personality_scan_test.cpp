#include <gtest/gtest.h>

#include <sstream>

#include "personality_scan.h"
#include "text_files.h"

namespace {

// The defines as "NAME=value" lines, in the map's order.
std::string listed(const std::map<std::string, std::string>& defines)
{
    std::string text;
    for (const auto& [name, value] : defines)
        text += name + "=" + value + "\n";
    return text;
}

}  // namespace

TEST(PersonalityScan, WhatThePersonalityLinesGive)
{
    const std::set<std::string> possible{"_MSC_VER", "WIN32", "FOO"};
    struct lines_case {
        const char* personality;
        const char* defines;
        bool names_parent;
    };
    const lines_case cases[] = {
        {"-sd _MSC_VER=1310\n", "_MSC_VER=1310\n", false},
        {"-sd \"_WIN32\"\n", "_WIN32=\n", false},                // WIN32 occurs in it
        {"-SD FOO=1\n-systemdefine FOO=2\n", "FOO=1\n", false},  // the first value stays
        {"-SYSTEMDEFINE FOO=1\n", "FOO=1\n", false},
        {"-SystemDefine FOO=1\n-Sd FOO=1\n-sd BAR=1\n", "", false},
        {"-sd FOO=1", "FOO=1\n", false},  // last line without a line break
        // Byte order: upper case, then '_', then lower case.
        {"-sd _MSC_VER=1\n-sd xWIN32\n-sd WIN32\n-sd FOO\n", "FOO=\nWIN32=\n_MSC_VER=1\nxWIN32=\n", false},
        {"-si \"C:\\libs\"\n", "", true},
        {"-SI C:\\libs\n", "", true},
        {"-systeminclude C:\\libs\\other\n", "", true},
        {"-SYSTEMINCLUDE C:\\libs\n", "", true},
        {"-SystemInclude C:\\libs\n", "", false},
        {"-si c:\\libs\n", "", false},          // the drive letter's case counts
        {"-si C:\\libs\\my-sdk\n", "", false},  // holds -sd: a define line
        {"-q C:\\libs\n", "", false},
        {"\n-Si C:\\libs\n", "", false},
        {"x-sd FOO\n", "d FOO=\n", false},  // a define line wherever the option stands
    };
    for (const lines_case& c : cases) {
        std::map<std::string, std::string> defines;
        bool names_parent = false;
        read_personality_lines(personality_text(c.personality), possible, "C:\\libs", defines, names_parent);
        EXPECT_EQ(listed(defines), c.defines) << c.personality;
        EXPECT_EQ(names_parent, c.names_parent) << c.personality;
    }
}

TEST(PersonalityScan, PossibleDefinesFileRules)
{
    struct defines_case {
        const char* file;
        const char* taken;
    };
    const defines_case cases[] = {
        {"FOO\r\nWIN32\r\n", "FOO=1\nWIN32=2\n"},
        {"FOO \n", ""},                                 // the space is part of the entry
        {"", ""},                                       // nothing is possible
        {"FOO\n\nWIN32\n", "BAR=3\nFOO=1\nWIN32=2\n"},  // a blank line lets all through
        {"FOO\n\n", "BAR=3\nFOO=1\nWIN32=2\n"},
    };
    for (const defines_case& c : cases) {
        std::istringstream file(c.file);
        const std::set<std::string> possible{line_iterator(file), line_iterator()};
        std::map<std::string, std::string> defines;
        bool names_parent = false;
        read_personality_lines(personality_text("-sd FOO=1\n-sd WIN32=2\n-sd BAR=3\n"), possible, "", defines, names_parent);
        EXPECT_EQ(listed(defines), c.taken) << c.file;
    }
}

TEST(PersonalityScan, CompilerFlagHeaderTexts)
{
    const compiler_flag_headers texts = compiler_flag_header_texts({{"_MSC_VER", "1310"}, {"_WIN32", ""}});
    EXPECT_EQ(texts.remove, "#undef _MSC_VER\n#undef _WIN32\n#define LONG_LONG long long\n");
    EXPECT_EQ(texts.add, "#define _MSC_VER 1310\n#define _WIN32\n#undef LONG_LONG\n");
}
