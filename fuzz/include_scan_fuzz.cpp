// The include scan over a whole Boost file, checked against the line rules
// applied to the file's lines one at a time.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

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
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
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
    // The first byte sets the size of the chunks the text is fed in (1 to
    // 256 bytes), so that lines and CR LF pairs are split at every place a
    // read can split them.
    if (size == 0)
        return 0;
    const std::size_t chunk = std::size_t{data[0]} + 1;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    std::set<std::string> found;
    include_scan scan(found);
    for (std::size_t at = 0; at < text.size(); at += chunk)
        scan.feed(text.substr(at, chunk));
    scan.finish();
    FUZZ_CHECK(found == expected_headers(text));
    return 0;
}
