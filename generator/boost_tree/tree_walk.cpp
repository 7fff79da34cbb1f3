#include "tree_walk.h"

#include <algorithm>
#include <vector>

#include "forwarding_batch.h"
#include "forwarding_header.h"
#include "output_file.h"
#include "paths.h"
#include "text_files.h"

std::vector<nonboost_entry> parse_nonboost_list(std::string_view text)
{
    std::vector<nonboost_entry> entries;
    for_each_line(text, [&](std::string_view line) {
        auto value_after = [&](std::size_t keyword_end) { return trim(' ', std::string(line.substr(keyword_end))); };
        if (const std::size_t dir = line.find("-dir"); dir != std::string_view::npos)
            entries.push_back({nonboost_entry::kind::directory, value_after(dir + 4)});
        else if (const std::size_t file = line.find("-file"); file != std::string_view::npos)
            entries.push_back({nonboost_entry::kind::file, value_after(file + 5)});
    });
    return entries;
}

namespace {

struct walk_progress {
    // The directories being walked further up, by identity.
    std::vector<platform::file_identity> ancestors;
    bool forwarded_any = false;
    // Set for a walk that only counts the files, mirroring nothing.
    std::size_t* counted = nullptr;
    // Set for a writing walk whose work is shared among threads.
    forwarding_batch* batch = nullptr;
};

// A mirror directory left from an earlier run may be a link; the forwarding
// headers would be written wherever it leads, the original tree included.
void make_mirror_directory(generator_state& state, const std::string& mirror)
{
    if (state.plan.directory(mirror) == directory_status::link)
        throw run_ended{link_refusal(mirror)};
}

void walk_directory(generator_state& state, const std::string& directory, bool collect_only, walk_progress& walk)
{
    // A directory already being walked further up is a link cycle: its
    // content is on its way already.
    platform::file_identity identity;
    const bool identified = platform::identify(directory, identity);
    if (identified) {
        if (std::find(walk.ancestors.begin(), walk.ancestors.end(), identity) != walk.ancestors.end())
            return;
        walk.ancestors.push_back(identity);
    }

    const bool listed =
        paths::for_each_entry(directory, [&](const std::string&, const std::string& path, platform::entry_kind kind) {
            if (kind == platform::entry_kind::directory) {
                if (walk.batch)
                    walk.batch->directory(paths::mirror_path(state.orig_header_loc, state.config_output_loc, path));
                else if (!walk.counted)
                    make_mirror_directory(state,
                                          paths::mirror_path(state.orig_header_loc, state.config_output_loc, path));
                walk_directory(state, path, collect_only, walk);
            } else if (walk.counted) {
                ++*walk.counted;
            } else if (collect_only) {
                state.nonboost_paths.insert(path);
            } else {
                if (walk.batch)
                    walk.batch->file(path);
                else
                    write_forwarding_header(state, path);
                walk.forwarded_any = true;
            }
        });
    if (!listed && !walk.counted) {
        // In the tree itself a directory out of reach would leave its files
        // without forwarding headers; a list entry merely names nothing then.
        if (!collect_only) {
            if (walk.batch) {
                walk.batch->finish();  // what comes before it in the walk's order first
                walk.batch->write_journalled();
            }
            throw run_ended{"Couldn't open header for reading- " + directory + ". Please check folder permissions"};
        }
        say(state, "failed FINDFIRSTFILE");
    }

    if (identified)
        walk.ancestors.pop_back();
}

}  // namespace

void read_nonboost_list(generator_state& state)
{
    std::string text;
    const read_result read = read_text_file(data_file(state, "treat_as_nonboost.txt"), text);
    if (read.outcome == read_result::status::cannot_open) {
        say(state, "Could not open treat_as_nonboost.txt for reading");
        return;
    }
    if (!read.ok())
        throw run_ended{"Error: Cannot read " + data_file(state, "treat_as_nonboost.txt") + read.why()};

    for (const nonboost_entry& entry : parse_nonboost_list(text)) {
        if (entry.what == nonboost_entry::kind::file) {
            state.nonboost_paths.insert(paths::with_native_separators(paths::join(state.orig_header_loc, entry.value)));
            continue;
        }
        const std::string value = paths::with_native_separators(entry.value);
        // The collect walk mirrors what it finds: it must stay inside the tree.
        if (paths::has_parent_component(value)) {
            say(state, "Skipped exclusion entry -dir " + value + ": it leads outside " + state.orig_header_loc);
            continue;
        }
        walk_boost_tree(state, paths::join(state.orig_header_loc, value), true);
    }
}

namespace {

// The output and its substitute tree count as being walked already: a link
// to them from inside Boost would have the walk chase its own output.
walk_progress walk_beside_output(const generator_state& state)
{
    walk_progress walk;
    for (const std::string& output : {state.config_output_loc, paths::substitute_tree(state.config_output_loc)}) {
        platform::file_identity identity;
        if (platform::identify(output, identity))
            walk.ancestors.push_back(identity);
    }
    return walk;
}

}  // namespace

std::size_t count_boost_files(generator_state& state)
{
    std::size_t count = 0;
    walk_progress walk = walk_beside_output(state);
    walk.counted = &count;
    walk_directory(state, state.orig_header_loc, false, walk);
    return count;
}

void walk_boost_tree(generator_state& state, const std::string& directory, bool collect_only)
{
    walk_progress walk = walk_beside_output(state);
    if (collect_only || state.jobs <= 1) {
        walk_directory(state, directory, collect_only, walk);
    } else {
        work_share share(state.jobs);
        forwarding_batch batch(state, share);
        walk.batch = &batch;
        walk_directory(state, directory, collect_only, walk);
        batch.finish();
        if (std::optional<tree_plan::failed_write> failed = state.plan.flush())
            end_at_failed_header(*failed);
        batch.write_journalled();
    }
    if (std::optional<tree_plan::failed_write> failed = state.plan.flush())
        end_at_failed_header(*failed);

    // Microsoft's runtime headers open with yvals.h: once any header is
    // forwarded, a personality that may name Microsoft's compiler gets its
    // stub. Decided here once, not for every file of the tree.
    if (walk.forwarded_any &&
        (state.possible_defines.count("_MSC_VER") || state.possible_defines.count("_MSC_EXTENSIONS")))
        state.included_system_headers.insert("yvals.h");
}
