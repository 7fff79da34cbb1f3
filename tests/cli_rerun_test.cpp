// A tree over time, on the real program: runs again after the personality or
// Boost changed, --check, --remove, and records that cannot be trusted.
#include "skeld_cli.h"

#include <map>

namespace fs = std::filesystem;

namespace {

class Rerun : public SkeldCli {
protected:
    void lay_out() override
    {
        put("boost_compiler_person_settings.txt", "-b\n-a\n");
        put("lib/boost/version.hpp", "#define BOOST_VERSION 107400\n#include <vector>\n");
        put("lib/boost/old/gone.hpp", "#include <__config>\n");
        put("sys/vector", "");
        put("p.p_c", personality());
    }

    // The personality as the user keeps it: it names Boost's parent.
    std::string personality() const { return "-sd FOO=1\n-si \"" + at("lib") + "\"\n"; }

    // Every file below out with its bytes and modification time.
    struct seen {
        std::string bytes;
        fs::file_time_type time;
        bool operator==(const seen&) const = default;
    };
    std::map<std::string, seen> snapshot() const
    {
        std::map<std::string, seen> files;
        for (const std::string& file : files_below("out"))
            files[file] = {get("out/" + file), fs::last_write_time(dir / "out" / file)};
        files["p.p_c"] = {get("p.p_c"), fs::last_write_time(dir / "p.p_c")};
        return files;
    }

    std::string record() const { return get("out/skeld-record.txt"); }
};

TEST_P(Rerun, AMissingIncludeDirectoryCostsNoStub)
{
    put("p.p_c", "-sd FOO=1\n-si \"" + at("lib") + "\"\n-si \"" + at("vs/include") + "\"\n-si rel\n");
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    std::vector<std::string> expected = full_run();
    expected.insert(expected.end(),
                    {"Note: the personality's include directory " + at("vs/include") +
                         " does not exist; the stub rule leaves it out",
                     "Note: the personality's include directory rel is relative; the stub rule leaves it out",
                     files_line(10)});
    EXPECT_EQ(result.output, printed(expected));
    EXPECT_EQ(files_below("out/system"), (std::vector<std::string>{"__config", "vector"}));
}

TEST_P(Rerun, ARunAgainChangesNothingThatDidNotChangeAndRemovesWhatWentStale)
{
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    const std::string first_personality = get("p.p_c");
    const auto first = snapshot();
    EXPECT_EQ(files_below("out/system"), (std::vector<std::string>{"__config", "vector"}));

    // Unchanged inputs: not a byte, not a modification time.
    program_result again = run_default();
    EXPECT_EQ(again.output, printed(full_run()) + printed({files_line(0, 10)}));
    EXPECT_EQ(snapshot(), first);

    // The personality gains the compiler's directory: the stub that would
    // now answer for a header nobody has goes.
    put("p.p_c", first_personality + "-si \"" + at("sys") + "\"\n");
    put("out/boost/mine.txt", "the user's own\n");
    program_result after = run_default();
    EXPECT_EQ(after.output, printed(full_run()) + printed({"No stub for 1 of 2 header names: the personality's "
                                                           "include directories hold no such header",
                                                           files_line(0, 9, 1)}));
    EXPECT_EQ(files_below("out/system"), std::vector<std::string>{"vector"});
    EXPECT_EQ(get("out/boost/mine.txt"), "the user's own\n");

    // Boost changes in place: what a fresh run of the new tree writes, exactly.
    fs::remove_all(dir / "lib/boost/old");
    put("lib/boost/new.hpp", "");
    put("lib/boost/version.hpp", "#define BOOST_VERSION 109000\n#include <vector>\n");
    EXPECT_EQ(run_default().status, 0);
    const auto upgraded = files_below("out");
    fs::rename(dir / "out", dir / "upgraded");
    fs::create_directories(dir / "out/boost");
    put("out/boost/mine.txt", "the user's own\n");
    put("p.p_c", "-sd FOO=1\n-si \"" + at("lib") + "\"\n-si \"" + at("sys") + "\"\n");
    EXPECT_EQ(run_default().status, 0);
    EXPECT_EQ(upgraded, files_below("out"));
    for (const std::string& file : upgraded)
        if (file != "skeld-record.txt") {
            EXPECT_EQ(read_file(dir / "upgraded" / file), get("out/" + file)) << file;
        }
    EXPECT_FALSE(exists("upgraded/boost/old"));
    EXPECT_NE(read_file(dir / "upgraded/skeld-record.txt").find(lines("Boost version: 1.90.0\n")), std::string::npos);
}

TEST_P(Rerun, AFileTheUserChangedIsNeverRemovedOrOverwrittenSilently)
{
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    put("out/boost/version.hpp", "// edited by hand\n");
    put("out/boost/old/gone.hpp", "// edited by hand\n");
    fs::remove_all(dir / "lib/boost/old");
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output,
              printed(full_run()) + printed({"Rewrote " + at("out/boost/version.hpp") + ": it changed since Skeld wrote it",
                                             "Left " + at("out/boost/old/gone.hpp") + ": it changed since Skeld wrote it",
                                             files_line(1, 7, 1)}));
    EXPECT_EQ(get("out/boost/old/gone.hpp"), "// edited by hand\n");
    EXPECT_EQ(get("out/boost/version.hpp"), boost_pattern("boost/version.hpp"));
}

