#include "personality_update.h"

#include <sstream>

#include "code_page.h"
#include "output_file.h"
#include "personality_scan.h"
#include "system_stubs.h"
#include "text_files.h"

namespace {

// The encoding as the user's editor calls it, with the code page's number.
std::string encoding_in_words(const personality_file& personality)
{
    if (personality.encoding != text_encoding::ansi || !platform::ansi_code_page())
        return std::string(encoding_name(personality.encoding));
    return "the system's ANSI code page " + std::to_string(platform::ansi_code_page());
}

// The personality's text from its bytes; bytes that are not text in any
// encoding it can have end the run, before anything is written.
void decode_personality(personality_file& personality)
{
    const std::string failure = "Error: Cannot read Compiler Personality - " + personality.path + ": ";
    personality.encoding = detect_encoding(personality.bytes);
    std::size_t at = 0;
    if (!decode_text(personality.encoding, personality.bytes, personality.text, at)) {
        if (mark_of(personality.encoding).empty())
            throw run_ended{failure + "it holds NUL bytes (the first at byte " + std::to_string(at) +
                            ") and no byte-order mark that says how to read them. Please save it as UTF-8 or ANSI."};
        throw run_ended{failure + "it starts with the byte-order mark of " +
                        std::string(encoding_name(personality.encoding)) + " but is no such text (at byte " +
                        std::to_string(at) + "). Please save it as UTF-8 or ANSI."};
    }
    if (personality.encoding != text_encoding::ansi)
        return;
    // Edits keep the old text byte for byte: only what converts there and back is taken.
    std::string utf8, again;
    if (!platform::ansi_to_utf8(personality.bytes, utf8) || !platform::utf8_to_ansi(utf8, again) ||
        again != personality.bytes)
        throw run_ended{failure + "it has no byte-order mark and is neither UTF-8 nor text in " +
                        encoding_in_words(personality) + ". Please save it as UTF-8 with a byte-order mark."};
    personality.text = std::move(utf8);
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
    if (personality.encoding == text_encoding::ansi)
        return platform::utf8_to_ansi(text, bytes);
    return encode_text(personality.encoding, text, bytes);
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
    const char* remedy = personality.encoding == text_encoding::ansi
                             ? "save the personality as UTF-8 with a byte-order mark"
                             : "choose paths that are valid Unicode";
    return "Error: Compiler Personality - " + personality.path + " is in " + encoding_in_words(personality) +
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

// The personality's own line end, taken from its first line; the platform's
// when it has none.
std::string_view line_end_of(std::string_view bytes)
{
    const std::size_t newline = bytes.find('\n');
    if (newline == std::string_view::npos)
        return platform::line_end;
    return newline > 0 && bytes[newline - 1] == '\r' ? "\r\n" : "\n";
}

}  // namespace

std::string quoted_directory(std::string_view line)
{
    return option_directory(line, "-q");
}

namespace {

// The personality's lines as text mode reads them, for the questions below.
std::vector<std::string> lines_of(std::string_view bytes)
{
    std::string text(bytes);
    drop_carriage_returns(text);
    std::vector<std::string> lines;
    for_each_line(text, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

// Which of entries_for(directory) a line is: 0 for the -si entry, 1 for -q,
// -1 for neither.
int entry_of(const std::string& line, const std::string& directory, const same_directory_test& same)
{
    if (std::string named = include_directory(line); !named.empty())
        return named == directory || same(named, directory) ? 0 : -1;
    if (std::string named = quoted_directory(line); !named.empty())
        return named == directory || same(named, directory) ? 1 : -1;
    return -1;
}

}  // namespace

personality_additions additions_to(std::string_view old_bytes, const std::vector<std::string>& top_directories,
                                   const std::set<std::string>& settings, const same_directory_test& same)
{
    const std::vector<std::string> lines = lines_of(old_bytes);
    personality_additions added;
    for (auto directory = top_directories.rbegin(); directory != top_directories.rend(); ++directory) {
        bool held[2] = {false, false};
        for (const std::string& line : lines)
            if (const int entry = entry_of(line, *directory, same); entry >= 0)
                held[entry] = true;
        const std::vector<std::string> entries = entries_for(*directory);
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (!held[i])
                added.top.push_back(entries[i]);
    }
    const std::set<std::string> held(lines.begin(), lines.end());
    for (const std::string& setting : settings)
        if (!held.count(setting))
            added.end.push_back(setting);
    return added;
}

std::string edited_personality(std::string_view old_bytes, const std::vector<std::string>& top_directories,
                               const std::set<std::string>& settings, const same_directory_test& same)
{
    const std::string_view eol = line_end_of(old_bytes);
    const personality_additions added = additions_to(old_bytes, top_directories, settings, same);
    std::string text;
    for (const std::string& line : added.top)
        text.append(line).append(eol);
    text.append(old_bytes);
    if (!old_bytes.empty() && old_bytes.back() != '\n' && !added.end.empty())
        text.append(eol);
    for (const std::string& line : added.end)
        text.append(line).append(eol);
    return text;
}

bool adds_line_end(std::string_view text, const personality_additions& added)
{
    return !text.empty() && text.back() != '\n' && !added.end.empty();
}

std::vector<std::string> lines_held(std::string_view text, const std::vector<std::string>& lines)
{
    const std::vector<std::string> there = lines_of(text);
    const std::set<std::string> held(there.begin(), there.end());
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (held.count(line))
            kept.push_back(line);
    return kept;
}

std::string personality_without(std::string_view text, const std::vector<std::string>& top,
                                const std::vector<std::string>& end, bool drop_line_end)
{
    // Whole lines, each with its own line end, so what stays stays byte for byte.
    std::vector<std::string_view> raw;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t stop = text.find('\n', start);
        stop = stop == std::string_view::npos ? text.size() : stop + 1;
        raw.push_back(text.substr(start, stop - start));
        start = stop;
    }
    auto text_of = [](std::string_view line) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        return line;
    };
    std::vector<bool> gone(raw.size(), false);
    for (const std::string& line : top)
        for (std::size_t i = 0; i < raw.size(); ++i)
            if (!gone[i] && text_of(raw[i]) == line) {
                gone[i] = true;
                break;
            }
    for (const std::string& line : end)
        for (std::size_t i = raw.size(); i-- > 0;)
            if (!gone[i] && text_of(raw[i]) == line) {
                gone[i] = true;
                break;
            }
    std::size_t last_kept = raw.size();
    for (std::size_t i = raw.size(); i-- > 0 && last_kept == raw.size();)
        if (!gone[i])
            last_kept = i;
    std::string kept;
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (!gone[i])
            kept.append(i == last_kept && drop_line_end && i + 1 < raw.size() ? text_of(raw[i]) : raw[i]);
    return kept;
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
    const std::string text = edited_personality(personality.text, top_directories, settings,
                                                  same ? same : disk_header_search().same_directory);
    return replace_personality(state, personality, text,
                               [&] { print_manual_edit(state, personality, top_directories, settings); });
}

bool replace_personality(generator_state& state, personality_file& personality, const std::string& text,
                         const std::function<void()>& print_by_hand)
{
    if (text == personality.text)
        return true;
    if (!personality.handle.writable()) {
        print_by_hand();
        return false;
    }
    std::string bytes;
    if (!encode_personality(personality, text, bytes)) {
        std::string lacking;
        std::string line_bytes;
        for_each_line(text, [&](std::string_view line) {
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            if (lacking.empty() && !encode_personality(personality, line, line_bytes))
                lacking = std::string(line);
        });
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
