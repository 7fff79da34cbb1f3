#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "code_page.h"
#include "text_encoding.h"

using namespace std::string_literals;

TEST(TextEncoding, TheMarkDecidesElseUtf8ThatIsNotAllAsciiElseAnsi)
{
    struct detect_case {
        std::string bytes;
        text_encoding encoding;
    };
    const detect_case cases[] = {
        {"", text_encoding::ansi},
        {"-sd FOO=1\r\n", text_encoding::ansi},  // pure ASCII is the code page's too
        {"-si \"C:\\\xD0\x9F\"\n", text_encoding::utf8},
        {"-si \"C:\\Caf\xE9\"\n", text_encoding::ansi},
        {"\xEF\xBB\xBF-sd FOO", text_encoding::utf8_mark},
        {"\xFF\xFE-\0"s, text_encoding::utf16le},
        {"\xFE\xFF\0-"s, text_encoding::utf16be},
        {"\xC0\xAF", text_encoding::ansi},          // an overlong '/'
        {"\xED\xA0\x80", text_encoding::ansi},      // a surrogate
        {"\xF4\x90\x80\x80", text_encoding::ansi},  // beyond U+10FFFF
        {"a\xE2\x82", text_encoding::ansi},         // cut short
        {"\xF0\x9F\x98\x80", text_encoding::utf8},
    };
    for (const detect_case& c : cases)
        EXPECT_EQ(detect_encoding(c.bytes), c.encoding) << c.bytes;
}

TEST(TextEncoding, DecodesWithoutTheMarkAndEncodesTheSameBytesBack)
{
    struct decode_case {
        std::string bytes;
        std::string text;  // empty when decoding fails...
        std::size_t at;    // ...at this byte
    };
    const decode_case cases[] = {
        {"\xEF\xBB\xBF-sd A\r\n", "-sd A\r\n", 0},
        {"\xFF\xFE-\0s\0\r\0\n\0"s, "-s\r\n", 0},
        {"\xFE\xFF\x04\x1F\0a"s, "\xD0\x9F" "a", 0},
        {"\xFF\xFE\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80", 0},  // a surrogate pair
        {"-sd \xE9", "-sd \xE9", 0},                            // ANSI stays bytes here
        {"\xFF\xFE" "a\0b"s, "", 4},                            // an odd length
        {"\xFF\xFE\x3D\xD8" "a\0"s, "", 2},                     // a high surrogate alone
        {"\xFF\xFE" "a\0\x00\xDE"s, "", 4},                     // a low one alone
        {"\xFF\xFE" "a\0\0\0"s, "", 4},                         // NUL
        {"-sd\0"s, "", 3},
        {"\xEF\xBB\xBF" "a\0"s, "", 4},
        {"\x0D\0\x0A\0"s, "", 1},  // UTF-16 without its mark
    };
    for (const decode_case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const text_encoding encoding = detect_encoding(c.bytes);
        std::string text, bytes;
        std::size_t at = 0;
        const bool decoded = decode_text(encoding, c.bytes, text, at);
        EXPECT_EQ(decoded, !c.text.empty());
        if (!decoded) {
            EXPECT_EQ(at, c.at);
            continue;
        }
        EXPECT_EQ(text, c.text);
        EXPECT_TRUE(encode_text(encoding, text, bytes));
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(TextEncoding, OnlyAnsiHasAFormForBytesThatAreNotUtf8)
{
    // A lone surrogate, as a Windows name may hold it; a byte no UTF-8 holds.
    const std::string surrogate = "-si \"C:\\out\xED\xA0\x80\"", stray = "-si \"/tmp/\xFF\"";
    const std::string whole = "-si \"/tmp/\xC3\xA9\xF0\x9F\x98\x80\"";
    struct row {
        text_encoding encoding;
        const std::string& text;
        bool has_form;
    };
    const row rows[] = {
        {text_encoding::utf16le, stray, false},    {text_encoding::utf16be, surrogate, false},
        {text_encoding::utf8, surrogate, false},   {text_encoding::utf8_mark, surrogate, false},
        {text_encoding::utf8, stray, false},       {text_encoding::utf8_mark, stray, false},
        {text_encoding::ansi, surrogate, true},    {text_encoding::ansi, stray, true},
        {text_encoding::utf8, whole, true},        {text_encoding::utf8_mark, whole, true},
        {text_encoding::utf16le, whole, true},
    };
    for (const row& r : rows) {
        std::string bytes;
        EXPECT_EQ(encode_text(r.encoding, r.text, bytes), r.has_form)
            << encoding_name(r.encoding) << " " << r.text;
    }
    std::string bytes;
    ASSERT_TRUE(encode_text(text_encoding::utf8_mark, whole, bytes));
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + whole);
}

TEST(CodePage, ConvertsOnlyWhatHasAFormThere)
{
    struct code_page_case {
        unsigned code_page;
        std::string utf8;
        std::string ansi;  // empty: no form there
    };
    const code_page_case cases[] = {
        {0, "Caf\xC3\xA9", "Caf\xC3\xA9"},  // POSIX: the bytes they are
        {0, "\xFF", "\xFF"},
        {1252, "Caf\xC3\xA9", "Caf\xE9"},
        {1252, "\xD0\x9F\xD1\x80\xD0\xBE", ""},  // Cyrillic
        {1252, "\xC4\x80", ""},                  // never the look-alike "A"
        {932, "\xE3\x82\xBD", "\x83\x5C"},       // a second byte that is '\'
        {932, "\xD0\x9F", "\x84\x50"},
        {932, "\xC3\xA9", ""},
    };
    const unsigned code_page = platform::ansi_code_page();
    // A run meant for one code page fails when the system gave it another.
    if (const char* wanted = std::getenv("HEADWRIGHT_CODE_PAGE"))
        ASSERT_EQ(code_page, std::stoul(wanted)) << "the locale that gives it is missing: scripts/install-deps.sh test";
    bool asked = false;
    for (const code_page_case& c : cases) {
        if (c.code_page != code_page)
            continue;
        asked = true;
        SCOPED_TRACE(c.utf8);
        std::string ansi, utf8;
        EXPECT_EQ(platform::utf8_to_ansi(c.utf8, ansi), !c.ansi.empty());
        if (c.ansi.empty())
            continue;
        EXPECT_EQ(ansi, c.ansi);
        EXPECT_TRUE(platform::ansi_to_utf8(ansi, utf8));
        EXPECT_EQ(utf8, c.utf8);
    }
    if (!asked)
        GTEST_SKIP() << "no cases for code page " << code_page;
}
