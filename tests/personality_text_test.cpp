#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "personality_text.h"
#include "platform.h"

using namespace std::string_literals;

TEST(PersonalityText, EachLineReadOnce)
{
    struct line_case {
        const char* line;
        line_kind kind;
        const char* name;  // a define line's
        const char* value;
        const char* include;
        const char* quoted;
    };
    const line_case cases[] = {
        {"-sd _MSC_VER=1310", line_kind::define, "_MSC_VER", "1310", "", ""},
        {"-sd \"_WIN32\"", line_kind::define, "_WIN32", "", "", ""},
        {"   -sd FOO=1   ", line_kind::define, "FOO", "1", "", ""},
        {"-sd\tFOO=1", line_kind::define, "\tFOO", "1", "", ""},
        {"-sd FOO=a=b", line_kind::define, "FOO", "a=b", "", ""},
        {"-systemdefine FOO=1", line_kind::define, "FOO", "1", "", ""},
        {"-SYSTEMDEFINE \"FOO=x y\"", line_kind::define, "FOO", "x y", "", ""},
        {"-SD FOO", line_kind::define, "FOO", "", "", ""},
        {"-sd", line_kind::define, "", "", "", ""},
        {"xx-sd FOO", line_kind::define, "sd FOO", "", "", ""},  // the option is cut by length alone
        {"-sd =1", line_kind::define, "", "1", "", ""},
        {"-si \"C:\\inc\"", line_kind::include, "", "", "C:\\inc", ""},
        {"-SI /usr/include ", line_kind::include, "", "", "/usr/include", ""},
        {"-systeminclude\t\"a b\"", line_kind::include, "", "", "a b", ""},
        {"-SYSTEMINCLUDE x", line_kind::include, "", "", "x", ""},
        {"  -si y", line_kind::include, "", "", "y", ""},
        {"-si\"z\"", line_kind::include, "", "", "z", ""},
        // An include line that no option opens, or that names nothing.
        {"x-si z", line_kind::include, "", "", "", ""},
        {"-sifoo", line_kind::include, "", "", "", ""},
        {"-si", line_kind::include, "", "", "", ""},
        {"-si \"\"", line_kind::include, "", "", "", ""},
        {"-SystemInclude C:\\libs", line_kind::other, "", "", "", ""},
        {"-q \"out\"", line_kind::other, "", "", "", "out"},
        {"-q out/", line_kind::other, "", "", "", "out/"},
        {"-Q out", line_kind::other, "", "", "", ""},
        // Both: a define line by kind, whose opening option names a directory.
        {"-si C:\\libs\\my-sdk", line_kind::define, "C:\\libs\\my-sdk", "", "C:\\libs\\my-sdk", ""},
        {"-sd FOO -si d", line_kind::define, "FOO -si d", "", "", ""},
        {"-w2", line_kind::other, "", "", "", ""},
    };
    for (const line_case& c : cases) {
        const personality_line line = read_personality_line(c.line);
        EXPECT_EQ(line.text, c.line);
        EXPECT_EQ(line.kind, c.kind) << c.line;
        EXPECT_EQ(line.define_name, c.name) << c.line;
        EXPECT_EQ(line.define_value, c.value) << c.line;
        EXPECT_EQ(line.include, c.include) << c.line;
        EXPECT_EQ(line.quoted, c.quoted) << c.line;
    }
}

