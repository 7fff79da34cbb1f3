#include <gtest/gtest.h>

#include "recorded_maps.h"
#include "tree_record.h"

TEST(TreeRecord, EveryNameAnIncludeCanCarryReadsBack)
{
    struct escape_case {
        std::string value;
        const char* written;
    };
    const escape_case cases[] = {
        {"system/./stdio.h", "system/./stdio.h"},
        {"a\rb", "a\\x0db"},
        {"C:\\lib\\boost", "C:\\lib\\boost"},  // a backslash stays legible...
        {"a\\xb", "a\\x5cxb"},                 // ...unless it would read as an escape
        {std::string("nul\0\x7f", 5), "nul\\x00\\x7f"},
    };
    for (const escape_case& c : cases) {
        EXPECT_EQ(record_escaped(c.value), c.written);
        std::string back;
        EXPECT_TRUE(record_unescaped(c.written, back));
        EXPECT_EQ(back, c.value);
    }
    std::string back;
    for (const char* malformed : {"a\\x", "a\\x0", "a\\xg0", "a\\x0D"})
        EXPECT_FALSE(record_unescaped(malformed, back)) << malformed;
}

TEST(TreeRecord, ThePathRuleAcceptsWhatThePlanMakesAndNothingOutside)
{
    for (const char* inside : {"boost/version.hpp", "system/./stdio.h", "system/.", "a b/c\r"})
        EXPECT_TRUE(record_path(inside)) << inside;
    for (const char* outside : {"", "/etc/passwd", "a//b", "a/", "../p.p_c", "system/../../p.p_c"})
        EXPECT_FALSE(record_path(outside)) << outside;
}

TEST(TreeRecord, AJournalCutShortByAKillGivesItsWholeLines)
{
    tree_record record;
    put_file(record.files, "boost/a.hpp", 1);
    add_journal(journal_head() + "Directory: boost\nFile: 0000000000000002 boost/a.hpp\n"
                                 "File: 0000000000000003 ../out.hpp\nFile: 0000000000000004 boost/b\\x0d.hpp\n"
                                 "File: 00000000000",
                record);
    EXPECT_EQ(digests_of(record.files), (std::map<std::string, digest>{{"boost/a.hpp", 2}, {"boost/b\r.hpp", 4}}));
    // The stamp of a file a stopped run may have written again is not kept.
    tree_record stamped;
    put_file(stamped.files, "boost/a.hpp", 1, 9);
    add_journal(journal_head() + "File: 0000000000000002/0000000000000000 boost/a.hpp\n", stamped);
    EXPECT_EQ(digests_of(stamped.files).at("boost/a.hpp"), 2u);
    EXPECT_TRUE(stamps_of(stamped.files).empty());
    EXPECT_EQ(record.directories, std::set<std::string>{"boost"});
}

TEST(TreeRecord, TheRecordReadsBackAsWritten)
{
    tree_record record;
    record.made_by = "Skeld 9";
    record.personality_file = "/p\r.p_c";
    record.added_top = {"-si \"/out\"", "-q \"/out\""};
    record.added_end = {"-a"};
    record.added_line_end = true;
    record.directories = {"system", "system/."};
    put_file(record.files, "system/./stdio.h", 7, 0xfedcba9876543210);
    put_file(record.files, "system/unstamped.h", 8);
    std::string why;
    const std::optional<tree_record> back = parse_record(record_text(record), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->personality_file, record.personality_file);
    EXPECT_EQ(back->added_top, record.added_top);
    EXPECT_EQ(back->added_end, record.added_end);
    EXPECT_TRUE(back->added_line_end);
    EXPECT_EQ(digests_of(back->files), digests_of(record.files));
    EXPECT_EQ(stamps_of(back->files), stamps_of(record.files));
    EXPECT_EQ(back->directories, record.directories);
}
