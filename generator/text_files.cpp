#include "text_files.h"

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

namespace {

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

}  // namespace

bool read_text_file(const std::string& path, std::string& text)
{
    file_ptr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    text.clear();
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, got);
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        text[out++] = text[i];
    }
    text.resize(out);
    return true;
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

namespace {

bool write_file(const std::string& path, std::string_view text, bool checked)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::string bytes = to_file_text(text);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    return checked ? ok : true;
}

}  // namespace

bool write_text_file(const std::string& path, std::string_view text)
{
    return write_file(path, text, false);
}

bool write_text_file_checked(const std::string& path, std::string_view text)
{
    return write_file(path, text, true);
}
