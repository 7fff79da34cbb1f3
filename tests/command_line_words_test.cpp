// A Windows command line split as the C runtime splits it.
#include <gtest/gtest.h>

#include "command_line_words.h"

TEST(CommandLineWords, SplitAsTheCRuntimeSplits)
{
    struct line_case {
        const char* line;
        std::vector<std::string> words;
    };
    const line_case cases[] = {
        {"Skeld.exe", {"Skeld.exe"}},
        {"Skeld.exe  a\tb ", {"Skeld.exe", "a", "b"}},
        {"\"C:\\Program Files\\Skeld.exe\" p", {"C:\\Program Files\\Skeld.exe", "p"}},
        {"\"C:\\a\\\"x y", {"C:\\a\\x", "y"}},  // no escape in the program's name
        {"S \"C:\\My Files\\p.p_c\" D:\\boost", {"S", "C:\\My Files\\p.p_c", "D:\\boost"}},
        {"S \"\" x", {"S", "", "x"}},
        {"S a\"b c\"d", {"S", "ab cd"}},
        {"S \"a\"\"b\"", {"S", "a\"b"}},
        {"S C:\\out\\", {"S", "C:\\out\\"}},                 // a trailing backslash stays
        {"S \"C:\\out\\\\\" x", {"S", "C:\\out\\", "x"}},    // 2n before a quote: n
        {"S a\\\"b", {"S", "a\"b"}},                         // 2n+1: n and a quote
        {"S a\\\\\\\"b", {"S", "a\\\"b"}},
        {"S \"open", {"S", "open"}},
        {"S \xD0\x9F\xD1\x80\xD0\xBE \"\xE6\x95\xB0 \xE6\x8D\xAE\"", {"S", "\xD0\x9F\xD1\x80\xD0\xBE", "\xE6\x95\xB0 \xE6\x8D\xAE"}},
    };
    for (const line_case& c : cases)
        EXPECT_EQ(platform::command_line_words(c.line), c.words) << c.line;
}
