// The output module, checked reads and the personality edit, with the disk's
// faults injected through the platform module.
#include <gtest/gtest.h>

#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "recorded_maps.h"
#include "remove_recorded.h"
#include "output_file.h"
#include "personality_update.h"
#include "scratch_dir.h"
#include "text_files.h"

namespace fs = std::filesystem;

namespace {

// Sets a fault for the scope of a test.
struct fault_scope {
    fault_scope(platform::fault_op op, std::string part) { platform::inject_fault(platform::injected_fault{op, part}); }
    ~fault_scope() { platform::inject_fault(std::nullopt); }
};

std::vector<std::string> names_in(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(OutputFile, WhatIsAtAGeneratedPathIsReplacedNeverWrittenThrough)
{
    scratch_dir dir;
    write_file(dir / "original.hpp", "original\n");
    fs::create_directory(dir / "out");
    fs::create_symlink(dir / "original.hpp", dir / "out/link.hpp");
    fs::create_symlink(dir / "nowhere.hpp", dir / "out/dangling.hpp");
    fs::create_hard_link(dir / "original.hpp", dir / "out/second-name.hpp");
    ASSERT_EQ(mkfifo((dir / "out/fifo.hpp").c_str(), 0644), 0);
    write_file(dir / "out/old.hpp", "an earlier run's text, longer than the new\n");
    for (const char* name : {"link.hpp", "dangling.hpp", "second-name.hpp", "fifo.hpp", "old.hpp", "new.hpp"}) {
        SCOPED_TRACE(name);
        const fs::path path = dir / "out" / name;
        EXPECT_TRUE(write_generated_file(path.string(), "generated\n").ok());
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
        EXPECT_EQ(read_file(path), "generated\n");
    }
    EXPECT_EQ(read_file(dir / "original.hpp"), "original\n");
    EXPECT_FALSE(fs::exists(dir / "nowhere.hpp"));

    fs::create_directory(dir / "out/taken.hpp");
    EXPECT_EQ(write_generated_file((dir / "out/taken.hpp").string(), "x").outcome, write_result::status::cannot_create);
}

TEST(OutputFile, AFailedWriteOrCloseIsReported)
{
    scratch_dir dir;
    for (platform::fault_op op : {platform::fault_op::write, platform::fault_op::close}) {
        fault_scope fault(op, "full");
        const write_result result = write_generated_file((dir / "full.hpp").string(), "text\n");
        EXPECT_EQ(result.outcome, write_result::status::write_failed);
        EXPECT_FALSE(result.reason.empty());
    }
}

TEST(OutputFile, OutputDirectoriesRefuseLinks)
{
    scratch_dir dir;
    fs::create_directory(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "linked");
    fs::create_directory(dir / "there");
    EXPECT_EQ(make_output_directory((dir / "new").string()), directory_status::ok);
    EXPECT_EQ(make_output_directory((dir / "there").string()), directory_status::ok);
    EXPECT_EQ(make_output_directory((dir / "linked").string()), directory_status::link);
    EXPECT_EQ(make_output_directory((dir / "missing/deeper").string()), directory_status::not_created);
}

TEST(InputFile, OnlyRegularFilesAreReadAndEveryFailureIsTold)
{
    scratch_dir dir;
    write_file(dir / "file", "text");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);  // no writer: a blocking read would hang
    fs::create_directory(dir / "directory");
    fs::create_symlink("/dev/zero", dir / "device");  // endless
    struct read_case {
        const char* name;
        read_result::status outcome;
    };
    for (const read_case& c : {read_case{"file", read_result::status::ok},
                               {"fifo", read_result::status::not_regular},
                               {"directory", read_result::status::not_regular},
                               {"device", read_result::status::not_regular},
                               {"missing", read_result::status::cannot_open}}) {
        std::string bytes;
        EXPECT_EQ(read_file_bytes((dir / c.name).string(), bytes).outcome, c.outcome) << c.name;
    }
    fault_scope fault(platform::fault_op::read, "file");
    std::string bytes;
    EXPECT_EQ(read_file_bytes((dir / "file").string(), bytes).outcome, read_result::status::read_failed);
}

TEST(PersonalityEdit, TheEditedTextKeepsTheOldBytes)
{
    struct edit_case {
        const char* old_text;
        std::vector<std::string> tops;
        std::set<std::string> settings;
        const char* edited;
    };
    const edit_case cases[] = {
        {"-sd A\n",
         {"out", "out/system"},
         {"-b", "-a"},
         "-si \"out/system\"\n-q \"out/system\"\n-si \"out\"\n-q \"out\"\n-sd A\n-a\n-b\n"},
        {"-sd A\r\n-w2\r\n", {"D"}, {"-a"}, "-si \"D\"\r\n-q \"D\"\r\n-sd A\r\n-w2\r\n-a\r\n"},
        {"-sd A\n-w2", {}, {"-a"}, "-sd A\n-w2\n-a\n"},  // the last line keeps itself
        {"-sd A\r\n-w2", {}, {"-a"}, "-sd A\r\n-w2\r\n-a\r\n"},
        {"-sd A", {"D"}, {}, "-si \"D\"\n-q \"D\"\n-sd A"},
        {"-sd A\n", {}, {}, "-sd A\n"},
        // Run again: what the personality holds is not added twice.
        {"-si \"out/system\"\n-q \"out/system\"\n-si \"out\"\n-q \"out\"\n-sd A\n-a\n-b\n",
         {"out", "out/system"},
         {"-b", "-a"},
         "-si \"out/system\"\n-q \"out/system\"\n-si \"out\"\n-q \"out\"\n-sd A\n-a\n-b\n"},
        {"  -si out/\r\n-sd A\r\n-a\r\n", {"out"}, {"-a", "-b"}, "-q \"out\"\r\n  -si out/\r\n-sd A\r\n-a\r\n-b\r\n"},
        {"-si \"other\"\n-q \"other\"\n-sd A", {"out"}, {}, "-si \"out\"\n-q \"out\"\n-si \"other\"\n-q \"other\"\n-sd A"},
    };
    // The same directory however spelt: here, with or without a trailing '/'.
    const same_directory_test same = [](std::string a, std::string b) {
        while (a.ends_with('/'))
            a.pop_back();
        while (b.ends_with('/'))
            b.pop_back();
        return a == b;
    };
    for (const edit_case& c : cases)
        EXPECT_EQ(edited_personality(personality_text(c.old_text), c.tops, c.settings, same).text(), c.edited) << c.old_text;
}

class PersonalityFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.console = &console;
        write_file(dir / "p.p_c", old_text);
    }
    bool edit(const std::string& path)
    {
        personality_file personality;
        open_personality(path, personality);
        return write_personality(state, personality, {"D"}, {"-a"});
    }

    const std::string old_text = "-sd A\r\n-w2\r\n";
    const std::string new_text = "-si \"D\"\r\n-q \"D\"\r\n-sd A\r\n-w2\r\n-a\r\n";
    scratch_dir dir;
    generator_state state;
    std::ostringstream console;
};

