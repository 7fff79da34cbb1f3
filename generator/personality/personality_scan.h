// Which of the compiler's macros the personality predefines, and the two
// headers that take them away and give them back.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "generator_state.h"

// The two compiler-flag headers' texts: each define taken away, and given back.
struct compiler_flag_headers {
    std::string remove;
    std::string add;
};
compiler_flag_headers compiler_flag_header_texts(const std::map<std::string, std::string>& defines);

enum class line_kind { define, include, other };

// A line is a define line first, an include line only when it is not one.
line_kind classify_personality_line(std::string_view line);

// Name and value of a define line's argument.
std::pair<std::string, std::string> parse_define_line(const std::string& line);

// The directory an include line names: what follows the option that opens
// the line, blanks and double quotes trimmed. Empty when no option opens it
// (the analyser would not take such a line as an include directory).
std::string include_directory(std::string_view line);

// The directory after option, when option opens the line (after blanks):
// blanks and double quotes trimmed; empty otherwise.
std::string option_directory(std::string_view line, std::string_view option);

// What the personality's lines (carriage returns before line feeds dropped)
// give: the defines of possible defines, the first value of each name kept,
// whether an include line names the Boost parent (never set back), and, when
// asked for, the directories of the lines that open with the include option,
// in their order.
void read_personality_lines(std::string_view text, const std::set<std::string>& possible_defines,
                            const std::string& boost_parent, std::map<std::string, std::string>& defines,
                            bool& names_boost_parent, std::vector<std::string>* include_directories = nullptr);

// Reads possible_defines.txt and the personality (which it opens, locks and
// keeps in personality for the edit at the end of the run), and writes the
// two compiler-flag headers. False when the personality defines none of the
// possible defines: no configuration is needed. A file that cannot be read
// or written ends the run.
[[nodiscard]] bool scan_personality(generator_state& state, const std::string& path,
                                    struct personality_file& personality);
