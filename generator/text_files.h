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

// The whole file as text mode reads it: a carriage return just before a line
// feed is dropped. False when it cannot be opened.
bool read_text_file(const std::string& path, std::string& text);

// Text to file bytes: every line feed becomes the platform's line end.
std::string to_file_text(std::string_view text);

// Creates or empties path and writes text with the platform's line ends.
// False when the file cannot be created; write errors afterwards are not
// reported, as for any file the generator writes.
bool write_text_file(const std::string& path, std::string_view text);

// The same, but the answer is false also when writing or closing failed.
bool write_text_file_checked(const std::string& path, std::string_view text);

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
