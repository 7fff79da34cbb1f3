#include "tree_walk.h"

#include <algorithm>
#include <vector>

#include "forwarding_header.h"
#include "output_file.h"
#include "text_files.h"

namespace {

// A list value may be written with either separator; one list serves every platform.
std::string native_separators(std::string value)
{
    std::replace(value.begin(), value.end(), platform::foreign_separator, platform::path_separator);
    return value;
}

std::string value_after(std::string_view line, std::size_t keyword_end)
{
    return trim(' ', std::string(line.substr(keyword_end)));
}

// The directories being walked further up, by identity.
struct walk_context {
    std::vector<platform::file_identity> ancestors;
};

// A mirror directory left from an earlier run may be a link; the forwarding
// headers would be written wherever it leads, the original tree included.
void make_mirror_directory(const std::string& mirror)
{
    if (make_output_directory(mirror) == directory_status::link)
        throw run_ended{link_refusal(mirror)};
}

bool walk_directory(generator_state& state, const std::string& directory, bool collect_only, walk_context& context)
{
    platform::directory_listing listing;
    if (!listing.open(directory)) {
        // In the tree itself a directory out of reach would leave its files
        // without forwarding headers; a list entry names nothing then.
        if (!collect_only)
            throw run_ended{"Couldn't open header for reading- " + directory + ". Please check folder permissions"};
        say(state, "failed FINDFIRSTFILE");
        return false;
    }

    // A directory already being walked further up is a link cycle: its
    // content is on its way already.
    auto& ancestors = context.ancestors;
    platform::file_identity identity;
    bool identified = platform::identify(directory, identity);
    if (identified) {
        if (std::find(ancestors.begin(), ancestors.end(), identity) != ancestors.end())
            return true;
        ancestors.push_back(identity);
    }

    std::string path;
    while (listing.next()) {
        const std::string& name = listing.name();
        if (name == "." || name == "..")
            continue;
        path.assign(directory).append(state.path_separator).append(name);

        platform::entry_kind kind = listing.kind();
        if (kind == platform::entry_kind::unknown)
            kind = platform::is_directory(path) ? platform::entry_kind::directory : platform::entry_kind::file;

        if (kind == platform::entry_kind::directory) {
            make_mirror_directory(mirror_path(state, path));
            walk_directory(state, path, collect_only, context);
        } else if (collect_only) {
            state.nonboost_paths.insert(path);
        } else {
            write_forwarding_header(state, path);
        }
    }

    if (identified)
        ancestors.pop_back();
    return true;
}

}  // namespace

bool read_nonboost_list(generator_state& state)
{
    std::string text;
    const read_result read = read_text_file(data_file(state, "treat_as_nonboost.txt"), text);
    if (read.outcome == read_result::status::cannot_open) {
        say(state, "Could not open treat_as_nonboost.txt for reading");
        return false;
    }
    if (!read.ok())
        throw run_ended{"Error: Cannot read " + data_file(state, "treat_as_nonboost.txt") + read.why()};
    for_each_line(text, [&](std::string_view line) {
        if (std::size_t dir = line.find("-dir"); dir != std::string_view::npos) {
            std::string value = native_separators(value_after(line, dir + 4));
            // The collect walk mirrors what it finds: it must stay inside the tree.
            if (has_parent_component(value)) {
                say(state, "Skipped exclusion entry -dir " + value + ": it leads outside " + state.orig_header_loc);
                return;
            }
            walk_boost_tree(state, state.orig_header_loc + state.path_separator + value, true);
        } else if (std::size_t file = line.find("-file"); file != std::string_view::npos) {
            std::string value = value_after(line, file + 5);
            state.nonboost_paths.insert(native_separators(state.orig_header_loc + state.path_separator + value));
        }
    });
    return true;
}

bool walk_boost_tree(generator_state& state, const std::string& directory, bool collect_only)
{
    // The output and its substitute tree count as being walked already: a link
    // to them from inside Boost would have the walk chase its own output.
    walk_context context;
    for (const std::string& output : {state.config_output_loc, substitute_tree(state)}) {
        platform::file_identity identity;
        if (platform::identify(output, identity))
            context.ancestors.push_back(identity);
    }
    return walk_directory(state, directory, collect_only, context);
}
