#include "text_files.h"

#include <algorithm>
#include <cstdio>
#include <istream>
#include <memory>

#include "platform.h"

std::string trim(char c, const std::string& s)
{
    std::size_t first = s.find_first_not_of(c);
    if (first == std::string::npos)
        return {};
    std::size_t last = s.find_last_not_of(c);
    return s.substr(first, last - first + 1);
}

line_iterator::line_iterator(std::istream& stream) : stream_(&stream)
{
    read();
}

void line_iterator::read()
{
    line_.clear();
    while (stream_->good()) {
        int c = stream_->get();
        if (c == std::char_traits<char>::eof() || c == '\n')
            break;
        if (c != '\r')
            line_.push_back(static_cast<char>(c));
    }
    valid_ = !(stream_->fail() && line_.empty());
}

line_iterator& line_iterator::operator++()
{
    read();
    return *this;
}

line_iterator line_iterator::operator++(int)
{
    line_iterator before = *this;
    read();
    return before;
}

bool line_iterator::operator==(const line_iterator& other) const
{
    if (!valid_ && !other.valid_)
        return true;
    return stream_ == other.stream_ && valid_ == other.valid_;
}

std::string read_result::why() const
{
    switch (outcome) {
    case status::ok: return {};
    case status::not_regular: return ": not a regular file";
    case status::cannot_open:
    case status::read_failed: break;
    }
    return ": " + reason;
}

read_result read_file_bytes(const std::string& path, std::string& bytes)
{
    platform::file file;
    switch (file.open_for_reading(path)) {
    case platform::file::open_status::ok: break;
    case platform::file::open_status::cannot_open:
        return {read_result::status::cannot_open, platform::last_error_text()};
    case platform::file::open_status::not_regular:
        return {read_result::status::not_regular, platform::last_error_text()};
    }
    // Just opened: no rewind needed, and a short read of a regular file is its end.
    // Read straight into bytes, room made for the whole file at once: a large
    // file (a tree's record) is neither copied nor cleared piece by piece.
    bytes.clear();
    std::size_t have = 0;
    const std::size_t first = static_cast<std::size_t>(std::min<std::uint64_t>(file.size_hint(), 1u << 30)) + 1;
    for (std::size_t room = std::max<std::size_t>(first, 4096);; room = std::max<std::size_t>(room, have)) {
        bytes.resize(have + room);
        const std::ptrdiff_t got = file.read(bytes.data() + have, room);
        if (got < 0) {
            bytes.clear();
            return {read_result::status::read_failed, platform::last_error_text()};
        }
        have += static_cast<std::size_t>(got);
        if (static_cast<std::size_t>(got) < room) {
            bytes.resize(have);
            return {};
        }
    }
}

void drop_carriage_returns(std::string& text)
{
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        text[out++] = text[i];
    }
    text.resize(out);
}

read_result read_text_file(const std::string& path, std::string& text)
{
    read_result result = read_file_bytes(path, text);
    if (result.ok())
        drop_carriage_returns(text);
    return result;
}

std::string_view file_text(std::string_view text, std::string& storage)
{
    if (std::string_view(platform::line_end) == "\n")
        return text;
    return storage = to_file_text(text);
}

std::string to_file_text(std::string_view text)
{
    std::string_view eol = platform::line_end;
    if (eol == "\n")
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += eol;
        else
            out += c;
    }
    return out;
}
