// Reading and writing the text files Skeld handles.
#pragma once

#include <iosfwd>
#include <iterator>
#include <string>
#include <string_view>

// s without every leading and then every trailing c.
std::string trim(char c, const std::string& s);

// Yields the lines of a stream: a line feed ends a line, every carriage
// return is dropped, a final line feed adds nothing.
class line_iterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::string;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string*;
    using reference = const std::string&;

    line_iterator() = default;
    explicit line_iterator(std::istream& stream);

    reference operator*() const { return line_; }
    pointer operator->() const { return &line_; }
    line_iterator& operator++();
    line_iterator operator++(int);
    bool operator==(const line_iterator& other) const;

private:
    void read();

    std::istream* stream_ = nullptr;
    std::string line_;
    bool valid_ = false;
};

// What became of a read.
struct [[nodiscard]] read_result {
    enum class status { ok, cannot_open, not_regular, read_failed };
    status outcome = status::ok;
    std::string reason;  // the system's words, when not ok

    bool ok() const { return outcome == status::ok; }
    // What to add after a failure line's path: why it could not be read.
    std::string why() const;
};

// The whole file, byte for byte. Only regular files are read: a directory,
// FIFO, device or socket is refused at once, never waited on.
read_result read_file_bytes(const std::string& path, std::string& bytes);

// The same, as text mode reads it: a carriage return just before a line feed
// is dropped.
read_result read_text_file(const std::string& path, std::string& text);

// Text mode's reading of bytes: every carriage return just before a line feed goes.
void drop_carriage_returns(std::string& text);

// Text to file bytes: every line feed becomes the platform's line end.
std::string to_file_text(std::string_view text);
// The same without a copy where a line feed is the line end: the text itself,
// else to_file_text's bytes, kept in storage.
std::string_view file_text(std::string_view text, std::string& storage);

// Calls f for every line of text as getline reads it: the last line needs no
// line feed, a final line feed adds no empty line.
template <class F>
void for_each_line(std::string_view text, F&& f)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            f(text.substr(start));
            return;
        }
        f(text.substr(start, end - start));
        start = end + 1;
    }
}
