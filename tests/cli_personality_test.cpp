// The settings update, the personality edit, the system stubs and the exit
// status of a full run, on the real program.
#include "skeld_cli.h"

namespace fs = std::filesystem;

namespace {

class Personality : public SkeldCli {
protected:
    void lay_out() override { put("boost_compiler_person_settings.txt", "-b\n-a\n-b\n"); }

    std::string entries_for(const std::string& directory) const
    {
        return "-si \"" + directory + "\"\n-q \"" + directory + "\"\n";
    }

    std::string include_line() const { return "-si \"" + at("lib") + "\""; }
};

TEST_P(Personality, FullRunPutsStubAndOutputEntriesOnTopAndSettingsAtTheEnd)
{
    put("lib/boost/a.hpp", "#include <vector>\n");
    put("p.p_c", "-sd FOO=1\n" + include_line() + "\n-w2\n");
    program_result result = run_default();
    EXPECT_EQ(result.output, printed(full_run_writing(8)));
    EXPECT_EQ(result.status, 0);
    const std::string first =
        entries_for(at("out/system")) + entries_for(at("out")) + "-sd FOO=1\n" + include_line() + "\n-w2\n-a\n-b\n";
    EXPECT_EQ(get("p.p_c"), (first));

    // A second run finds what the first added and adds nothing.
    result = run_default();
    EXPECT_EQ(result.output, printed(full_run()) + printed({files_line(0, 8)}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("p.p_c"), (first));
}

TEST_P(Personality, SettingsFileRules)
{
    struct settings_case {
        const char* settings;
        const char* personality;
        const char* after;
        bool on_windows;  // the build's own line end, where the personality has none
    };
    const settings_case cases[] = {
        {"-b\n-a\n-b\n", "-sd FOO=1\n", "-sd FOO=1\n-a\n-b\n", false},
        {"-b\r\n\r\n-a", "-sd FOO=1\n", "-sd FOO=1\n\n-a\n-b\n", false},  // the blank line sorts first
        {"-a\n", "-sd FOO=1", "-sd FOO=1\n-a\n", true},                   // the last line gets its line break
    };
    for (const settings_case& c : cases) {
        if (!c.on_windows && !every_build_run())
            continue;
        SCOPED_TRACE(c.settings);
        put("boost_compiler_person_settings.txt", c.settings);
        put("p.p_c", c.personality);
        program_result result = run_default();
        EXPECT_EQ(result.status, 0);
        // New lines take the personality's line ends; the build's when it has none.
        const std::string personality = c.personality;
        const bool has_line_end = personality.find('\n') != std::string::npos;
        EXPECT_EQ(get("p.p_c"), has_line_end ? std::string(c.after)
                                             : personality + lines(std::string(c.after).substr(personality.size())));
    }
}

TEST_P(Personality, ThePersonalityKeepsItsOwnLineEnds)
{
    put("boost_compiler_person_settings.txt", "");
    put("p.p_c", "-sd FOO=1\r\n" + include_line() + "\r\n-w2");
    put("p.p_c.skeld-new", "planted\n");  // the new text never takes a fixed name
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("p.p_c"),
              "-si \"" + at("out") + "\"\r\n-q \"" + at("out") + "\"\r\n-sd FOO=1\r\n" + include_line() + "\r\n-w2");
    EXPECT_EQ(get("p.p_c.skeld-new"), "planted\n");
}

TEST_P(Personality, OutputWithTrailingSeparatorKeepsItInTheEntries)
{
    put("boost_compiler_person_settings.txt", "");
    put("p.p_c", "-sd FOO=1\n" + include_line() + "\n");
    const std::string output = at("out") + sep("/");
    program_result result = run({at("p.p_c"), at("lib/boost"), output});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("p.p_c"), (entries_for(output) + "-sd FOO=1\n" + include_line() + "\n"));
    EXPECT_TRUE(exists("out/boost/config/compiler/orvo++.hpp"));
}