TEST_P(Rerun, ARecordThatCannotBeTrustedRemovesNothing)
{
    if (!every_build_run())
        GTEST_SKIP() << "the record's rules are the same on every build; the native build runs them";
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    const std::string good = record();
    const std::string stub_line = "system/__config";
    struct damage_case {
        const char* what;
        std::string text;
        const char* why;
    };
    std::string edited = good;
    edited.replace(edited.find(stub_line), stub_line.size(), "system/__confiG");
    std::string outside = good;
    outside.replace(outside.find(stub_line), stub_line.size(), "system/../../p.p_c");
    const damage_case cases[] = {
        {"truncated", good.substr(0, good.size() / 2), "its last line is missing"},
        {"edited", edited, "it was changed or cut short since Skeld wrote it"},
        {"not Skeld's", "hello\n", "it does not begin as Skeld writes it"},
        {"a link", "", "it is a link"},
    };
    for (const damage_case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh_output();
        put("p.p_c", personality());
        ASSERT_EQ(run_default().status, 0);
        fs::remove(dir / "out/skeld-record.txt");
        if (std::string(c.what) == "a link") {
            put("elsewhere.txt", good);
            fs::create_symlink(dir / "elsewhere.txt", dir / "out/skeld-record.txt");
        } else {
            put("out/skeld-record.txt", c.text);
        }
        // The stub the record lists would go, were the record believed.
        put("p.p_c", personality() + "-si \"" + at("sys") + "\"\n");
        program_result result = run_default();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output.rfind(printed({"Creating compiler header Files ...",
                                               "Skeld's record " + at("out/skeld-record.txt") + " cannot be trusted (" +
                                                   c.why +
                                                   "), so Skeld removes nothing on its word and writes the tree as on "
                                                   "a first run."}),
                                      0),
                  0u)
            << result.output;
        EXPECT_TRUE(exists("out/system/__config"));
        if (std::string(c.what) == "a link") {
            EXPECT_EQ(get("elsewhere.txt"), good);  // replaced, never written through
        }
        EXPECT_EQ(record().find("system/__config"), std::string::npos);
    }
    // A path that leads outside is never removed on the record's word.
    put("out/skeld-record.txt", outside);
    EXPECT_EQ(run_default().status, 0);
    EXPECT_TRUE(exists("p.p_c"));
}

TEST_P(Rerun, CheckAnswersWhetherARunWouldChangeAnything)
{
    put("p.p_c", personality());
    const std::vector<std::string> check = {"--check", at("p.p_c"), at("lib/boost"), at("out")};
    program_result result = run(check);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output.rfind(printed({"A run would write 10 files and remove 0 files in " + at("out") +
                                           ", and add 6 lines to the personality."}),
                                  0),
              0u)
        << result.output;
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
    EXPECT_EQ(get("p.p_c"), personality());

    ASSERT_EQ(run_default().status, 0);
    const auto written = snapshot();
    result = run(check);
    EXPECT_EQ(result.output,
              printed({"Up to date: a run would change nothing in " + at("out") + " or the personality."}));
    EXPECT_EQ(result.status, 0);

    fs::remove_all(dir / "lib/boost/old");
    result = run(check);
    EXPECT_EQ(result.output, printed({"A run would write 0 files and remove 2 files in " + at("out") +
                                      ", and add 0 lines to the personality.",
                                      "Would remove: boost/old/gone.hpp, system/__config"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(snapshot(), written);

    result = run({"--check", at("p.p_c"), at("lib/Boost"), at("out")});
    EXPECT_EQ(result.output, "Original location of boost must end with the .../boost subdirectory");
    EXPECT_EQ(result.status, 2);
}

TEST_P(Rerun, RemoveReturnsThePersonalityAndLeavesTheUsersFiles)
{
    put("p.p_c", personality());
    const std::string original = get("p.p_c");
    ASSERT_EQ(run_default().status, 0);
    put("out/notes.txt", "mine\n");
    program_result result = run({"--remove", at("p.p_c"), at("out")});
    EXPECT_EQ(result.output, printed({"Removed 10 files of the tree Skeld made in " + at("out"),
                                      "Left 1 files Skeld did not write (or that changed since) in " + at("out") +
                                          ": notes.txt"}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("p.p_c"), original);
    EXPECT_EQ(files_below("out"), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(fs::directory_iterator(dir / "out")->path().filename(), "notes.txt");  // empty directories went

    result = run({"--remove", at("p.p_c"), at("out")});
    EXPECT_EQ(result.output, printed({"Error: " + at("out") +
                                      " holds no record of a tree Skeld made (skeld-record.txt), so Skeld removes "
                                      "nothing."}));
    EXPECT_EQ(result.status, 1);
}

INSTANTIATE_FOR_BOTH_BUILDS(Rerun);

}  // namespace
