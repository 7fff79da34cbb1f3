#include "personality_trees.h"

#include <algorithm>

#include "paths.h"
#include "personality_update.h"
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
                                  const personality_text& text)
{
    shared_settings shared;
    for (const std::string& tree : trees) {
        const record_lookup lookup = read_record(tree);
        if (lookup.outcome != record_lookup::status::ok || !same_file(lookup.record.personality_file, personality_target))
            continue;
        for (std::string& line : text.held(lookup.record.added_end))
            if (std::find(shared.end.begin(), shared.end.end(), line) == shared.end.end())
                shared.end.push_back(std::move(line));
        shared.line_end = shared.line_end || (lookup.record.added_line_end && !shared.end.empty());
    }
    return shared;
}

bool names_output(const personality_line& line, const std::string& output, const header_search& disk)
{
    const std::string& named = line.directory();
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
    const std::vector<personality_line>& lines = other.text.lines();
    return std::any_of(lines.begin(), lines.end(),
                       [&](const personality_line& line) { return names_output(line, output, disk); });
}

bool same_file(const std::string& a, const std::string& b)
{
    platform::file_identity first, second;
    if (platform::identify(a, first) && platform::identify(b, second))
        return first == second;
    return a == b;
}
