// Which output files a re-run reads: only those whose stamp cannot vouch for
// the bytes the record names. The stamps are given here, never raced for.
#include <gtest/gtest.h>

#include "held_along_walk.h"
#include "recorded_maps.h"
#include "scratch_dir.h"
#include "text_files.h"
#include "tree_plan.h"

namespace {

TEST(OutputStamp, AStampVouchesOnlyWhenUnmovedAndOlderThanTheRecord)
{
    struct row {
        const char* what;
        std::optional<std::uint64_t> recorded;
        std::uint64_t now;
        std::int64_t modified;
        bool vouches;
    };
    const std::int64_t record_at = 1000;
    for (const row& r : {row{"unchanged, older than the record", 7, 7, 999, true},
                         row{"written in the record's own tick", 7, 7, 1000, false},
                         row{"written after the record", 7, 7, 1001, false},
                         row{"stamp moved", 8, 7, 999, false},
                         row{"no stamp recorded", std::nullopt, 7, 999, false},
                         row{"no stamp taken after the write", 0, 0, 999, false}})
        EXPECT_EQ(stamp_vouches(r.recorded, platform::file_stamp{r.now, r.modified}, record_at), r.vouches) << r.what;
}

// The disk holds "old" while the record says Skeld wrote "new": a file that
// is not read counts as unchanged, one that is read as changed.
class PlanStamps : public ::testing::Test {
protected:
    std::string out() const { return (dir / "out").make_preferred().string(); }
    std::string file() const { return (dir / "out/boost/a.hpp").make_preferred().string(); }
    void SetUp() override { write_file(dir / "out/boost/a.hpp", "old\n"); }

    // Plans a.hpp holding "new" in a check against a record with the given
    // stamp and time; whether the check read it.
    bool read_in_check(std::optional<std::uint64_t> stamp, std::int64_t record_later_by, bool journalled = false)
    {
        platform::file_stamp now;
        EXPECT_TRUE(platform::stamp_of_file(file(), now));
        earlier = {};
        std::string converted;
        std::optional<std::uint64_t> recorded_stamp;
        if (stamp)
            recorded_stamp = *stamp == 1 ? now.fold : *stamp;
        put_file(earlier.files, "boost/a.hpp", digest_of(file_text("new\n", converted)), recorded_stamp, journalled);
        earlier.written_at = now.modified + record_later_by;
        tree_plan plan;
        plan.start(out(), tree_plan::mode::check, &earlier, false);
        (void)plan.file(file(), "new\n");
        EXPECT_EQ(plan.written + plan.unchanged, 1u);
        return plan.written == 1;
    }

    scratch_dir dir;
    tree_record earlier;
};

TEST_F(PlanStamps, OnlyAFileItsStampCannotVouchForIsRead)
{
    struct row {
        const char* what;
        std::optional<std::uint64_t> stamp;  // 1: the file's own
        std::int64_t record_later_by;
        bool journalled;
        bool read;
    };
    for (const row& r : {row{"unchanged and old: trusted", 1, 1, false, false},
                         row{"rewritten within the tick, size and time kept", 1, 0, false, true},
                         row{"stamp moved", 42, 1, false, true},
                         row{"record without stamps", std::nullopt, 1, false, true},
                         row{"named by a stopped run's journal", 1, 1, true, true}}) {
        EXPECT_EQ(read_in_check(r.stamp, r.record_later_by, r.journalled), r.read) << r.what;
    }
}

TEST_F(PlanStamps, ARunRecordsTheStampAFileHasAfterItsLastWrite)
{
    tree_plan plan;
    plan.start(out(), tree_plan::mode::run, nullptr, true);
    ASSERT_FALSE(plan.file_with_its_directory(file(), "written\n", "boost/a.hpp"));
    ASSERT_FALSE(plan.flush());
    (void)plan.file((dir / "out/b.h").make_preferred().string(), "alone\n");
    plan.stamp_the_rest();
    tree_record written;
    written.planned = plan.files();
    const std::string lines = record_text(written);
    ASSERT_TRUE(plan.close_journal());
    std::string why;
    const std::optional<tree_record> record = parse_record(lines, why);  // the lines parse as the record's
    ASSERT_TRUE(record) << why;
    ASSERT_EQ(record->files.size(), 2u);
    for (const char* relative : {"boost/a.hpp", "b.h"}) {
        platform::file_stamp now;
        ASSERT_TRUE(platform::stamp_of_file((dir / "out" / relative).make_preferred().string(), now));
        EXPECT_EQ(stamps_of(record->files).at(relative), now.fold) << relative << "\n" << lines;
    }
}

}  // namespace

namespace {

// A Boost file's stamp taken from its directory's listing (or relative to
// the directory held open) is the one its own query gives, in the order a
// walk asks, a directory's files coming again after its subdirectory's:
// otherwise every run again would scan every file anew.
TEST(OutputStamp, AListingGivesTheStampsTheFilesThemselvesGive)
{
    scratch_dir dir;
    const char* walk_order[] = {"a.hpp", "sub/c.hpp", "sub/deeper/d.hpp", "sub/e.hpp", "b.hpp", "other/f.hpp"};
    for (const char* name : walk_order)
        write_file(dir / "boost" / name, name);
    for (const char* name : walk_order) {
        const std::string path = (dir / "boost" / name).make_preferred().string();
        std::uint64_t own = 0, listed = 0;
        ASSERT_TRUE(platform::change_stamp(path, own));
        ASSERT_TRUE(platform::listed_change_stamp(path, listed));
        EXPECT_EQ(listed, own) << name;
    }
}

// What a walk holds for a directory is made once while the walk is below
// it, and let go once it has left.
TEST(OutputStamp, AWalkHoldsEachDirectoryOnItsWayDownOnce)
{
    struct ask {
        const char* directory;
        int made;  // how many were made up to now
    };
    const ask walk[] = {{"/b", 1},         {"/b/sub", 2}, {"/b/sub/deeper", 3}, {"/b/sub", 3},
                        {"/b/subtle", 4},  {"/b/sub", 5}, {"/b", 5},            {"/b/other", 6}};
    platform::held_along_walk<std::string> held;
    int made = 0;
    for (const ask& a : walk) {
        const std::string& got = held.at(a.directory, [&](const std::string& directory) {
            ++made;
            return directory;
        });
        EXPECT_EQ(got, a.directory);
        EXPECT_EQ(made, a.made) << a.directory;
    }
}

}  // namespace
