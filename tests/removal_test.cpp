// Removal by a record: only what still holds what Skeld wrote, never through
// a link, not even one that appears between the check and the deletion.
#include <gtest/gtest.h>

#include <sstream>

#include "recorded_maps.h"
#include "remove_recorded.h"
#include "remove_tree.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [relative, bytes] : files) {
            write_file(dir / "out" / relative, bytes);
            write_file(dir / "elsewhere" / fs::path(relative).filename(), bytes);
            put_file(record.files, relative, digest_of(bytes));
        }
        record.directories = {"boost", "system"};
    }
    std::string out(const std::string& relative = "") const
    {
        return (relative.empty() ? dir / "out" : dir / "out" / relative).make_preferred().string();
    }
    // Every file below a directory of the scratch directory, '/' between components.
    std::vector<std::string> files_below(const std::string& relative) const
    {
        std::vector<std::string> found;
        for (auto entry = fs::recursive_directory_iterator(dir / relative); entry != fs::recursive_directory_iterator();
             ++entry)
            if (!entry->is_directory() || entry->is_symlink())
                found.push_back(entry->path().lexically_relative(dir / relative).generic_string());
        std::sort(found.begin(), found.end());
        return found;
    }
    // A link, where this build's library makes one.
    bool linked(const fs::path& target, const fs::path& link) const
    {
        std::error_code failed;
        fs::remove_all(link);
        fs::is_directory(target) ? fs::create_directory_symlink(target, link, failed) : fs::create_symlink(target, link, failed);
        return !failed;
    }

    const std::map<std::string, std::string> files = {
        {"boost/c.hpp", "c\n"}, {"system/a.h", "a\n"}, {"system/b.h", "b\n"}};
    const std::vector<std::string> elsewhere = {"a.h", "b.h", "c.hpp"};
    scratch_dir dir;
    tree_record record;
};

TEST_F(Removal, OnlyUnchangedFilesGoAndNothingThroughALink)
{
    struct removal_case {
        const char* what;
        std::function<bool()> change;  // false: cannot be made here
        std::vector<std::string> left_lines;
        std::vector<std::string> left_files;
    };
    const std::string link = ": a link leads to it, and Skeld removes nothing through a link";
    const removal_case cases[] = {
        {"all unchanged", [] { return true; }, {}, {}},
        {"a file changed",
         [this] { write_file(dir / "out/boost/c.hpp", "mine\n"); return true; },
         {"Left " + out("boost/c.hpp") + ": it changed since Skeld wrote it"},
         {"boost/c.hpp"}},
        {"a directory in a file's place",
         [this] { fs::remove(dir / "out/boost/c.hpp"); fs::create_directory(dir / "out/boost/c.hpp"); return true; },
         {"Left " + out("boost/c.hpp") + ": it is no longer the file Skeld wrote"},
         {}},
        {"a file linked elsewhere",
         [this] { return linked(dir / "elsewhere/c.hpp", dir / "out/boost/c.hpp"); },
         {"Left " + out("boost/c.hpp") + ": it is no longer the file Skeld wrote"},
         {"boost/c.hpp"}},
        {"a directory linked elsewhere",
         [this] { return linked(dir / "elsewhere", dir / "out/system"); },
         {"Left " + out("system/a.h") + link, "Left " + out("system/b.h") + link},
         {"system"}},
    };
    for (const removal_case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "out");
        SetUp();
        if (!c.change())
            continue;  // MinGW's library makes no links
        const removal_report check = remove_recorded(out(), record, {}, false);
        EXPECT_EQ(check.removed, files.size() - c.left_lines.size());
        const removal_report report = remove_recorded(out(), record, {}, true);
        EXPECT_EQ(report.left, c.left_lines);
        EXPECT_EQ(report.removed, check.removed);
        EXPECT_FALSE(report.failed);
        EXPECT_EQ(files_below("out"), c.left_files);
        EXPECT_EQ(files_below("elsewhere"), elsewhere);
    }
}

TEST_F(Removal, ADirectorySwappedBetweenCheckAndDeletionLeadsNowhere)
{
    write_file(dir / "p.p_c", "-sd A\n");
    record.personality = (dir / "p.p_c").string();
    std::swap(record.planned, record.files);  // written as a run's own lines
    std::string failure;
    ASSERT_TRUE(write_record(out(), record, "", failure)) << failure;

    platform::inject_fault(platform::injected_fault{platform::fault_op::swap_directory, out("system"),
                                                    (dir / "elsewhere").string()});
    generator_state state;
    std::ostringstream console;
    state.console = &console;
    const int status = remove_tree(state, (dir / "p.p_c").string(), out());
    platform::inject_fault(std::nullopt);

    // Nothing outside the output went, whatever the swap left in its place.
    EXPECT_EQ(files_below("elsewhere"), elsewhere);
    EXPECT_EQ(read_file(dir / "p.p_c"), "-sd A\n");
    if (fs::exists(dir / "out/system.moved")) {
        EXPECT_EQ(files_below("out"), std::vector<std::string>{"system"}) << console.str();
        EXPECT_NE(console.str().find("Left 1 files Skeld did not write (or that changed since) in " + out() + ": system\n"),
                  std::string::npos)
            << console.str();
    } else {
        // Windows: a directory held open cannot be renamed, so the swap never happened.
        EXPECT_EQ(files_below("out"), std::vector<std::string>{}) << console.str();
    }
    EXPECT_EQ(status, 0) << console.str();
}

TEST_F(Removal, AFileTheDeleteLeavesStaysInTheRecordUntilTheNextRemovalTakesIt)
{
    write_file(dir / "p.p_c", "-sd A\n");
    record.personality = (dir / "p.p_c").string();
    record.output = out();
    std::string failure;
    ASSERT_TRUE(write_record(out(), record, "", failure)) << failure;

    // A delete that answers success and deletes nothing is caught by the look
    // that follows it; the file stays recorded, with its directory.
    platform::inject_fault(platform::injected_fault{platform::fault_op::ignored_delete, "a.h"});
    generator_state state;
    std::ostringstream console;
    state.console = &console;
    int status = remove_tree(state, (dir / "p.p_c").string(), out());
    platform::inject_fault(std::nullopt);
    EXPECT_EQ(status, 1);
    EXPECT_NE(console.str().find("Couldn't remove " + out("system/a.h") +
                                 ": the system said it was deleted, yet it is still there\n"),
              std::string::npos)
        << console.str();
    EXPECT_EQ(files_below("out"), (std::vector<std::string>{"skeld-record.txt", "system/a.h"}));
    const record_lookup kept = read_record(out());
    ASSERT_EQ(kept.outcome, record_lookup::status::ok) << kept.why_not;
    EXPECT_EQ(digests_of(kept.record.files), (std::map<std::string, digest>{{"system/a.h", digest_of("a\n")}}));
    EXPECT_EQ(kept.record.directories, std::set<std::string>{"system"});

    console.str("");
    status = remove_tree(state, (dir / "p.p_c").string(), out());
    EXPECT_EQ(status, 0) << console.str();
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
}

}  // namespace
