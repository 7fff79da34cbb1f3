// Which of the compiler's macros the personality predefines, and the two
// headers that take them away and give them back.
#pragma once

#include <map>
#include <set>
#include <string>

#include "generator_state.h"
#include "personality_text.h"

// The two compiler-flag headers' texts: each define taken away, and given back.
struct compiler_flag_headers {
    std::string remove;
    std::string add;
};
compiler_flag_headers compiler_flag_header_texts(const std::map<std::string, std::string>& defines);

// What the personality's lines give: the defines of possible defines, the
// first value of each name kept, and whether an include line names the Boost
// parent (never set back).
void read_personality_lines(const personality_text& text, const std::set<std::string>& possible_defines,
                            const std::string& boost_parent, std::map<std::string, std::string>& defines,
                            bool& names_boost_parent);

// Reads possible_defines.txt and the personality (which it opens, locks and
// keeps in personality for the edit at the end of the run), and writes the
// two compiler-flag headers. False when the personality defines none of the
// possible defines: no configuration is needed. A file that cannot be read
// or written ends the run.
[[nodiscard]] bool scan_personality(generator_state& state, const std::string& path,
                                    struct personality_file& personality);
