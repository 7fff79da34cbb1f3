#include "command_line_words.h"

namespace platform {

namespace {

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> command_line_words(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    std::string word;
    if (i < line.size() && line[i] == '"') {
        const std::size_t end = line.find('"', 1);
        word = line.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
        i = end == std::string_view::npos ? line.size() : end + 1;
    }
    while (i < line.size() && !blank(line[i]))
        word += line[i++];
    words.push_back(word);

    for (;;) {
        while (i < line.size() && blank(line[i]))
            ++i;
        if (i == line.size())
            return words;
        word.clear();
        bool quoted = false;
        while (i < line.size() && (quoted || !blank(line[i]))) {
            if (line[i] == '\\') {
                std::size_t count = 0;
                while (i < line.size() && line[i] == '\\')
                    ++count, ++i;
                if (i < line.size() && line[i] == '"') {
                    word.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        word += '"';
                        ++i;
                    }
                } else {
                    word.append(count, '\\');
                }
            } else if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    word += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word += line[i++];
            }
        }
        words.push_back(word);
    }
}

}  // namespace platform