TEST(PersonalityText, LinesKeepTheirEndsAndGiveTheTextBackByteForByte)
{
    struct split_case {
        std::string text;
        std::vector<std::string> lines;  // each with its end, "|" between
        std::string line_end;            // for new lines
    };
    const split_case cases[] = {
        {"-sd A\n-w2\n", {"-sd A|\n", "-w2|\n"}, "\n"},
        {"-sd A\r\n-w2\r\n", {"-sd A|\r\n", "-w2|\r\n"}, "\r\n"},
        {"-sd A\r\n-w2", {"-sd A|\r\n", "-w2|"}, "\r\n"},  // a last line without an end
        {"-sd A\n-w2\r\n", {"-sd A|\n", "-w2|\r\n"}, "\n"},  // the first line decides
        {"a\rb\n\n-w2\r", {"a\rb|\n", "|\n", "-w2\r|"}, "\n"},  // a carriage return alone is text
        {"-sd A", {"-sd A|"}, platform::line_end},
        {"", {}, platform::line_end},
    };
    for (const split_case& c : cases) {
        const personality_text text(c.text);
        std::vector<std::string> lines;
        for (const personality_line& line : text.lines())
            lines.push_back(line.text + "|" + std::string(line.end));
        EXPECT_EQ(lines, c.lines) << c.text;
        EXPECT_EQ(text.text(), c.text);
        EXPECT_EQ(text.line_end(), c.line_end) << c.text;
        EXPECT_EQ(text.open_ended(), !c.text.empty() && c.text.back() != '\n') << c.text;
    }
    const personality_text text("-si \"a\"\r\n-sd B\r\n-si b\r\n-q c\r\n-sd A\r\n-sd A");
    EXPECT_EQ(text.include_directories(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(text.held({"-sd A", "-si b ", "-q c", "-sd B\r"}), (std::vector<std::string>{"-sd A", "-q c"}));
    ASSERT_NE(text.find("-sd A"), nullptr);
    EXPECT_EQ(text.find("-sd A")->end, "\r\n");  // the first such
}

TEST(PersonalityText, AddedLinesTakeTheTextsLineEndAndKeepItsEncoding)
{
    struct with_case {
        const char* old_text;
        std::vector<std::string> top, end;
        const char* edited;
    };
    const with_case cases[] = {
        {"-sd A\r\n", {"-si \"D\""}, {"-a"}, "-si \"D\"\r\n-sd A\r\n-a\r\n"},
        {"-sd A\r\n-w2", {}, {"-a"}, "-sd A\r\n-w2\r\n-a\r\n"},
        {"-sd A\r\n-w2", {"-si \"D\""}, {}, "-si \"D\"\r\n-sd A\r\n-w2"},  // nothing after the last line: no end for it
    };
    for (const with_case& c : cases) {
        const personality_text edited = personality_text(c.old_text, text_encoding::utf16le).with(c.top, c.end);
        EXPECT_EQ(edited.text(), c.edited) << c.old_text;
        EXPECT_EQ(edited.lines().front().include, c.top.empty() ? "" : "D") << c.old_text;
        EXPECT_EQ(edited.encoding(), text_encoding::utf16le);
    }
    // The mark comes back with the bytes: decoded, edited, encoded.
    const std::string bytes = "\xEF\xBB\xBF-sd A\r\n-w2";
    std::string decoded;
    std::size_t at = 0;
    ASSERT_TRUE(decode_text(detect_encoding(bytes), bytes, decoded, at));
    const personality_text edited = personality_text(decoded, detect_encoding(bytes)).with({}, {"-a"});
    std::string encoded;
    ASSERT_TRUE(encode_text(edited.encoding(), edited.text(), encoded));
    EXPECT_EQ(encoded, "\xEF\xBB\xBF-sd A\r\n-w2\r\n-a\r\n");
    EXPECT_EQ(edited.without({}, {"-a"}, true).text(), decoded);
}

TEST(PersonalityText, RemovalTakesOutOnlyTheLinesGivenAndGivesTheBytesBack)
{
    struct removal_case {
        const char* old_text;
        std::vector<std::string> top, end;
        bool drop_line_end;
        const char* left;
    };
    const std::string si = "-si \"out\"", q = "-q \"out\"";
    const removal_case cases[] = {
        {"-si \"out\"\r\n-q \"out\"\r\n-sd A\r\n-a\r\n-b\r\n", {si, q}, {"-a", "-b"}, false, "-sd A\r\n"},
        // The line end a run put after the user's last line goes with the lines after it.
        {"-si \"out\"\n-sd A\n-a\n", {si}, {"-a"}, true, "-sd A"},
        {"-sd A\r\n-w2\r\n-a\r\n-b\r\n", {}, {"-a", "-b"}, true, "-sd A\r\n-w2"},
        {"-sd A\n-a\nmine\n", {}, {"-a"}, true, "-sd A\nmine\n"},  // the user's line after it keeps it
        // The user's own copy of a line stays: one line goes for each given.
        {"-a\n-sd A\n-a\n", {}, {"-a"}, false, "-a\n-sd A\n"},
        {"-si \"out\"\n-si \"out\"\n", {si}, {}, false, "-si \"out\"\n"},
        {"-sd A\n", {si}, {"-a"}, true, "-sd A\n"},
    };
    for (const removal_case& c : cases)
        EXPECT_EQ(personality_text(c.old_text).without(c.top, c.end, c.drop_line_end).text(), c.left) << c.old_text;
}
