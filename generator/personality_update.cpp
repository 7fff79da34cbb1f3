#include "personality_update.h"

#include <sstream>

#include "output_file.h"
#include "text_files.h"

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

std::string edited_personality(std::string_view old_bytes, const std::vector<std::string>& top_directories,
                               const std::set<std::string>& settings)
{
    const std::string_view eol = line_end_of(old_bytes);
    std::string text;
    for (auto directory = top_directories.rbegin(); directory != top_directories.rend(); ++directory)
        for (const std::string& entry : entries_for(*directory))
            text.append(entry).append(eol);
    text.append(old_bytes);
    if (!old_bytes.empty() && old_bytes.back() != '\n' && !settings.empty())
        text.append(eol);
    for (const std::string& setting : settings)
        text.append(setting).append(eol);
    return text;
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
                       const std::vector<std::string>& top_directories, const std::set<std::string>& settings)
{
    const std::string text = edited_personality(personality.bytes, top_directories, settings);
    if (text == personality.bytes)
        return true;
    if (!personality.handle.writable()) {
        print_manual_edit(state, personality, top_directories, settings);
        return false;
    }
    replacement_file replacement(personality.target);
    if (!replacement.open(personality.handle) || !replacement.write(text)) {
        print_manual_edit(state, personality, top_directories, settings);
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
        print_manual_edit(state, personality, top_directories, settings);
        return false;
    }
    return true;
}
