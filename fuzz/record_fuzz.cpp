// The record, which Skeld reads from the output folder: whatever its bytes,
// the reader either refuses them or gives paths that stay inside the output,
// and what it accepts reads back the same once written again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "tree_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string why;
    const std::optional<tree_record> record =
        parse_record(std::string(reinterpret_cast<const char*>(data), size), why);
    if (!record) {
        FUZZ_CHECK(!why.empty());
        return 0;
    }
    for (const auto& [path, value] : record->files)
        FUZZ_CHECK(record_path(path));
    for (const std::string& path : record->directories)
        FUZZ_CHECK(record_path(path));
    std::string again_why;
    const std::optional<tree_record> again = parse_record(record_text(*record), again_why);
    FUZZ_CHECK(again && again->files == record->files && again->directories == record->directories &&
               again->added_top == record->added_top && again->personality_file == record->personality_file);
    tree_record journalled;
    add_journal(std::string_view(reinterpret_cast<const char*>(data), size), journalled);
    for (const auto& [path, value] : journalled.files)
        FUZZ_CHECK(record_path(path));
    return 0;
}
