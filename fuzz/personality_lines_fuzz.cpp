// The personality as the scan reads it: every line classified, every define
// line cut into name and value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "personality_scan.h"
#include "text_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for_each_line(text, [](std::string_view line) {
        FUZZ_CHECK(line.find('\n') == std::string_view::npos);
        if (classify_personality_line(line) != line_kind::define)
            return;
        auto [name, value] = parse_define_line(std::string(line));
        FUZZ_CHECK(name.find('=') == std::string::npos);
        FUZZ_CHECK(name.size() + value.size() < line.size());
    });
    return 0;
}
