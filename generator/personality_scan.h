// Which of the compiler's macros the personality predefines, and the two
// headers that take them away and give them back.
#pragma once

#include <string>
#include <string_view>

#include "generator_state.h"

enum class scan_result {
    configured,  // macros found, both compiler-flag headers written
    not_needed,  // the personality defines none of the possible defines
    failed,      // a data file or the personality could not be read, or a header not written
};

enum class line_kind { define, include, other };

// A line is a define line first, an include line only when it is not one.
line_kind classify_personality_line(std::string_view line);

// Name and value of a define line's argument.
std::pair<std::string, std::string> parse_define_line(const std::string& line);

// Reads possible_defines.txt and the personality (which it opens, locks and
// keeps in personality for the edit at the end of the run), and writes the
// two compiler-flag headers.
scan_result scan_personality(generator_state& state, const std::string& path, struct personality_file& personality);
