#include "personality_text.h"

#include "platform.h"
#include "text_files.h"

namespace {

bool contains(std::string_view line, std::string_view what)
{
    return line.find(what) != std::string_view::npos;
}

// The include option's spellings, the long ones first, so that a line that
// starts with one is not taken for its short form.
constexpr std::string_view include_spellings[] = {"-systeminclude", "-SYSTEMINCLUDE", "-si", "-SI"};

line_kind kind_of(std::string_view line)
{
    for (std::string_view spelling : {"-sd", "-SD", "-systemdefine", "-SYSTEMDEFINE"})
        if (contains(line, spelling))
            return line_kind::define;
    for (std::string_view spelling : include_spellings)
        if (contains(line, spelling))
            return line_kind::include;
    return line_kind::other;
}

void read_define(personality_line& line)
{
    const bool long_option = contains(line.text, "-systemdefine") || contains(line.text, "-SYSTEMDEFINE");
    std::string text = trim(' ', line.text);
    // The option is cut off unseen; the line holds the spelling, so it is never
    // shorter than the cut.
    text = trim('"', trim(' ', text.substr(long_option ? 13 : 3)));
    const std::size_t equals = text.find('=');
    line.define_name = text.substr(0, equals);
    if (equals != std::string::npos)
        line.define_value = text.substr(equals + 1);
}

// The directory after option, when option opens the line (after blanks).
std::string option_directory(std::string_view line, std::string_view option)
{
    constexpr std::string_view blanks = " \t";
    const std::size_t start = line.find_first_not_of(blanks);
    if (start == std::string_view::npos || !line.substr(start).starts_with(option))
        return {};
    std::string_view rest = line.substr(start + option.size());
    // "-sifoo" is another option, not -si with the directory foo.
    if (!rest.empty() && blanks.find(rest.front()) == std::string_view::npos && rest.front() != '"')
        return {};
    const std::size_t first = rest.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    rest = rest.substr(first, rest.find_last_not_of(blanks) - first + 1);
    return trim('"', std::string(rest));
}

// Line ends live as long as the program: a line keeps a view of one.
std::string_view lasting_end(std::string_view end)
{
    if (end == "\r\n")
        return "\r\n";
    return end.empty() ? std::string_view() : "\n";
}

}  // namespace

personality_line read_personality_line(std::string_view text, std::string_view end)
{
    personality_line line;
    line.text = text;
    line.end = lasting_end(end);
    line.kind = kind_of(text);
    if (line.kind == line_kind::define)
        read_define(line);
    // Where the analyser looks is read by the option that opens the line,
    // whatever else the line holds: "-si /opt/arm-sdk/include" names a
    // directory, though it holds "-sd".
    for (std::string_view spelling : include_spellings)
        if (line.include = option_directory(text, spelling); !line.include.empty())
            break;
    line.quoted = option_directory(text, "-q");
    return line;
}

personality_text::personality_text(std::string_view text, text_encoding encoding)
    : text_(text), encoding_(encoding)
{
    // A carriage return belongs to the line end only before a line feed.
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t feed = text.find('\n', start);
        if (feed == std::string_view::npos) {
            lines_.push_back(read_personality_line(text.substr(start)));
            break;
        }
        const bool cr = feed > start && text[feed - 1] == '\r';
        lines_.push_back(read_personality_line(text.substr(start, feed - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"));
        start = feed + 1;
    }
}

personality_text::personality_text(std::vector<personality_line> lines, text_encoding encoding)
    : lines_(std::move(lines)), encoding_(encoding)
{
    for (const personality_line& line : lines_)
        text_.append(line.text).append(line.end);
}

std::string_view personality_text::line_end() const
{
    if (lines_.empty() || lines_.front().end.empty())
        return platform::line_end;
    return lines_.front().end;
}

const personality_line* personality_text::find(std::string_view line) const
{
    for (const personality_line& there : lines_)
        if (there.text == line)
            return &there;
    return nullptr;
}

std::vector<std::string> personality_text::held(const std::vector<std::string>& lines) const
{
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (find(line))
            kept.push_back(line);
    return kept;
}

std::vector<std::string> personality_text::include_directories() const
{
    std::vector<std::string> directories;
    for (const personality_line& line : lines_)
        if (!line.include.empty())
            directories.push_back(line.include);
    return directories;
}

personality_text personality_text::with(const std::vector<std::string>& top, const std::vector<std::string>& end) const
{
    const std::string_view eol = line_end();
    std::vector<personality_line> lines;
    lines.reserve(top.size() + lines_.size() + end.size());
    for (const std::string& line : top)
        lines.push_back(read_personality_line(line, eol));
    lines.insert(lines.end(), lines_.begin(), lines_.end());
    if (open_ended() && !end.empty())
        lines.back().end = lasting_end(eol);
    for (const std::string& line : end)
        lines.push_back(read_personality_line(line, eol));
    return personality_text(std::move(lines), encoding_);
}

personality_text personality_text::without(const std::vector<std::string>& top, const std::vector<std::string>& end,
                                           bool drop_line_end) const
{
    std::vector<bool> gone(lines_.size(), false);
    for (const std::string& line : top)
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (!gone[i] && lines_[i].text == line) {
                gone[i] = true;
                break;
            }
    for (const std::string& line : end)
        for (std::size_t i = lines_.size(); i-- > 0;)
            if (!gone[i] && lines_[i].text == line) {
                gone[i] = true;
                break;
            }
    std::vector<personality_line> kept;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (!gone[i])
            kept.push_back(lines_[i]);
    // The line end a run put after the user's last line goes with the lines after it.
    if (drop_line_end && !kept.empty() && !gone.empty() && gone.back())
        kept.back().end = {};
    return personality_text(std::move(kept), encoding_);
}
