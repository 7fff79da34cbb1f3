#include "personality_trees.h"

#include <algorithm>

#include "paths.h"
#include "personality_scan.h"
#include "personality_update.h"
#include "text_files.h"
#include "tree_record.h"

std::vector<std::string> other_trees(const std::vector<std::string>& include_dirs, const std::string& output,
                                     const header_search& disk, const std::string& here)
{
    std::vector<std::string> trees;
    for (const std::string& directory : include_dirs) {
        std::string tree(paths::without_trailing_separators(paths::is_absolute(directory) ? directory
                                                                                          : paths::join(here, directory)));
        // A tree's system folder stands for the tree.
        if (!disk.is_file(paths::join(tree, record_name))) {
            const std::size_t at = paths::last_separator_of_either(tree);
            if (at == std::string::npos || tree.substr(at + 1) != "system")
                continue;
            tree.resize(at);
            if (!disk.is_file(paths::join(tree, record_name)))
                continue;
        }
        if (disk.same_directory(tree, output) ||
            std::find_if(trees.begin(), trees.end(), [&](const std::string& known) {
                return disk.same_directory(known, tree);
            }) != trees.end())
            continue;
        trees.push_back(tree);
    }
    return trees;
}

shared_settings settings_of_trees(const std::vector<std::string>& trees, const std::string& personality_target,
                                  std::string_view text)
{
    shared_settings shared;
    for (const std::string& tree : trees) {
        const record_lookup lookup = read_record(tree);
        if (lookup.outcome != record_lookup::status::ok || !same_file(lookup.record.personality_file, personality_target))
            continue;
        for (std::string& line : lines_held(text, lookup.record.added_end))
            if (std::find(shared.end.begin(), shared.end.end(), line) == shared.end.end())
                shared.end.push_back(std::move(line));
        shared.line_end = shared.line_end || (lookup.record.added_line_end && !shared.end.empty());
    }
    return shared;
}

std::vector<std::string> include_directories_of(std::string_view text)
{
    std::string plain(text);
    drop_carriage_returns(plain);
    std::vector<std::string> directories;
    for_each_line(plain, [&](std::string_view line) {
        if (std::string directory = include_directory(line); !directory.empty())
            directories.push_back(std::move(directory));
    });
    return directories;
}

bool names_output(std::string_view line, const std::string& output, const header_search& disk)
{
    std::string named = include_directory(line);
    if (named.empty())
        named = quoted_directory(line);
    if (named.empty())
        return false;
    const std::string own_system = paths::join(paths::without_trailing_separators(output), "system");
    return disk.same_directory(named, output) || disk.same_directory(named, own_system);
}

bool personality_names_output(const std::string& path, const std::string& output, const header_search& disk)
{
    if (platform::node_at(path) == platform::node_kind::missing)
        return false;
    personality_file other;
    try {
        open_personality(path, other);
    } catch (const run_ended&) {
        return true;
    }
    std::string text = other.text;
    drop_carriage_returns(text);
    bool named = false;
    for_each_line(text, [&](std::string_view line) { named = named || names_output(line, output, disk); });
    return named;
}

bool same_file(const std::string& a, const std::string& b)
{
    platform::file_identity first, second;
    if (platform::identify(a, first) && platform::identify(b, second))
        return first == second;
    return a == b;
}
