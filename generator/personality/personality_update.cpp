#include "personality_update.h"

#include <sstream>

#include "code_page.h"
#include "output_file.h"
#include "system_stubs.h"
#include "text_files.h"

namespace {

// The encoding as the user's editor calls it, with the code page's number.
std::string encoding_in_words(text_encoding encoding)
{
    if (encoding != text_encoding::ansi || !platform::ansi_code_page())
        return std::string(encoding_name(encoding));
    return "the system's ANSI code page " + std::to_string(platform::ansi_code_page());
}

// The personality's text from its bytes; bytes that are not text in any
// encoding it can have end the run, before anything is written.
void decode_personality(personality_file& personality)
{
    const std::string failure = "Error: Cannot read Compiler Personality - " + personality.path + ": ";
    const text_encoding encoding = detect_encoding(personality.bytes);
    std::string text;
    std::size_t at = 0;
    if (!decode_text(encoding, personality.bytes, text, at)) {
        if (mark_of(encoding).empty())
            throw run_ended{failure + "it holds NUL bytes (the first at byte " + std::to_string(at) +
                            ") and no byte-order mark that says how to read them. Please save it as UTF-8 or ANSI."};
        throw run_ended{failure + "it starts with the byte-order mark of " + std::string(encoding_name(encoding)) +
                        " but is no such text (at byte " + std::to_string(at) + "). Please save it as UTF-8 or ANSI."};
    }
    if (encoding == text_encoding::ansi) {
        // Edits keep the old text byte for byte: only what converts there and back is taken.
        std::string utf8, again;
        if (!platform::ansi_to_utf8(personality.bytes, utf8) || !platform::utf8_to_ansi(utf8, again) ||
            again != personality.bytes)
            throw run_ended{failure + "it has no byte-order mark and is neither UTF-8 nor text in " +
                            encoding_in_words(encoding) + ". Please save it as UTF-8 with a byte-order mark."};
        text = std::move(utf8);
    }
    personality.text = personality_text(text, encoding);
}

}  // namespace

void open_personality(const std::string& path, personality_file& personality)
{
    personality.path = path;
    // A link stays a link: the file it leads to is the one edited.
    if (!platform::resolve_path(path, personality.target))
        personality.target = path;

    switch (personality.handle.open_for_update(personality.target)) {
    case platform::file::open_status::ok: break;
    case platform::file::open_status::cannot_open: throw run_ended{"Error: Cannot open Compiler Personality - " + path};
    case platform::file::open_status::not_regular:
        throw run_ended{"Error: Cannot open Compiler Personality - " + path + ": not a regular file"};
    }
    if (!personality.handle.try_lock())
        throw run_ended{"Error: Compiler Personality - " + path +
                        " is being edited by another run of Skeld. Please run Skeld again when that run has ended."};
    if (!personality.handle.read_all(personality.bytes))
        throw run_ended{"Error: Cannot read Compiler Personality - " + path + ": " + platform::last_error_text()};
    decode_personality(personality);
}

bool encode_personality(const personality_file& personality, std::string_view text, std::string& bytes)
{
    if (personality.text.encoding() == text_encoding::ansi)
        return platform::utf8_to_ansi(text, bytes);
    return encode_text(personality.text.encoding(), text, bytes);
}

std::string encoded_personality(const personality_file& personality, std::string_view text)
{
    std::string bytes;
    if (!encode_personality(personality, text, bytes))
        throw run_ended{no_form_in_personality(personality, "its new text", "so Skeld left it as it is")};
    return bytes;
}

std::string no_form_in_personality(const personality_file& personality, const std::string& what,
                                   std::string_view outcome)
{
    // Unicode holds every path that is Unicode: the path is what to change.
    const char* remedy = personality.text.encoding() == text_encoding::ansi
                             ? "save the personality as UTF-8 with a byte-order mark"
                             : "choose paths that are valid Unicode";
    return "Error: Compiler Personality - " + personality.path + " is in " + encoding_in_words(personality.text.encoding()) +
           ", which has no form for " + what + ", " + std::string(outcome) + ". Please " + remedy +
           " and run Skeld again.";
}

bool read_settings(generator_state& state, std::set<std::string>& settings)
{
    std::string bytes;
    const read_result read = read_file_bytes(data_file(state, "boost_compiler_person_settings.txt"), bytes);
    if (!read.ok()) {
        if (read.outcome == read_result::status::cannot_open)
            say(state, "Error: Cannot open boost_compiler_person_settings.txt");
        else
            say(state, "Error: Cannot read " + data_file(state, "boost_compiler_person_settings.txt") + read.why());
        return false;
    }
    std::istringstream stream(bytes);
    settings.insert(line_iterator(stream), line_iterator());
    return true;
}

