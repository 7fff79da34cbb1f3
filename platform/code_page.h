// The system's ANSI code page: the encoding of a text file saved as "ANSI",
// and of a personality without a byte-order mark that is not UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The system's ANSI code page, the same whatever code page a manifest gives
// this process; 0 where text has no code page (POSIX: text is its bytes).
unsigned ansi_code_page();

// ANSI bytes as UTF-8; false when they are not text in the code page.
[[nodiscard]] bool ansi_to_utf8(std::string_view ansi, std::string& utf8);

// UTF-8 text in the code page; false when a character has no form there (a
// look-alike is never put in its place) or the text is not UTF-8.
[[nodiscard]] bool utf8_to_ansi(std::string_view utf8, std::string& ansi);

}  // namespace platform
