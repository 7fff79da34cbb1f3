// How a personality's bytes are text: byte-order marks, UTF-16 and UTF-8.
// Pure; the system's ANSI code page is the platform module's (code_page.h).
#pragma once

#include <string>
#include <string_view>

// Known by a byte-order mark, else UTF-8 when the bytes are valid UTF-8 that
// is not all ASCII, else ANSI: the system's code page, which an editor that
// saves "ANSI" writes (and pure ASCII is both).
enum class text_encoding { ansi, utf8, utf8_mark, utf16le, utf16be };

text_encoding detect_encoding(std::string_view bytes);

// The byte-order mark the encoding starts a file with; empty for none.
std::string_view mark_of(text_encoding encoding);

// The encoding as messages name it: "UTF-16 LE", "UTF-8" (with a mark or without), "ANSI".
std::string_view encoding_name(text_encoding encoding);

bool valid_utf8(std::string_view text);

// The text of bytes without their mark, as UTF-8; ANSI as its bytes (the
// code page's conversion is the platform's). False, with at the offset in
// bytes where it fails, when the bytes are not that encoding (UTF-16 of odd
// length, an unpaired surrogate) or hold a NUL, which no option holds.
[[nodiscard]] bool decode_text(text_encoding encoding, std::string_view bytes, std::string& text, std::size_t& at);

// The bytes of UTF-8 text, the mark first; ANSI and UTF-8 keep text as it is.
// False when UTF-8 or UTF-16 is asked for text that is not valid UTF-8 (a
// POSIX file name may be any bytes; a Windows one may hold a lone surrogate,
// which Skeld's UTF-8 spells as its three bytes).
[[nodiscard]] bool encode_text(text_encoding encoding, std::string_view text, std::string& bytes);