TEST_P(Personality, ExitStatusFollowsEveryStepThatFailed)
{
    if (!every_build_run())
        GTEST_SKIP() << "the same on every build";
    struct status_case {
        bool settings_present;
        bool names_boost_parent;
        bool with_stub;
        int status;
    };
    const status_case cases[] = {
        {true, true, true, 0},    {false, true, false, 1},  // a failed settings update is not undone by the edit
        {false, false, false, 1}, {false, true, true, 1},   // nor by the stubs
        {true, false, false, 0},                            // a printed manual instruction is no failure
    };
    for (const status_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.settings_present << c.names_boost_parent << c.with_stub);
        fresh_output();
        if (c.settings_present)
            put("boost_compiler_person_settings.txt", "-a\n");
        else
            fs::remove(dir / "boost_compiler_person_settings.txt");
        put("lib/boost/a.hpp", c.with_stub ? "#include <vector>\n" : "");
        put("p.p_c", "-sd FOO=1\n" + (c.names_boost_parent ? include_line() + "\n" : ""));
        program_result result = run_default();
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.output.find("Error: Cannot open boost_compiler_person_settings.txt") != std::string::npos,
                  !c.settings_present);
        EXPECT_EQ(exists("out/system/vector"), c.with_stub);
    }
}

TEST_P(Personality, SystemStubsForNestedNamesAndTheirText)
{
    put("lib/boost/a.hpp", "#include <vector>\n#include <sys/types.h>\n#include <a/b/c.h>\n");
    put("p.p_c", "-sd FOO=1\n");
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below("out/system"), (std::vector<std::string>{"a/b/c.h", "sys/types.h", "vector"}));
    for (const char* name : {"vector", "sys/types.h", "a/b/c.h"}) {
        SCOPED_TRACE(name);
        const std::string forward = std::string("#include_next <") + name + ">\n";
        EXPECT_EQ(get(std::string("out/system/") + name),
                  lines("#ifdef IN_BOOST_HEADERS\n#ifndef IN_SYSTEM_STUB\n#define IN_SYSTEM_STUB\n#include "
                        "\"AddAllCompilerFlags.h\"\n" +
                        forward + "#include \"RemoveAllCompilerFlags.h\"\n#undef IN_SYSTEM_STUB\n#else\n" + forward +
                        "#endif\n#else\n" + forward + "#endif\n"));
    }
    // Without the Boost parent in the personality, only the stub directory is added.
    EXPECT_EQ(get("p.p_c"), (entries_for(at("out/system")) + "-sd FOO=1\n-a\n-b\n"));
}

TEST_P(Personality, NoStubForANameThePersonalitysIncludeDirectoriesDoNotHold)
{
    // Which names the rule leaves out is a unit table; here the wiring from
    // the personality's include lines, the message, and a second run over the
    // edited personality, whose stub directory holds no real header.
    put("lib/boost/a.hpp", "#include <vector>\n#include <__config>\n");
    put("sys/vector", "");
    put("p.p_c", "-sd FOO=1\n-si \"" + at("sys") + "\"\n");
    std::vector<std::string> expected = full_run("out");
    expected.push_back("No stub for 1 of 2 header names: the personality's include directories hold no such header");
    for (int run = 0; run < (every_build_run() ? 2 : 1); ++run) {
        program_result result = run_default();
        std::vector<std::string> lines = expected;
        lines.push_back(run == 0 ? files_line(8) : files_line(0, 8));
        EXPECT_EQ(result.output, printed(lines));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(files_below("out/system"), std::vector<std::string>{"vector"});
    }
}

TEST_P(Personality, NamesLeadingOutsideTheStubDirectoryGetNoStub)
{
    // Which names lead outside is a unit table; here the message, and that
    // nothing is written for them.
    put("lib/boost/a.hpp", "#include <>\n#include <../include/fenv.h>\n#include <vector>\n");
    put("p.p_c", "-sd FOO=1\n");
    program_result result = run_default();
    const std::string stub_dir = at("out/system");
    std::vector<std::string> expected = full_run("out");
    for (const std::string name : {"", "../include/fenv.h"})
        expected.push_back("Skipped stub header for <" + name + ">: its stub would lie outside " + stub_dir);
    expected.push_back(files_line(8));
    EXPECT_EQ(result.output, printed(expected));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below("out/system"), std::vector<std::string>{"vector"});
    EXPECT_FALSE(exists("out/include/fenv.h"));
    EXPECT_EQ(get("p.p_c"), (entries_for(stub_dir) + "-sd FOO=1\n-a\n-b\n"));
}

