// The personality as every question reads it: split into lines that give the
// text back byte for byte, every define line cut into name and value, and an
// edit that takes out what it added gives the text back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "personality_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const personality_text text(std::string_view(reinterpret_cast<const char*>(data), size));
    FUZZ_CHECK(text.text().size() == size && text.text().compare(0, size, reinterpret_cast<const char*>(data), size) == 0);
    for (const personality_line& line : text.lines()) {
        FUZZ_CHECK(line.text.find('\n') == std::string::npos);
        if (line.kind != line_kind::define)
            continue;
        FUZZ_CHECK(line.define_name.find('=') == std::string::npos);
        FUZZ_CHECK(line.define_name.size() + line.define_value.size() < line.text.size());
    }
    const personality_text edited = text.with({"-si \"out\""}, {"-a"});
    FUZZ_CHECK(edited.without({"-si \"out\""}, {"-a"}, text.open_ended()).text() == text.text());
    return 0;
}
