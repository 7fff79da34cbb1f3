// The path rule on what the plan makes: every name the writers hand it is
// recorded in a form the record's reader takes, or not written at all; and
// where a record says its output lies.
#include <gtest/gtest.h>

#include "paths.h"
#include "record_paths.h"
#include "tree_plan.h"
#include "recorded_maps.h"
#include "tree_record.h"

namespace {

TEST(PlanPaths, WhatThePlanRecordsReadsBackAndWhatItCannotIsNotWritten)
{
    const std::string out = "out";
    const std::string boost = paths::join("lib", "boost");
    const std::string stubs = paths::join(out, "system");
    struct row {
        std::string path;      // as a writer hands it to the plan
        const char* recorded;  // nullptr: skipped, and named
    };
    const std::vector<row> rows = {
        {paths::mirror_path(boost, out, paths::join(boost, "a.hpp")), "boost/a.hpp"},
        {paths::mirror_path(boost, out, paths::join(boost, "a..b.hpp")), "boost/a..b.hpp"},
        {paths::mirror_path(boost, out, paths::join(boost, "...")), "boost/..."},
        // A backslash is a name byte on POSIX; the reader takes it as a separator.
        {paths::mirror_path(boost, out, paths::join(boost, "..\\odd.hpp")), nullptr},
        {paths::mirror_path(boost, out, paths::join(boost, "x\\..\\..\\odd.hpp")), nullptr},
        // A stub's path: the include's name made plain first.
        {paths::join(stubs, paths::plain_relative("./stdio.h")), "system/stdio.h"},
        {paths::join(stubs, paths::plain_relative("sys//types.h")), "system/sys/types.h"},
        {paths::join(stubs, paths::plain_relative("sys/./types.h")), "system/sys/types.h"},
    };
    tree_plan plan;
    plan.start(out, tree_plan::mode::check, nullptr, true);
    std::set<std::string> expected;
    std::vector<std::string> skipped;
    for (const row& r : rows) {
        if (r.recorded && !expected.insert(r.recorded).second)
            continue;  // one file, one name: the plan is not told twice
        EXPECT_TRUE(plan.file(r.path, "x").ok()) << r.path;
        if (!r.recorded)
            skipped.push_back(path_in_output(out, plan.relative(r.path)));
    }
    // A directory the record cannot hold is named; what lies below it is not.
    const std::string odd_directory = paths::mirror_path(boost, out, paths::join(boost, "..\\dir"));
    EXPECT_EQ(plan.directory(odd_directory), directory_status::ok);
    EXPECT_TRUE(plan.file(paths::join(odd_directory, "a.hpp"), "x").ok());
    skipped.push_back(path_in_output(out, plan.relative(odd_directory)));
    EXPECT_EQ(plan.unrecordable, skipped);
    EXPECT_EQ(plan.directories().count(plan.relative(odd_directory)), 0u);

    tree_record record;
    record.planned = plan.files();
    std::string why;
    const std::optional<tree_record> back = parse_record(record_text(record), why);
    ASSERT_TRUE(back) << why;
    std::set<std::string> read;
    for (const auto& [path, value] : digests_of(back->files))
        read.insert(path);
    EXPECT_EQ(read, expected);
}

TEST(PlanPaths, TheRecordSaysWhereItsOutputLies)
{
    tree_record record;
    record.output = "out";
    record.output_folder = paths::join(paths::join("", "work"), "out");
    std::string why;
    std::optional<tree_record> back = parse_record(record_text(record), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->output_folder, record.output_folder);
    EXPECT_EQ(recorded_output_folder(*back), record.output_folder);

    // An earlier Skeld's record has no such line: its spelling is resolved
    // from where Skeld runs.
    record.output_folder.clear();
    back = parse_record(record_text(record), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->output_folder, "");
    EXPECT_EQ(recorded_output_folder(*back), paths::resolve_for_output("out"));
}

}  // namespace