TEST_P(Personality, AStubThatCannotBeCreatedStopsTheStubs)
{
    put("lib/boost/a.hpp", "#include <alpha>\n#include <beta>\n#include <gamma>\n");
    fs::create_directories(dir / "out/system/beta");
    put("p.p_c", "-sd FOO=1\n" + include_line() + "\n");
    program_result result = run_default();
    std::vector<std::string> expected = full_run();
    expected.push_back("Couldn't create stub header - " + at("out/system/beta") + ". Please check folder permissions");
    EXPECT_EQ(result.output, printed(expected));
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(exists("out/system/alpha"));
    EXPECT_FALSE(exists("out/system/gamma"));
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n" + include_line() + "\n");  // a failed run edits nothing
}

TEST_P(Personality, BorlandDirectoryIsLaidOverTheStubsWhenItsMacroIsListed)
{
    put("lib/boost/a.hpp", "#include <stdio.h>\n#include <sys/stat.h>\n#include <vector>\n");
    put("borland/stdio.h", "// borland stdio\n");
    put("borland/sys/stat.h", "// borland stat\r\n");
    put("p.p_c", "-sd FOO=1\n");

    if (every_build_run()) {
        program_result result = run_default();
        EXPECT_EQ(result.status, 0);
        EXPECT_NE(get("out/system/stdio.h"), lines("// borland stdio\n"));
        fresh_output();
    }
    put("possible_defines.txt", "FOO\n__BORLANDC__\n");
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("out/system/stdio.h"), lines("// borland stdio\n"));
    EXPECT_EQ(get("out/system/sys/stat.h"), lines("// borland stat\n"));
    EXPECT_NE(get("out/system/vector").find("#include_next <vector>"), std::string::npos);
}

TEST_P(Personality, AReadOnlyPersonalityStaysByteForByte)
{
    if (target().windows())
        GTEST_SKIP() << "Wine runs as root here: permissions do not stop it";
    put("lib/boost/a.hpp", "#include <vector>\n");
    const std::string original = "-sd FOO=1\r\n" + include_line() + "\n";
    put("p.p_c", original);
    for (const char* d :
         {"", "lib", "lib/boost", "lib/boost/config", "lib/boost/config/compiler", "lib/boost/config/platform", "out"})
        fs::permissions(dir / d, fs::perms::all, fs::perm_options::add);
    fs::permissions(dir / "p.p_c", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    // A check answers as the run ends: it would fail.
    program_result result = run({"--check", at("p.p_c"), at("lib/boost"), at("out")}, true);
    EXPECT_EQ(result.output, printed({"Error: Cannot open - " + at("p.p_c") + " for editing, so a run would fail.",
                                      "Check: status=2 write=0 remove=0 add=0 record=0 refuse=error"}));
    EXPECT_EQ(result.status, 2);

    result = run_default(true);
    std::vector<std::string> expected = full_run();
    expected.insert(expected.end(), {"Error: Cannot open - " + at("p.p_c") +
                                         " for editing. Please add the following entries to the top of this file:",
                                     "-si \"" + at("out/system") + "\"", "-q \"" + at("out/system") + "\"",
                                     "-si \"" + at("out") + "\"", "-q \"" + at("out") + "\"",
                                     "Please add the following entries to the end of this file:", "-a", "-b",
                                     files_line(8)});
    EXPECT_EQ(result.output, printed(expected));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(get("p.p_c"), original);
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename().string().rfind("p.p_c.", 0), 0u) << "left beside the personality";

    // The tree is recorded, with nothing added to the personality: --remove
    // takes the files and leaves the personality alone.
    EXPECT_EQ(get("out/skeld-record.txt").find("Added at"), std::string::npos);
    result = run({"--remove", at("p.p_c"), at("out")}, true);
    EXPECT_EQ(result.output, printed({"Removed 8 files of the tree Skeld made in " + at("out")}));
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
    EXPECT_EQ(get("p.p_c"), original);
}

INSTANTIATE_FOR_BOTH_BUILDS(Personality);

}  // namespace
