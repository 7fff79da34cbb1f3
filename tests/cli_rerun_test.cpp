// A tree over time, on the real program: runs again after the personality or
// Boost changed, --check, --remove, and records that cannot be trusted.
#include "skeld_cli.h"

#include <chrono>
#include <functional>
#include <map>

#include <sys/stat.h>

#include "recorded_maps.h"
#include "tree_record.h"

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
    // The record changed and sealed again, as anyone can: the seal catches
    // accidents, not forgery.
    void reseal(const std::function<void(tree_record&)>& edit) const
    {
        std::string why;
        std::optional<tree_record> parsed = parse_record(record(), why);
        ASSERT_TRUE(parsed) << why;
        edit(*parsed);
        put("out/skeld-record.txt", record_text(*parsed));
    }
    std::vector<std::string> check() const { return {"--check", at("p.p_c"), at("lib/boost"), at("out")}; }
    static std::string summary(int status, int write, int remove, int add, int record, const char* why = "none")
    {
        return "Check: status=" + std::to_string(status) + " write=" + std::to_string(write) +
               " remove=" + std::to_string(remove) + " add=" + std::to_string(add) +
               " record=" + std::to_string(record) + " refuse=" + why;
    }
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

TEST_P(Rerun, AFileEditedWithItsSizeAndTimeKeptIsStillFound)
{
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    // The record well after every file: their stamps alone decide what is read.
    fs::last_write_time(dir / "out/skeld-record.txt", fs::file_time_type::clock::now() + std::chrono::hours(1));
    EXPECT_EQ(run(check()).status, 0);
    const std::string written = get("out/boost/version.hpp");
    const auto time = fs::last_write_time(dir / "out/boost/version.hpp");
    std::string edited = written;
    edited[0] = edited[0] == 'x' ? 'y' : 'x';
    put("out/boost/version.hpp", edited);
    fs::last_write_time(dir / "out/boost/version.hpp", time);
    EXPECT_EQ(run(check()).status, 1);
    ASSERT_EQ(run_default().status, 0);
    EXPECT_EQ(get("out/boost/version.hpp"), written);
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
    std::string older = good;
    older.replace(older.find("Skeld record 3"), 14, "Skeld record 1");
    const damage_case cases[] = {
        {"truncated", good.substr(0, good.size() / 2), "its last line is missing"},
        {"another format", older, "another Skeld wrote it, in a form this one does not read"},
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
    // A sealed record naming a path that leads outside, with the bytes there:
    // the path rule alone keeps it.
    put("out/skeld-record.txt", good);
    reseal([&](tree_record& r) { put_file(r.files, "system/../../p.p_c", digest_of(get("p.p_c"))); });
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("cannot be trusted (it names a path that leads outside the output folder)"),
              std::string::npos);
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
    EXPECT_TRUE(result.output.ends_with(printed({"Would write the record anew: " + at("out/skeld-record.txt") +
                                                 " is missing",
                                                 summary(1, 10, 0, 6, 1)})));
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
    EXPECT_EQ(get("p.p_c"), personality());

    ASSERT_EQ(run_default().status, 0);
    const auto written = snapshot();
    result = run(check);
    EXPECT_EQ(result.output, printed({"Up to date: a run would change nothing in " + at("out") + " or the personality.",
                                      summary(0, 0, 0, 0, 0)}));
    EXPECT_EQ(result.status, 0);

    fs::remove_all(dir / "lib/boost/old");
    result = run(check);
    EXPECT_EQ(result.output, printed({"A run would write 0 files and remove 2 files in " + at("out") +
                                      ", and add 0 lines to the personality.",
                                      "Would remove: boost/old/gone.hpp, system/__config",
                                      "Would write the record anew: stale directories: boost/old",
                                      summary(1, 0, 2, 0, 1)}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(snapshot(), written);

    result = run({"--check", at("p.p_c"), at("lib/Boost"), at("out")});
    EXPECT_EQ(result.output, printed({"Original location of boost must end with the .../boost subdirectory",
                                      summary(2, 0, 0, 0, 0, "error")}));
    EXPECT_EQ(result.status, 2);
}

TEST_P(Rerun, CheckAnswersTwoWhereARunWouldFail)
{
    struct state {
        std::string output;
        std::string reason;
        bool unprivileged;  // Wine runs as root here: permissions do not stop it
    };
    const std::vector<state> states = {
        {"missing", "Error: " + at("missing") + " does not exist, so a run would fail. Please create the output "
                    "folder first.", false},
        {"sys/vector", "Error: " + at("sys/vector") + " is not a folder, so a run would fail.", false},
        {"out", "Error: Skeld cannot create files in " + at("out") + " (Permission denied), so a run would fail.",
         true},
    };
    for (const state& s : states) {
        if (s.unprivileged && target().windows())
            continue;
        SCOPED_TRACE(s.output);
        program_result result = run({"--check", at("p.p_c"), at("lib/boost"), at(s.output)}, s.unprivileged);
        EXPECT_EQ(result.output, printed({s.reason, summary(2, 0, 0, 0, 0, "error")}));
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(run({at("p.p_c"), at("lib/boost"), at(s.output)}, s.unprivileged).status, 1);
    }
    if (target().windows())
        return;
    // With nothing to change a run leaves such an output alone and succeeds,
    // and so the check answers.
    ASSERT_EQ(run_default().status, 0);
    program_result result = run(check(), true);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(run_default(true).status, 0);
}

TEST_P(Rerun, CheckGivesOneAnswerWhateverTheOptionOrder)
{
    const program_result first = run({"--progress", "--check", at("p.p_c"), at("lib/boost"), at("out")});
    const program_result second = run({"--check", "--progress", at("p.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(first.output, second.output);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(first.output.ends_with(printed({summary(1, 10, 0, 6, 1)}))) << first.output;
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
}

TEST_P(Rerun, OneStubFileHasOneNameAndARecordHoldsOnlyNamesItReads)
{
    put("lib/boost/two.hpp", "#include <stdio.h>\n#include <./stdio.h>\n#include <sys//types.h>\n#include <sys/types.h>\n");
    std::string skipped;
    if (!target().windows()) {  // a backslash is a name byte on POSIX only
        put("lib/boost/..\\odd.hpp", "");
        skipped = "Skipped " + at("out") + "/boost/..\\odd.hpp: its name leads outside the output folder as Skeld's "
                  "record reads it";
    }
    program_result result = run_default();
    ASSERT_EQ(result.status, 0) << result.output;
    if (!skipped.empty()) {
        EXPECT_NE(result.output.find(printed({skipped})), std::string::npos) << result.output;
    }
    EXPECT_FALSE(exists("out/boost/..\\odd.hpp"));
    EXPECT_TRUE(exists("out/system/stdio.h"));
    EXPECT_TRUE(exists("out/system/sys/types.h"));
    EXPECT_EQ(get("out/system/stdio.h").find("<./stdio.h>"), std::string::npos);

    // The record reads back, and a run again finds nothing to rewrite.
    result = run_default();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(result.output.find("Rewrote"), std::string::npos) << result.output;
    result = run(check());
    EXPECT_EQ(result.status, 0) << result.output;
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

TEST_P(Rerun, CheckNamesEveryStateInWhichARunWouldWriteTheRecordAnew)
{
    if (!every_build_run())
        GTEST_SKIP() << "the record's rules are the same on every build; the native build runs them";
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    const std::string good = record();
    const std::string path = at("out/skeld-record.txt");
    struct state_case {
        const char* what;
        std::function<void()> make;
        std::string reason;
    };
    const state_case cases[] = {
        {"missing", [&] { fs::remove(dir / "out/skeld-record.txt"); }, path + " is missing"},
        {"untrusted", [&] { put("out/skeld-record.txt", good + "x"); },
         path + " cannot be trusted (it was changed or cut short since Skeld wrote it)"},
        {"another Skeld", [&] { reseal([](tree_record& r) { r.made_by.replace(6, std::string::npos, "0.9"); }); },
         path + " was written by Skeld 0.9 with scan rules 1"},
        {"other scan rules", [&] { reseal([](tree_record& r) { r.scan_rules.assign(1, '0'); }); },
         path + " was written by Skeld " HEADWRIGHT_VERSION " with scan rules 0"},
        {"a stopped run", [&] { put("out/skeld-journal.txt", "Skeld journal 2\n"); },
         "a run stopped part way; " + at("out/skeld-journal.txt") + " lists what it wrote"},
        {"a moved stamp",
         [&] { fs::last_write_time(dir / "lib/boost/version.hpp", fs::last_write_time(dir / "lib/boost/version.hpp") - std::chrono::hours(1)); },
         "the change stamps of 1 Boost files moved"},
    };
    for (const state_case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        program_result result = run(check());
        EXPECT_EQ(result.status, 1);
        EXPECT_TRUE(result.output.ends_with(printed({"Would write the record anew: " + c.reason, summary(1, 0, 0, 0, 1)})))
            << result.output;
        ASSERT_EQ(run_default().status, 0);
        EXPECT_EQ(run(check()).status, 0);
        EXPECT_FALSE(exists("out/skeld-journal.txt"));
    }
}

TEST_P(Rerun, RemoveTakesOutOnlyWhatSkeldAddedForThisOutput)
{
    put("boost_compiler_person_settings.txt", "-b\n-a\n-cpp\n");
    struct removal_case {
        const char* what;
        std::string personality;
    };
    const removal_case cases[] = {
        {"a last line end", "-sd FOO=1\r\n-si \"" + at("lib") + "\"\r\n"},
        {"no last line end", "-sd FOO=1\r\n-si \"" + at("lib") + "\""},
        {"a setting of the user's own", "-sd FOO=1\n-cpp\n-si \"" + at("lib") + "\""},
    };
    for (const removal_case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh_output();
        put("p.p_c", c.personality);
        ASSERT_EQ(run_default().status, 0);
        // A run again adds nothing, and keeps what the first one added.
        ASSERT_EQ(run_default().status, 0);
        EXPECT_EQ(run({"--remove", at("p.p_c"), at("out")}).status, 0);
        EXPECT_EQ(get("p.p_c"), c.personality);
    }

    // A record sealed again to name the user's own lines takes none of them.
    const std::string users = "-si \"" + at("inc") + "\"\n-sd FOO=1\n-si \"" + at("lib") + "\"\n-x\n";
    fresh_output();
    put("p.p_c", users);
    ASSERT_EQ(run_default().status, 0);
    reseal([&](tree_record& r) {
        r.added_top.push_back("-si \"" + at("inc") + "\"");
        r.added_end.push_back("-x");
    });
    EXPECT_EQ(run({"--remove", at("p.p_c"), at("out")}).status, 0);
    EXPECT_EQ(get("p.p_c"), users);

    // A copy removes its own files and takes nothing out: the tree it was
    // copied from is still in use.
    fresh_output();
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    const std::string edited = get("p.p_c");
    fs::copy(dir / "out", dir / "copy", fs::copy_options::recursive);
    program_result result = run({"--remove", at("p.p_c"), at("copy")});
    EXPECT_EQ(result.output, printed({"The record in " + at("copy") + " was written for " + at("out") +
                                          " (this tree is a copy or was moved), so Skeld takes nothing out of the "
                                          "personality.",
                                      "Removed 10 files of the tree Skeld made in " + at("copy")}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("p.p_c"), edited);
    EXPECT_EQ(run(check()).status, 0);
}

TEST_P(Rerun, AnOutputBelongsToOnePersonality)
{
    put("p.p_c", personality());
    put("q.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    const auto written = snapshot();
    const std::string refusal = "Error: " + at("out") + " holds the tree Skeld made for the personality " +
                                at("p.p_c") + ", which still names it. Please choose another output, or take that "
                                "tree away first: Skeld --remove " + at("p.p_c") + " " + at("out");
    program_result result = run({at("q.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.output, printed({"Creating compiler header Files ...", refusal}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(snapshot(), written);
    result = run({"--check", at("q.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.output, printed({refusal, summary(2, 0, 0, 0, 0, "other-personality")}));
    EXPECT_EQ(result.status, 2);
    result = run({"--remove", at("q.p_c"), at("out")});
    EXPECT_EQ(result.output, printed({"Error: " + at("out") + " holds the tree Skeld made for the personality " +
                                      at("p.p_c") + ", not " + at("q.p_c") +
                                      ", so Skeld removes nothing. To remove it: Skeld --remove " + at("p.p_c") + " " +
                                      at("out")}));
    EXPECT_EQ(result.status, 1);

    // One that cannot be read counts as naming it; once it is gone, or no
    // longer names the output, the other may have it.
    fs::remove(dir / "p.p_c");
    fs::create_directory(dir / "p.p_c");
    EXPECT_EQ(run({at("q.p_c"), at("lib/boost"), at("out")}).status, 1);
    fs::remove(dir / "p.p_c");
    EXPECT_EQ(run({at("q.p_c"), at("lib/boost"), at("out")}).status, 0);
    EXPECT_NE(record().find("Personality file: " + at("q.p_c")), std::string::npos);
    put("p.p_c", personality());
    EXPECT_EQ(run({at("p.p_c"), at("lib/boost"), at("out")}).status, 1);  // q.p_c names it now
    EXPECT_EQ(get("p.p_c"), personality());
}

TEST_P(Rerun, WhatARunWroteIsKnownToTheNextHoweverItEnded)
{
    if (target().windows())
        GTEST_SKIP() << "a FIFO stops the run here; the record's rules are the same on every build";
    // A run that ends part way records what it wrote; a killed one leaves
    // its journal. Either way the next run removes what went stale.
    put("p.p_c", personality());
    put("lib/boost/zz.hpp", "");
    ASSERT_EQ(mkfifo((dir / "lib/boost/zz_pipe.hpp").c_str(), 0644), 0);
    ASSERT_EQ(run_default().status, 1);
    EXPECT_TRUE(exists("out/boost/zz.hpp"));
    const std::string stopped = record();
    EXPECT_EQ(get("p.p_c"), personality());
    for (bool journal : {false, true}) {
        SCOPED_TRACE(journal ? "journal" : "record");
        fresh_output();
        ASSERT_EQ(run_default().status, 1);
        if (journal) {
            std::string lines = "Skeld journal 2\n";
            for (std::size_t at = stopped.find("\nFile: "); at != std::string::npos; at = stopped.find("\nFile: ", at + 1))
                lines += stopped.substr(at + 1, stopped.find('\n', at + 1) - at);
            fs::remove(dir / "out/skeld-record.txt");
            put("out/skeld-journal.txt", lines);
        }
        fs::remove(dir / "lib/boost/zz_pipe.hpp");
        fs::remove(dir / "lib/boost/zz.hpp");
        ASSERT_EQ(run_default().status, 0);
        EXPECT_FALSE(exists("out/boost/zz.hpp"));
        EXPECT_FALSE(exists("out/skeld-journal.txt"));
        put("lib/boost/zz.hpp", "");
        ASSERT_EQ(mkfifo((dir / "lib/boost/zz_pipe.hpp").c_str(), 0644), 0);
    }
}

TEST_P(Rerun, ANameAnIncludeCanCarryIsOneTheRecordKeeps)
{
    put("p.p_c", personality());
    // A carriage return cannot stand in a Windows file name; a backslash there
    // is a separator, which the record holds as '/'.
    put("lib/boost/version.hpp", std::string("#include <./stdio.h>\n#include <back\\xslash>\n") +
                                     (target().windows() ? "" : "#include <a\rb>\n"));
    ASSERT_EQ(run_default().status, 0);
    put("out/boost/mine.hpp", "");
    program_result result = run(check());
    EXPECT_EQ(result.output, printed({"Up to date: a run would change nothing in " + at("out") + " or the personality.",
                                      summary(0, 0, 0, 0, 0)}));
    EXPECT_EQ(run({"--remove", at("p.p_c"), at("out")}).status, 0);
    EXPECT_EQ(files_below("out"), std::vector<std::string>{"boost/mine.hpp"});
}

TEST_P(Rerun, AnUnchangedFileIsNotReadAgainAndAChangedOneIs)
{
    put("p.p_c", personality());
    ASSERT_EQ(run_default().status, 0);
    // Unchanged: the record's includes stand, whatever the file holds.
    reseal([](tree_record& r) { r.sources.find("version.hpp")->includes = "from_the_record.h\n"; });
    ASSERT_EQ(run_default().status, 0);
    EXPECT_TRUE(exists("out/system/from_the_record.h"));
    // Changed in place with its time put back: read again.
    const auto time = fs::last_write_time(dir / "lib/boost/version.hpp");
    put("lib/boost/version.hpp", "#define BOOST_VERSION 107400\n#include <vectoR>\n");
    fs::last_write_time(dir / "lib/boost/version.hpp", time);
    ASSERT_EQ(run_default().status, 0);
    EXPECT_TRUE(exists("out/system/vectoR"));
    EXPECT_FALSE(exists("out/system/from_the_record.h"));
}

TEST_P(Rerun, AFileSkeldDidNotWriteIsNamedWhenReplaced)
{
    put("p.p_c", personality());
    put("out/boost/version.hpp", "mine\n");
    program_result result = run_default();
    EXPECT_NE(result.output.find(printed({"Replaced " + at("out/boost/version.hpp") + ": Skeld did not write it"})),
              std::string::npos)
        << result.output;
}

INSTANTIATE_FOR_BOTH_BUILDS(Rerun);

}  // namespace
