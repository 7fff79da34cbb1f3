#include "include_scan.h"

namespace {

// False when a whole line cannot name a system header, whatever the scanner
// makes of it: "#include<" needs a '<' after the line's first '#', at hash.
bool may_name_system_header(std::string_view line, std::size_t hash)
{
    return line.find('<', hash) != std::string_view::npos && line.find("boost") == std::string_view::npos;
}

}  // namespace

void include_scan::end_line()
{
    if (scanner_.end_line()) {
        found_.insert(scanner_.name());
        if (names_)
            names_->append(scanner_.name()).append(1, '\n');
    }
    scanner_.start_line();
}

void include_scan::feed(std::string_view chunk)
{
    const std::size_t size = chunk.size();
    std::size_t i = 0;
    while (i < size) {
        // Whole lines before the next '#', and the whole line of that '#' when
        // it cannot name one, are skipped: the scanner is between lines there.
        // A line cut by the chunk's end goes to the scanner whole.
        while (at_line_start_ && i < size) {
            const std::size_t hash = chunk.find('#', i);
            const std::size_t newline = chunk.rfind('\n', hash);
            if (newline != std::string_view::npos && newline >= i)
                i = newline + 1;
            const std::size_t end = hash == std::string_view::npos ? hash : chunk.find('\n', hash);
            if (end == std::string_view::npos || may_name_system_header(chunk.substr(i, end - i), hash - i)) {
                // The scanner takes it from here, unless the chunk ended on a line feed.
                at_line_start_ = i == size;
                break;
            }
            i = end + 1;
        }
        if (i == size)
            break;
        const char c = chunk[i++];
        if (pending_cr_) {
            pending_cr_ = false;
            if (c != '\n')
                scanner_.feed('\r');
        }
        if (c == '\n') {
            end_line();
            at_line_start_ = true;
        } else if (c == '\r') {
            pending_cr_ = true;
        } else {
            scanner_.feed(c);
        }
    }
}

void include_scan::finish()
{
    if (pending_cr_)
        scanner_.feed('\r');
    end_line();
}