std::vector<std::string> entries_for(const std::string& directory)
{
    return {"-si \"" + directory + "\"", "-q \"" + directory + "\""};
}

namespace {

// Which of entries_for(directory) a line is: 0 for the -si entry, 1 for -q,
// -1 for neither.
int entry_of(const personality_line& line, const std::string& directory, const same_directory_test& same)
{
    if (!line.include.empty())
        return line.include == directory || same(line.include, directory) ? 0 : -1;
    if (!line.quoted.empty())
        return line.quoted == directory || same(line.quoted, directory) ? 1 : -1;
    return -1;
}

}  // namespace

personality_additions additions_to(const personality_text& old, const std::vector<std::string>& top_directories,
                                   const std::set<std::string>& settings, const same_directory_test& same)
{
    personality_additions added;
    for (auto directory = top_directories.rbegin(); directory != top_directories.rend(); ++directory) {
        bool held[2] = {false, false};
        for (const personality_line& line : old.lines())
            if (const int entry = entry_of(line, *directory, same); entry >= 0)
                held[entry] = true;
        const std::vector<std::string> entries = entries_for(*directory);
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (!held[i])
                added.top.push_back(entries[i]);
    }
    for (const std::string& setting : settings)
        if (!old.find(setting))
            added.end.push_back(setting);
    return added;
}

personality_text edited_personality(const personality_text& old, const std::vector<std::string>& top_directories,
                                    const std::set<std::string>& settings, const same_directory_test& same)
{
    const personality_additions added = additions_to(old, top_directories, settings, same);
    return old.with(added.top, added.end);
}

bool adds_line_end(const personality_text& old, const personality_additions& added)
{
    return old.open_ended() && !added.end.empty();
}

namespace {

void print_manual_edit(generator_state& state, const personality_file& personality,
                       const std::vector<std::string>& top_directories, const std::set<std::string>& settings)
{
    const std::string opening = "Error: Cannot open - " + personality.path + " for editing. ";
    if (!top_directories.empty()) {
        say(state, opening + "Please add the following entries to the top of this file:");
        for (auto directory = top_directories.rbegin(); directory != top_directories.rend(); ++directory)
            for (const std::string& entry : entries_for(*directory))
                say(state, entry);
    }
    if (!settings.empty()) {
        say(state, (top_directories.empty() ? opening : std::string()) +
                       "Please add the following entries to the end of this file:");
        for (const std::string& setting : settings)
            say(state, setting);
    }
}

// Whether the personality on disk is still the one the run read: the same
// file at the same place, with the same text.
bool unchanged_since_read(personality_file& personality)
{
    platform::file_identity held, there;
    std::string now;
    return personality.handle.identify(held) && platform::identify(personality.target, there) && held == there &&
           personality.handle.read_all(now) && now == personality.bytes;
}

}  // namespace

bool write_personality(generator_state& state, personality_file& personality,
                       const std::vector<std::string>& top_directories, const std::set<std::string>& settings,
                       const same_directory_test& same)
{
    const personality_text text = edited_personality(personality.text, top_directories, settings,
                                                       same ? same : disk_header_search().same_directory);
    return replace_personality(state, personality, text,
                               [&] { print_manual_edit(state, personality, top_directories, settings); });
}

bool replace_personality(generator_state& state, personality_file& personality, const personality_text& text,
                         const std::function<void()>& print_by_hand)
{
    if (text.text() == personality.text.text())
        return true;
    if (!personality.handle.writable()) {
        print_by_hand();
        return false;
    }
    std::string bytes;
    if (!encode_personality(personality, text.text(), bytes)) {
        std::string lacking;
        std::string line_bytes;
        for (const personality_line& line : text.lines())
            if (lacking.empty() && !encode_personality(personality, line.text, line_bytes))
                lacking = line.text;
        say(state, no_form_in_personality(personality, "the line " + lacking, "so Skeld left it as it is"));
        return false;
    }
    replacement_file replacement(personality.target);
    if (!replacement.open(personality.handle) || !replacement.write(bytes)) {
        print_by_hand();
        return false;
    }
    if (!unchanged_since_read(personality)) {
        say(state, "Error: Compiler Personality - " + personality.path +
                       " changed while Skeld ran, so Skeld left it as it is. Please run Skeld again.");
        return false;
    }
    if (platform::open_file_blocks_replace)
        (void)personality.handle.close();  // its lock goes with it, a moment early
    if (!replacement.commit()) {
        print_by_hand();
        return false;
    }
    return true;
}
