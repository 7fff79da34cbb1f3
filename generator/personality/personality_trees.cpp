#include "personality_trees.h"

#include <algorithm>

#include "paths.h"
#include "personality_scan.h"
#include "personality_update.h"
#include "text_files.h"

std::vector<std::string> other_trees(const std::vector<std::string>& include_dirs, const std::string& output,
                                     const header_search& disk)
{
    const std::string own_system = paths::join(paths::without_trailing_separators(output), "system");
    std::vector<std::string> trees;
    for (const std::string& directory : include_dirs) {
        if (!paths::is_absolute(directory) || !skelds_output(directory, disk) ||
            disk.same_directory(directory, output) || disk.same_directory(directory, own_system))
            continue;
        // A tree's system directory stands for the tree.
        std::string tree(paths::without_trailing_separators(directory));
        if (!disk.is_file(paths::join(tree, "AddAllCompilerFlags.h")))
            tree.resize(paths::last_separator_of_either(tree));
        if (std::find(trees.begin(), trees.end(), tree) == trees.end())
            trees.push_back(tree);
    }
    return trees;
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
