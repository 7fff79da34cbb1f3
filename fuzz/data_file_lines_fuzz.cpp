// possible_defines.txt and the settings file, read through line_iterator into
// the ordered set the generator keeps them in, checked against getline.
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "text_files.h"

namespace {

// A line feed ends a line, carriage returns go, and a last line that is empty
// once they are gone adds nothing.
std::vector<std::string> expected_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        bool ended = !stream.eof();
        std::erase(line, '\r');
        if (ended || !line.empty())
            lines.push_back(line);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    std::istringstream stream(text);
    std::vector<std::string> got(line_iterator(stream), line_iterator{});
    FUZZ_CHECK(got == expected_lines(text));

    std::istringstream again(text);
    std::set<std::string> entries(line_iterator(again), line_iterator{});
    FUZZ_CHECK(entries == std::set<std::string>(got.begin(), got.end()));

    // Post-increment hands back the line it stood on.
    std::istringstream once_more(text);
    line_iterator it(once_more);
    for (const std::string& line : got) {
        FUZZ_CHECK(it != line_iterator{});
        FUZZ_CHECK(*it++ == line);
    }
    FUZZ_CHECK(it == line_iterator{});
    return 0;
}
