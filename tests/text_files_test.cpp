#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "scratch_dir.h"
#include "text_files.h"

TEST(Trim, RemovesOnlyTheGivenCharacterAtBothEnds)
{
    struct trim_case {
        char c;
        std::string in, out;
    };
    const trim_case cases[] = {
        {' ', "  a b  ", "a b"}, {' ', "\ta ", "\ta"},        {' ', "", ""},       {' ', "    ", ""},
        {'"', "\"x\"", "x"},     {'"', " \"x\" ", " \"x\" "}, {'"', "\"\"\"", ""},
    };
    for (const trim_case& c : cases)
        EXPECT_EQ(trim(c.c, c.in), c.out) << "[" << c.in << "]";
}

TEST(LineIterator, YieldsTheLinesOfAStream)
{
    struct lines_case {
        std::string in;
        std::vector<std::string> out;
    };
    const lines_case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n", {""}},
        {"x\ry\n", {"xy"}},  // every carriage return goes
        {std::string("n\0ul\n", 5), {std::string("n\0ul", 4)}},
    };
    for (const lines_case& c : cases) {
        std::istringstream stream(c.in);
        std::vector<std::string> got(line_iterator(stream), line_iterator{});
        EXPECT_EQ(got, c.out) << "[" << c.in << "]";
    }
}

TEST(TextFiles, ReadDropsACarriageReturnOnlyBeforeALineFeed)
{
    scratch_dir dir;
    write_file(dir / "f", "a\r\nb\rc\r\r\n\r");
    std::string text;
    ASSERT_TRUE(read_text_file((dir / "f").string(), text).ok());
    EXPECT_EQ(text, "a\nb\rc\r\n\r");
    EXPECT_EQ(read_text_file((dir / "missing").string(), text).outcome, read_result::status::cannot_open);
}

TEST(TextFiles, ForEachLineReadsAsGetlineDoes)
{
    std::vector<std::string> got;
    for_each_line("a\n\nb", [&](std::string_view line) { got.emplace_back(line); });
    EXPECT_EQ(got, (std::vector<std::string>{"a", "", "b"}));
    got.clear();
    for_each_line("a\n", [&](std::string_view line) { got.emplace_back(line); });
    EXPECT_EQ(got, std::vector<std::string>{"a"});
}
