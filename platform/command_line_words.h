// How a Windows program's command line splits into its arguments. Windows
// hands a program one line; the C runtime's split of it comes through the
// ANSI code page, so Skeld.exe splits the line itself, after converting it
// to UTF-8, by the same rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The words of line as the C runtime gives them to main(): the program's
// name first, up to the next quote when it starts with one (no escapes in
// it), else up to a blank. Then, for each argument: blanks (space, tab)
// separate; a quote starts or ends a quoted part, in which blanks belong to
// the argument and "" is one quote; backslashes are literal except before a
// quote, where 2n of them give n and the quote acts, and 2n+1 give n and a
// quote. Every character these rules look at is ASCII, which no character
// of UTF-8 holds inside it.
std::vector<std::string> command_line_words(std::string_view line);

}  // namespace platform
