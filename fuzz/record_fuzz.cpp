// The record, which Skeld reads from the output folder: whatever its bytes,
// the reader either refuses them or gives paths that stay inside the output,
// and what it accepts reads back the same once written again. The bytes are
// read twice: as they are, and as the lines of a record that Skeld's heading
// starts and a true seal ends, so that they reach the line parser behind the
// seal rather than stopping at it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "fuzz_support.h"
#include "text_files.h"
#include "tree_record.h"

namespace {

std::string sealed_record(std::string_view body_bytes)
{
    static const std::string heading = [] {
        const std::string text = record_text(tree_record{});
        return text.substr(0, text.find("Made by: "));
    }();
    std::string text = heading + std::string(body_bytes);
    drop_carriage_returns(text);
    if (text.back() != '\n')
        text.push_back('\n');
    std::set<std::string_view> directories;
    std::size_t files = 0;
    for_each_line(std::string_view(text).substr(heading.size()), [&](std::string_view line) {
        if (line.starts_with("Directory: "))
            directories.insert(line.substr(11));
        files += line.starts_with("File: ");
    });
    const digest seal = digest_of(text);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(seal));
    return text + "End: " + std::to_string(directories.size()) + " directories, " + std::to_string(files) +
           " files, seal " + hex + "\n";
}

// The files by path, with their digests and stamps: what a round trip keeps.
std::map<std::string, std::pair<digest, std::optional<std::uint64_t>>> files_of(const recorded_files& files)
{
    std::map<std::string, std::pair<digest, std::optional<std::uint64_t>>> by_path;
    files.in_path_order([&](std::string_view path, const file_entry& file) {
        by_path.emplace(path, std::pair(file.value, file.stamped ? std::optional(file.stamp) : std::nullopt));
    });
    return by_path;
}

void check_parsed(const std::string& text)
{
    std::string why;
    const std::optional<tree_record> record = parse_record(text, why);
    if (!record) {
        FUZZ_CHECK(!why.empty());
        return;
    }
    record->files.in_path_order([](std::string_view path, const file_entry&) { FUZZ_CHECK(record_path(path)); });
    for (const std::string& path : record->directories)
        FUZZ_CHECK(record_path(path));
    std::string again_why;
    const std::optional<tree_record> again = parse_record(record_text(*record), again_why);
    FUZZ_CHECK(again && files_of(again->files) == files_of(record->files) && again->directories == record->directories &&
               again->added_top == record->added_top && again->found_top == record->found_top &&
               again->found_end == record->found_end && again->personality_file == record->personality_file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check_parsed(std::string(bytes));
    check_parsed(sealed_record(bytes));
    tree_record journalled;
    add_journal(bytes, journalled);
    journalled.files.in_path_order([](std::string_view path, const file_entry&) { FUZZ_CHECK(record_path(path)); });
    return 0;
}
