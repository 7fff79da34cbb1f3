// Paths are UTF-8 inside Skeld; Windows takes and gives them in UTF-16. This
// is the one conversion between the two.
//
// A Windows name is any sequence of 16-bit units: its surrogates need not
// pair. A lone surrogate is spelt as the three bytes its code point would
// take (as WTF-8 does), so every name Windows can hold comes back unchanged.
// UTF-8 holds no byte below 0x80 inside a multi-byte character, so the path
// rules that look for '\', '/', ':' and '.' never split one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Appends utf8 to out in UTF-16. A byte that starts no well-formed sequence
// (overlong, past U+10FFFF, cut short) becomes U+FFFD: a name Windows never
// gave, which therefore opens nothing that was there.
template <class Unit>
void append_utf16(std::string_view utf8, std::basic_string<Unit>& out)
{
    out.reserve(out.size() + utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<Unit>(lead));
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t code = 0;
        std::uint32_t least = 0;
        if ((lead & 0xE0) == 0xC0)
            length = 2, code = lead & 0x1F, least = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            length = 3, code = lead & 0x0F, least = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            length = 4, code = lead & 0x07, least = 0x10000;
        bool whole = length != 0 && i + length <= utf8.size();
        for (std::size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            whole = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!whole || code < least || code > 0x10FFFF) {
            out.push_back(static_cast<Unit>(0xFFFD));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            out.push_back(static_cast<Unit>(0xD800 + ((code - 0x10000) >> 10)));
            out.push_back(static_cast<Unit>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<Unit>(code));
        }
        i += length;
    }
}

// Appends utf16 to out in UTF-8, lone surrogates included.
template <class Unit>
void append_utf8(std::basic_string_view<Unit> utf16, std::string& out)
{
    out.reserve(out.size() + utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t code = static_cast<std::uint16_t>(utf16[i]);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < utf16.size()) {
            const std::uint32_t low = static_cast<std::uint16_t>(utf16[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code < 0x80) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (code >> 6)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (code >> 12)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (code >> 18)));
            out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
}

}  // namespace platform