TEST_F(PersonalityFile, ANewTextThatCannotBeWrittenOrMovedLeavesTheOldAndTellsWhatToAdd)
{
    for (platform::fault_op op : {platform::fault_op::write, platform::fault_op::close, platform::fault_op::replace}) {
        console.str("");
        fault_scope fault(op, "p.p_c");
        EXPECT_FALSE(edit((dir / "p.p_c").string()));
        EXPECT_EQ(read_file(dir / "p.p_c"), old_text);
        EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"p.p_c"});
        EXPECT_EQ(console.str(),
                  "Error: Cannot open - " + (dir / "p.p_c").string() +
                      " for editing. Please add the following entries to the top of this file:\n"
                      "-si \"D\"\n-q \"D\"\nPlease add the following entries to the end of this file:\n-a\n");
    }
}

TEST_F(PersonalityFile, ALinkStaysALinkAndTheFileKeepsItsMode)
{
    fs::permissions(dir / "p.p_c", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                    fs::perm_options::replace);
    fs::create_symlink("p.p_c", dir / "link.p_c");
    EXPECT_TRUE(edit((dir / "link.p_c").string()));
    EXPECT_EQ(console.str(), "");
    EXPECT_TRUE(fs::is_symlink(dir / "link.p_c"));
    EXPECT_EQ(read_file(dir / "p.p_c"), new_text);
    EXPECT_EQ(fs::status(dir / "p.p_c").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(names_in(dir.path()), (std::vector<std::string>{"link.p_c", "p.p_c"}));
}

TEST_F(PersonalityFile, AnotherRunOrAnotherEditorIsNeverOverwritten)
{
    personality_file first;
    open_personality((dir / "p.p_c").string(), first);
    personality_file second;
    try {
        open_personality((dir / "p.p_c").string(), second);
        ADD_FAILURE() << "a second run opened a held personality";
    } catch (const run_ended& end) {
        EXPECT_NE(end.message.find("is being edited by another run of Skeld"), std::string::npos);
    }

    write_file(dir / "p.p_c", "-sd A\r\n-w3\r\n");  // changed while the run went on
    EXPECT_FALSE(write_personality(state, first, {"D"}, {"-a"}));
    EXPECT_EQ(read_file(dir / "p.p_c"), "-sd A\r\n-w3\r\n");
    EXPECT_EQ(names_in(dir.path()), std::vector<std::string>{"p.p_c"});
}

TEST(DataDirectory, TheWorkingDirectoryWhenItHoldsTheDataElseBesideTheProgram)
{
    scratch_dir dir;
    const fs::path before = fs::current_path();
    fs::create_directory(dir / "empty");
    write_file(dir / "own/possible_defines.txt", "FOO\n");
    generator_state state;

    fs::current_path(dir / "own");
    choose_data_directory(state);
    EXPECT_EQ(data_file(state, "treat_as_nonboost.txt"), "treat_as_nonboost.txt");

    fs::current_path(dir / "empty");
    choose_data_directory(state);  // the test program's directory holds the data files
    fs::current_path(before);
    EXPECT_EQ(data_file(state, "treat_as_nonboost.txt"), platform::program_directory() + "/treat_as_nonboost.txt");
    EXPECT_EQ(where_data_was_looked_for(state), "");
}

TEST(NativeRemoval, OnlyTheWayDownIsHeldOpenHoweverManyDirectoriesTheTreeHas)
{
    scratch_dir dir;
    tree_record record;
    for (int i = 0; i < 100; ++i) {
        const std::string relative = std::to_string(i) + "/deeper/h.hpp";
        write_file(dir / "out" / relative, "h\n");
        put_file(record.files, relative, digest_of("h\n"));
    }
    rlimit before;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit few = before;
    few.rlim_cur = 32;  // fewer than the tree's directories
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    const removal_report report = remove_recorded((dir / "out").string(), record, {}, true);
    setrlimit(RLIMIT_NOFILE, &before);
    EXPECT_EQ(report.removed, 100u);
    EXPECT_EQ(report.left, std::vector<std::string>{});
}

TEST(NativeRemoval, AFifoWhereAFileWasIsNeverOpened)
{
    scratch_dir dir;
    fs::create_directory(dir / "out");
    ASSERT_EQ(mkfifo((dir / "out/pipe.hpp").c_str(), 0644), 0);  // no writer: an open for reading would wait
    tree_record record;
    put_file(record.files, "pipe.hpp", digest_of(""));
    const removal_report report = remove_recorded((dir / "out").string(), record, {}, true);
    EXPECT_EQ(report.left,
              std::vector<std::string>{"Left " + (dir / "out/pipe.hpp").string() + ": it is no longer the file Skeld wrote"});
    EXPECT_TRUE(fs::is_fifo(dir / "out/pipe.hpp"));
}
