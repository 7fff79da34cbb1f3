// The include scan over a whole Boost file, checked against the line rules
// applied to the file's lines one at a time.
#include <cstddef>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "forwarding_header.h"
#include "fuzz_support.h"
#include "include_scan.h"

namespace {

// The header name a line records, or nothing.
bool expected_name(std::string line, std::string& name)
{
    std::erase(line, ' ');
    if (line.find("#include<") == std::string::npos || line.find("boost") != std::string::npos)
        return false;
    const std::size_t comment = line.find("//");
    const std::size_t lt = line.find('<');
    const std::size_t gt = line.find('>');
    if (comment != std::string::npos && comment < lt)
        return false;
    name = (gt == std::string::npos || gt < lt) ? line.substr(lt + 1) : line.substr(lt + 1, gt - lt - 1);
    return true;
}

// Lines as text mode reads them: a carriage return right before a line feed
// is not part of the line.
std::set<std::string> expected_headers(std::string_view text)
{
    std::set<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        // Without a '<' there is no include: most lines, and the padding, go here.
        std::string name;
        if (line.find('<') != std::string_view::npos && expected_name(std::string(line), name))
            names.insert(name);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A first byte of 0xf0 to 0xff puts the rest 0 to 15 bytes before a 1 MiB
    // boundary, the size of the scan's reads, behind that many empty lines, so that lines and CR LF pairs
    // straddle the scan's reads. Rare on purpose: the padding costs.
    std::string text;
    if (size > 0 && (data[0] & 0xf0) == 0xf0) {
        text.assign((1 << 20) - (data[0] & 0x0f), '\n');
        ++data;
        --size;
    }
    text.append(reinterpret_cast<const char*>(data), size);

    const std::string source = fuzz_scratch_dir() + "/source.hpp";
    fuzz_write_file(source, text);

    generator_state state;
    std::ostringstream console;
    state.console = &console;
    try {
        scan_header_includes(state, source);
    } catch (const run_ended&) {
        FUZZ_CHECK(!"the scan failed to read a file that exists");
    }
    FUZZ_CHECK(console.str().empty());
    FUZZ_CHECK(state.included_system_headers == expected_headers(text));
    return 0;
}
