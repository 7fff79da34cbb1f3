#include "personality_update.h"

#include <cstdio>
#include <fstream>
#include <set>

#include "platform.h"
#include "text_files.h"

bool update_settings(generator_state& state, const std::string& personality)
{
    std::ifstream file("boost_compiler_person_settings.txt", std::ios::binary);
    if (!file) {
        say(state, "Error: Cannot open boost_compiler_person_settings.txt");
        return false;
    }
    const std::set<std::string> settings{line_iterator(file), line_iterator()};
    file.close();

    std::FILE* out = std::fopen(personality.c_str(), "ab");
    if (!out) {
        say(state, "Error: Cannot open - " + personality + " for editing. Please check permissions on this file.");
        return false;
    }
    std::string text;
    for (const std::string& setting : settings)
        text += setting + "\n";
    const std::string bytes = to_file_text(text);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    return true;
}

namespace {

bool can_write(const std::string& path)
{
    // Opening for update changes nothing, but fails where the file is read-only.
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

// The new content goes beside the personality first, so the personality is
// either the old one or the new one, never half of either.
bool replace_personality(const std::string& personality, const std::string& content)
{
    if (!can_write(personality))
        return false;
    const std::string beside = personality + ".skeld-new";
    if (!write_text_file_checked(beside, content)) {
        platform::remove_file(beside);
        return false;
    }
    if (!platform::replace_file(beside, personality)) {
        platform::remove_file(beside);
        return false;
    }
    return true;
}

}  // namespace

bool edit_personality(generator_state& state, const std::string& personality, const std::string& directory)
{
    const std::string entries = "-si \"" + directory + "\"\n-q \"" + directory + "\"\n";
    std::string old;
    if (!read_text_file(personality, old) || !replace_personality(personality, entries + old)) {
        say(state, "Error: Cannot open - " + personality +
                       " for editing. Please add the following entries to the top of this file:");
        say(state, "-si \"" + directory + "\"");
        say(state, "-q \"" + directory + "\"");
    }
    return true;
}
