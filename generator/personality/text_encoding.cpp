#include "text_encoding.h"

#include <cstdint>

namespace {

constexpr std::string_view utf8_mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16le_mark = "\xFF\xFE";
constexpr std::string_view utf16be_mark = "\xFE\xFF";

// The code point of the UTF-8 sequence at text[at], its length in length; false
// for anything that is not a shortest form of a scalar value.
bool next_code_point(std::string_view text, std::size_t at, char32_t& point, std::size_t& length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        point = lead;
        length = 1;
        return true;
    }
    char32_t least;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, point = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, point = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, point = lead & 0x07, least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - at < length)
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return false;
        point = point << 6 | (byte(i) & 0x3F);
    }
    return point >= least && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
}

void append_utf8(std::string& text, char32_t point)
{
    if (point < 0x80) {
        text += static_cast<char>(point);
        return;
    }
    if (point < 0x800) {
        text += static_cast<char>(0xC0 | point >> 6);
    } else {
        if (point < 0x10000) {
            text += static_cast<char>(0xE0 | point >> 12);
        } else {
            text += static_cast<char>(0xF0 | point >> 18);
            text += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        }
        text += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    }
    text += static_cast<char>(0x80 | (point & 0x3F));
}

void append_unit(std::string& bytes, std::uint16_t unit, bool big_endian)
{
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
}

bool decode_utf16(std::string_view bytes, bool big_endian, std::string& text, std::size_t& at)
{
    const auto unit = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(big_endian ? first << 8 | second : second << 8 | first);
    };
    text.reserve(bytes.size() / 2);
    for (at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t point = unit(at);
        if (point == 0 || (point >= 0xDC00 && point <= 0xDFFF))
            return false;
        if (point >= 0xD800 && point <= 0xDBFF) {
            if (at + 3 >= bytes.size())
                return false;
            const char32_t low = unit(at + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            point = 0x10000 + ((point - 0xD800) << 10 | (low - 0xDC00));
            at += 2;
        }
        append_utf8(text, point);
    }
    return at == bytes.size();
}

}  // namespace

text_encoding detect_encoding(std::string_view bytes)
{
    if (bytes.starts_with(utf8_mark))
        return text_encoding::utf8_mark;
    if (bytes.starts_with(utf16le_mark))
        return text_encoding::utf16le;
    if (bytes.starts_with(utf16be_mark))
        return text_encoding::utf16be;
    bool ascii = true;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    return !ascii && valid_utf8(bytes) ? text_encoding::utf8 : text_encoding::ansi;
}

std::string_view mark_of(text_encoding encoding)
{
    switch (encoding) {
    case text_encoding::utf8_mark: return utf8_mark;
    case text_encoding::utf16le: return utf16le_mark;
    case text_encoding::utf16be: return utf16be_mark;
    case text_encoding::ansi:
    case text_encoding::utf8: break;
    }
    return {};
}

std::string_view encoding_name(text_encoding encoding)
{
    switch (encoding) {
    case text_encoding::ansi: return "ANSI";
    case text_encoding::utf8:
    case text_encoding::utf8_mark: return "UTF-8";
    case text_encoding::utf16le: return "UTF-16 LE";
    case text_encoding::utf16be: return "UTF-16 BE";
    }
    return {};
}

bool valid_utf8(std::string_view text)
{
    char32_t point;
    std::size_t length;
    for (std::size_t at = 0; at < text.size(); at += length)
        if (!next_code_point(text, at, point, length))
            return false;
    return true;
}

bool decode_text(text_encoding encoding, std::string_view bytes, std::string& text, std::size_t& at)
{
    const std::string_view mark = mark_of(encoding);
    bytes.remove_prefix(mark.size());
    text.clear();
    if (encoding == text_encoding::utf16le || encoding == text_encoding::utf16be) {
        const bool decoded = decode_utf16(bytes, encoding == text_encoding::utf16be, text, at);
        at += mark.size();
        return decoded;
    }
    // No option holds a NUL: text that does was not read the way it was written.
    at = bytes.find('\0');
    if (at != std::string_view::npos) {
        at += mark.size();
        return false;
    }
    text.assign(bytes);
    return true;
}

bool encode_text(text_encoding encoding, std::string_view text, std::string& bytes)
{
    bytes.assign(mark_of(encoding));
    if (encoding == text_encoding::ansi) {
        bytes.append(text);
        return true;
    }
    // A path with no UTF-8 form (a lone surrogate in a Windows name, bytes
    // that are no UTF-8 in a POSIX one) would leave a UTF-8 file that reads
    // as another encoding: it has no form there.
    if (encoding == text_encoding::utf8 || encoding == text_encoding::utf8_mark) {
        bytes.append(text);
        return valid_utf8(text);
    }
    bytes.reserve(bytes.size() + 2 * text.size());
    const bool big_endian = encoding == text_encoding::utf16be;
    char32_t point;
    std::size_t length;
    for (std::size_t at = 0; at < text.size(); at += length) {
        if (!next_code_point(text, at, point, length))
            return false;
        if (point < 0x10000) {
            append_unit(bytes, static_cast<std::uint16_t>(point), big_endian);
        } else {
            append_unit(bytes, static_cast<std::uint16_t>(0xD800 + ((point - 0x10000) >> 10)), big_endian);
            append_unit(bytes, static_cast<std::uint16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)), big_endian);
        }
    }
    return true;
}
