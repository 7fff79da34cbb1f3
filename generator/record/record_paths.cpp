#include "record_paths.h"

#include "paths.h"
#include "system_stubs.h"

std::string recorded_output_folder(const tree_record& record)
{
    return record.output_folder.empty() ? paths::resolve_for_output(record.output) : record.output_folder;
}

bool record_is_for(const tree_record& record, const std::string& output)
{
    return disk_header_search().same_directory(recorded_output_folder(record), paths::resolve_for_output(output));
}

same_directory_test same_directory_through(const tree_record* record, const std::string& output)
{
    const same_directory_test on_disk = disk_header_search().same_directory;
    if (!record || record->output.empty() || !record_is_for(*record, output))
        return on_disk;
    const std::string spelt(paths::without_trailing_separators(record->output));
    const std::string folder = recorded_output_folder(*record);
    const std::string system = paths::join(spelt, "system");
    const auto resolved = [=](const std::string& path) {
        const std::string_view plain = paths::without_trailing_separators(path);
        if (plain == spelt)
            return folder;
        if (plain == system)
            return paths::join(folder, "system");
        return path;
    };
    return [=](const std::string& a, const std::string& b) { return on_disk(resolved(a), resolved(b)); };
}

header_search search_through(const tree_record* record, const std::string& output)
{
    header_search search = disk_header_search();
    search.same_directory = same_directory_through(record, output);
    return search;
}
