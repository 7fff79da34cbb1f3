// The compiler personality: held from the scan to the end of the run, and
// edited once, all or nothing.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "generator_state.h"
#include "platform.h"
#include "personality_text.h"

// The personality as a run holds it: opened once, locked against other runs
// of Skeld, and read once.
struct personality_file {
    std::string path;    // as given on the command line
    std::string target;  // the file an edit goes to: path with its links resolved
    platform::file handle;
    std::string bytes;  // as read from disk
    // What every question and edit works on: bytes decoded to UTF-8, without
    // a byte-order mark, line ends as in the file, split into lines once.
    personality_text text;
};

// The personality's bytes for text, in the encoding it was read in, its mark
// first; text it has no form for ends the run (encode_personality asks first).
std::string encoded_personality(const personality_file& personality, std::string_view text);

// The same, false when the personality's encoding has no form for some of text.
[[nodiscard]] bool encode_personality(const personality_file& personality, std::string_view text,
                                      std::string& bytes);

// The line that says the personality's encoding has no form for what (a path
// or a line of text), and what the user can do.
std::string no_form_in_personality(const personality_file& personality, const std::string& what,
                                   std::string_view outcome);

// Opens, locks and reads the personality; a personality that cannot be had,
// or read as text, ends the run.
void open_personality(const std::string& path, personality_file& personality);

// The options of boost_compiler_person_settings.txt, sorted and each once;
// false (the line printed) when the file cannot be read.
[[nodiscard]] bool read_settings(generator_state& state, std::set<std::string>& settings);

// The -si and -q entries that put directory first on the include path.
std::vector<std::string> entries_for(const std::string& directory);

// Whether two directory paths name the same directory.
using same_directory_test = std::function<bool(const std::string& a, const std::string& b)>;

// The personality after the run's edits: the settings appended, then the
// entries of each directory in top_directories put on top, in that order (so
// the last one ends up first). What the personality holds already is not
// added again: an entry whose line names the same directory, a setting that
// is a line of it. The old text stays byte for byte; a last line without a
// line break gets one; new lines take the personality's line ends.
personality_text edited_personality(const personality_text& old, const std::vector<std::string>& top_directories,
                                    const std::set<std::string>& settings, const same_directory_test& same);

// The lines that edit adds: those on top, and those at the end.
struct personality_additions {
    std::vector<std::string> top;
    std::vector<std::string> end;
    bool empty() const { return top.empty() && end.empty(); }
};
personality_additions additions_to(const personality_text& old, const std::vector<std::string>& top_directories,
                                   const std::set<std::string>& settings, const same_directory_test& same);

// Whether edited_personality puts a line end after old's last line: it has
// none, and lines go after it.
bool adds_line_end(const personality_text& old, const personality_additions& added);

// Replaces the personality with its edited text in one step. When it cannot
// be replaced it stays as it was, and every entry is printed for the user to
// add by hand; when it changed since it was read, it is left alone. False in
// both cases.
// same: how a line's directory is matched (on disk when not given).
[[nodiscard]] bool write_personality(generator_state& state, personality_file& personality,
                                     const std::vector<std::string>& top_directories,
                                     const std::set<std::string>& settings,
                                     const same_directory_test& same = {});

// Replaces the personality with text in one step, as write_personality does;
// print_by_hand says what the user must change when it cannot be replaced.
[[nodiscard]] bool replace_personality(generator_state& state, personality_file& personality,
                                       const personality_text& text, const std::function<void()>& print_by_hand);
