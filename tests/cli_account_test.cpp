// Skeld keeps account of what it made: a file that cannot be deleted stays
// recorded until a later run or removal takes it; the settings go with the
// last tree whatever the order; lines no record accounts for are named.
#include "skeld_cli.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "tree_record.h"

namespace fs = std::filesystem;

namespace {

// A file made immutable, which not even root may delete, as long as this
// lives. Under Wine, Skeld.exe's delete of it answers success and does
// nothing, which is the point.
class immutable_file {
public:
    explicit immutable_file(fs::path file) : file_(std::move(file)) { set_ = flag(true); }
    ~immutable_file() { release(); }
    immutable_file(const immutable_file&) = delete;
    immutable_file& operator=(const immutable_file&) = delete;
    bool set() const { return set_; }
    void release()
    {
        if (set_)
            set_ = !flag(false);
    }

private:
    bool flag(bool on) const
    {
        const int fd = ::open(file_.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return ok;
    }
    fs::path file_;
    bool set_ = false;
};

class Account : public SkeldCli {
protected:
    void lay_out() override
    {
        put("boost_compiler_person_settings.txt", "-b\n-a\n");
        put("lib/boost/version.hpp", "#define BOOST_VERSION 107400\n#include <vector>\n");
        put("lib/boost/old/gone.hpp", "#include <__config>\n");
        put("p.p_c", personality());
    }
    // The personality names Boost's parent: Skeld adds its entries on top and
    // the settings at the end.
    std::string personality() const { return "-sd FOO=1\n-si \"" + at("lib") + "\""; }
    std::vector<std::string> remove(const std::string& output = "out") const
    {
        return {"--remove", at("p.p_c"), at(output)};
    }
    std::vector<std::string> check() const { return {"--check", at("p.p_c"), at("lib/boost"), at("out")}; }
    bool says(const program_result& result, const std::string& start) const
    {
        return result.output.find(target().line_end + start) != std::string::npos || result.output.starts_with(start);
    }
};

TEST_P(Account, AFileThatCannotBeDeletedStaysRecordedUntilTheNextRemoval)
{
    ASSERT_EQ(run_default().status, 0);
    immutable_file held(dir / "out/system/vector");
    if (!held.set())
        GTEST_SKIP() << "the file system of " << dir.path() << " refuses the immutable flag";
    program_result result = run(remove());
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_TRUE(says(result, "Couldn't remove " + at("out/system/vector") + ": ")) << result.output;
    EXPECT_TRUE(says(result, "Kept " + at("out/skeld-record.txt") + " for the 1 files Skeld could not remove"))
        << result.output;
    EXPECT_EQ(files_below("out"), (std::vector<std::string>{"skeld-record.txt", "system/vector"}));
    EXPECT_EQ(get("p.p_c"), personality());

    held.release();
    result = run(remove());
    EXPECT_EQ(result.output, printed({"Removed 1 files of the tree Skeld made in " + at("out")}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
    EXPECT_EQ(get("p.p_c"), personality());
}

TEST_P(Account, ACleanUpThatFailsKeepsTheFileAndTheNextRunFinishesIt)
{
    ASSERT_EQ(run_default().status, 0);
    fs::remove_all(dir / "lib/boost/old");
    immutable_file held(dir / "out/boost/old/gone.hpp");
    if (!held.set())
        GTEST_SKIP() << "the file system of " << dir.path() << " refuses the immutable flag";
    program_result result = run_default();
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_TRUE(says(result, "Couldn't remove " + at("out/boost/old/gone.hpp") + ": ")) << result.output;
    result = run(check());
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_TRUE(says(result, "Would remove: boost/old/gone.hpp")) << result.output;

    held.release();
    result = run_default();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(result.output.ends_with(printed({files_line(0, 8, 1)}))) << result.output;
    EXPECT_FALSE(exists("out/boost/old"));
    EXPECT_EQ(run(check()).status, 0);
}

TEST_P(Account, TheSettingsGoWithTheLastTreeInAnyOrder)
{
    struct order_case {
        const char* what;
        bool relative;
        std::vector<std::string> removal_order;
    };
    const order_case cases[] = {
        {"absolute, made first goes first", false, {"out", "out2"}},
        {"absolute, made last goes first", false, {"out2", "out"}},
        {"relative, made first goes first", true, {"out", "out2"}},
        {"relative, made last goes first", true, {"out2", "out"}},
    };
    for (const order_case& c : cases) {
        SCOPED_TRACE(c.what);
        put("p.p_c", personality());
        for (const std::string& output : {std::string("out"), std::string("out2")}) {
            fs::remove_all(dir / output);
            fs::create_directories(dir / output);
            const program_result made = c.relative ? run({"p.p_c", sep("lib/boost"), output})
                                                   : run({at("p.p_c"), at("lib/boost"), at(output)});
            ASSERT_EQ(made.status, 0) << made.output;
        }
        for (const std::string& output : c.removal_order) {
            const program_result removed =
                c.relative ? run({"--remove", "p.p_c", output}) : run({"--remove", at("p.p_c"), at(output)});
            EXPECT_EQ(removed.status, 0) << removed.output;
        }
        EXPECT_EQ(get("p.p_c"), personality());
        if (!every_build_run())
            break;  // the order rule is the same on every build: one case under Wine
    }
}

TEST_P(Account, LinesNoRecordAccountsForAreNamedAndRemovalSaysSo)
{
    struct record_case {
        const char* what;
        std::function<void()> lose;
    };
    const record_case cases[] = {
        {"a lost record", [&] { fs::remove(dir / "out/skeld-record.txt"); }},
        {"an edited comment",
         [&] {
             std::string text = get("out/skeld-record.txt");
             text.replace(text.find("please leave it"), 15, "please keep it!");
             put("out/skeld-record.txt", text);
         }},
    };
    for (const record_case& c : cases) {
        SCOPED_TRACE(c.what);
        put("p.p_c", personality());
        fresh_output();
        ASSERT_EQ(run_default().status, 0);
        const std::string edited = get("p.p_c");
        c.lose();
        ASSERT_EQ(run_default().status, 0);
        EXPECT_EQ(run(check()).status, 0);  // the finding is made the same way twice
        const program_result result = run(remove());
        const std::string left = "Left in " + at("p.p_c") + ": ";
        const std::string unnamed = " (it names the tree removed, and no record says Skeld added it: please take it out)";
        const std::string setting = " (a setting for Skeld's trees, of which the personality names none now, and no "
                                    "record says Skeld added it: please take it out)";
        std::vector<std::string> expected{"Removed 10 files of the tree Skeld made in " + at("out")};
        for (const std::string& entry : {"-si \"" + at("out/system") + "\"", "-q \"" + at("out/system") + "\"",
                                        "-si \"" + at("out") + "\"", "-q \"" + at("out") + "\""})
            expected.push_back(left + entry + unnamed);
        expected.insert(expected.end(), {left + "-a" + setting, left + "-b" + setting});
        EXPECT_EQ(result.output, printed(expected));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(get("p.p_c"), edited);
        EXPECT_EQ(files_below("out"), std::vector<std::string>{});
        if (!every_build_run())
            break;
    }
}

TEST_P(Account, ARecordOfTheEarlierFormatIsRead)
{
    if (!every_build_run())
        GTEST_SKIP() << "the record's rules are the same on every build; the native build runs them";
    ASSERT_EQ(run_default().status, 0);
    // The record as the earlier release wrote it: format 2, sealed.
    std::string text = get("out/skeld-record.txt");
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    text.replace(text.find("Skeld record 3\n"), 15, "Skeld record 2\n");
    const std::size_t end = text.rfind("End: ");
    std::string last = text.substr(end, text.rfind("seal ") + 5 - end);
    text.resize(end);
    char seal[17];
    std::snprintf(seal, sizeof seal, "%016llx", static_cast<unsigned long long>(digest_of(text)));
    put("out/skeld-record.txt", text + last + seal + "\n");
    const program_result result = run(remove());
    EXPECT_EQ(result.output, printed({"Removed 10 files of the tree Skeld made in " + at("out")}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("p.p_c"), personality());
}

TEST_P(Account, TwoRunsKilledInARowLeaveNothingOfTheFirstBehind)
{
    // Two Boosts with different files, in directories enough for a kill part
    // way: the files of a directory are written together.
    for (const std::string boost : {"b174/boost/", "b190/boost/"}) {
        put(boost + "config/compiler/gcc.hpp", "");
        put(boost + "config/platform/linux.hpp", "");
        for (int i = 0; i < 300; ++i)
            put(boost + "only" + boost.substr(1, 3) + "/d" + std::to_string(i / 10) + "/h" + std::to_string(i) + ".hpp",
                "");
    }
    auto made_for = [&](const std::string& boost) {
        return std::vector<std::string>{"--progress", at("p.p_c"), at(boost), at("out")};
    };
    // Killed a third of the way through the forwarding headers, each time.
    EXPECT_EQ(run_killed_at(made_for("b174/boost"), "Progress: headers ", 60).status, -1);
    EXPECT_EQ(run_killed_at(made_for("b190/boost"), "Progress: headers ", 60).status, -1);
    ASSERT_FALSE(files_below("out/boost/only174").empty());
    ASSERT_FALSE(files_below("out/boost/only190").empty());

    const program_result whole = run({at("p.p_c"), at("b190/boost"), at("out")});
    EXPECT_EQ(whole.status, 0) << whole.output;
    EXPECT_FALSE(exists("out/boost/only174")) << whole.output;
    EXPECT_FALSE(exists("out/skeld-journal.txt"));
    EXPECT_EQ(run({"--check", at("p.p_c"), at("b190/boost"), at("out")}).status, 0);
}

INSTANTIATE_FOR_BOTH_BUILDS(Account);

}  // namespace
