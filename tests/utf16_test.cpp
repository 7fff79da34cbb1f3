// The one conversion between the UTF-8 inside and Windows' UTF-16.
#include <gtest/gtest.h>

#include "utf16.h"

namespace {

std::u16string to_utf16(std::string_view utf8)
{
    std::u16string out;
    platform::append_utf16(utf8, out);
    return out;
}

std::string to_utf8(std::u16string_view utf16)
{
    std::string out;
    platform::append_utf8(utf16, out);
    return out;
}

}  // namespace

TEST(Utf16, EveryNameWindowsCanHoldComesBackUnchanged)
{
    struct name_case {
        std::string utf8;
        std::u16string utf16;
    };
    const name_case cases[] = {
        {"", u""},
        {"C:\\lib\\boost", u"C:\\lib\\boost"},
        {"\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB5\xD0\xBA\xD1\x82", u"\u041F\u0440\u043E\u0435\u043A\u0442"},  // Проект
        {"\xE6\x95\xB0\xE6\x8D\xAE", u"\u6570\u636E"},                                              // 数据
        {"\xE3\x82\xBD\\\xE8\xA1\xA8", u"\u30BD\\\u8868"},  // ソ\表: 0x5C only where the separator is
        {"\xC3\xA9", u"\u00E9"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"\xF0\x9D\x84\x9E", u"\xD834\xDD1E"},         // past U+FFFF: a surrogate pair
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},         // U+10FFFF, the last
        {"a\xED\xA0\x80" "b", u"a\xD800" "b"},         // a lone high surrogate
        {"\xED\xB0\x80", u"\xDC00"},                   // a lone low one
        {"\xED\xB0\x80\xED\xA0\x80", u"\xDC00\xD800"}, // two, in the order that pairs nothing
    };
    for (const name_case& c : cases) {
        EXPECT_EQ(to_utf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(to_utf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(Utf16, BytesThatAreNoCharacterBecomeTheReplacementNeverASeparator)
{
    struct bytes_case {
        std::string utf8;
        std::u16string utf16;
    };
    const bytes_case cases[] = {
        {"\x80", u"\uFFFD"},
        {"a\xFF" "b", u"a\uFFFD" "b"},
        {"\xC1\x9C", u"\uFFFD\uFFFD"},          // an overlong '\'
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},  // an overlong '/'
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xE6\x95", u"\uFFFD\uFFFD"},          // cut short at the end
        {"\xE6\x95" "x", u"\uFFFD\uFFFDx"},     // cut short by an ASCII byte, which stays
    };
    for (const bytes_case& c : cases)
        EXPECT_EQ(to_utf16(c.utf8), c.utf16) << c.utf8;
}
