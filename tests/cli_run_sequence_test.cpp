// The command line, the ending test, the personality scan and the two
// compiler-flag headers, on the real program.
#include "skeld_cli.h"

namespace {

const char* const kEndingMessage = "Original location of boost must end with the .../boost subdirectory";

class RunSequence : public SkeldCli {
protected:
    void lay_out() override
    {
        put("possible_defines.txt", "_MSC_VER\nWIN32\nFOO\n");
        put("lib/boost/version.hpp", "#define BOOST_VERSION 1\n");
    }
};

TEST_P(RunSequence, FewerThanThreeArgumentsPrintUsage)
{
    for (std::vector<std::string> args : {std::vector<std::string>{}, {at("p.p_c"), at("lib/boost")}}) {
        if (args.empty() && !every_build_run())
            continue;
        program_result result = run(args);
        EXPECT_EQ(result.output,
                  printed({"Usage: Skeld <curr_compiler_personality> <orig_header_loc> <config_output_loc>"}));
        EXPECT_EQ(result.status, 1);
    }
    EXPECT_TRUE(files_below("out").empty());
}

TEST_P(RunSequence, HelpAndVersionAloneEndWithStatusZero)
{
    const std::filesystem::path program_folder = program_copy().parent_path();
    std::vector<std::string> help = {
        "Usage: Skeld <curr_compiler_personality> <orig_header_loc> <config_output_loc>",
        "",
        "Builds a substitute Boost tree through which an ORVO analyser reads Boost",
        "with the compiler macros of a personality, and edits the personality to use it.",
        "",
        "  curr_compiler_personality  the compiler personality (.p_c) to edit: entries",
        "                             go at its top, options at its end",
        "  orig_header_loc            the Boost headers directory; its last component",
        "                             must be exactly boost",
        "  config_output_loc          an existing directory outside the Boost tree that",
        "                             receives the generated files",
        "",
        "A header Boost includes gets a stub only when one of the personality's -si",
        "directories that exist holds it; with none but Boost's parent, every one does.",
        "",
        "Run again into the same output after Boost or the personality changed: only",
        "changed files are written, files of the earlier run that are no longer",
        "written are removed (as skeld-record.txt lists them), and nothing is added",
        "to the personality twice.",
        "  --check <personality> <orig_header_loc> <config_output_loc>",
        "      write nothing; exit status 0 up to date, 1 stale, 2 a run would refuse;",
        "      the last line: Check: status=S write=W remove=R add=A record=C refuse=WHY",
        "  --remove <personality> <config_output_loc>",
        "      take the tree out of the personality, then off the disk",
        "  --progress, before the paths of a run or a check (with --check in any order)",
        "      also print Progress: STEP DONE TOTAL lines, for a progress bar",
        "  --jobs N, before the paths of a run or a check",
        "      read and write with N threads (1 to 64); the default is one per core,",
        "      at most 8; what is written is the same whatever N",
        "",
        "Skeld removes only files its record lists that still hold what it wrote,",
        "and takes out of the personality only lines the record says it added for",
        "this output; the user's own lines stay. The record's seal catches",
        "accidents, not forgery. An output belongs to one personality.",
        "",
        "The data files are read from the first of these folders that holds",
        "possible_defines.txt:",
        "  " + target().spell(dir.path()) + " (the working folder)",
        "  " + target().spell(program_folder),
    };
    if (!target().windows())
        help.push_back("  " + target().spell(program_folder.parent_path() / "share/headwright"));
    help.insert(help.end(),
                {"", "Exit status: 0 on success, 1 on any failure.", "Skeld --version prints the version."});
    program_result result = run({"--help"});
    EXPECT_EQ(result.output, printed(help));
    EXPECT_EQ(result.status, 0);
    if (!every_build_run())
        return;

    result = run({"--version"});
    EXPECT_EQ(result.output, printed({"Skeld (Headwright) " HEADWRIGHT_VERSION}));
    EXPECT_EQ(result.status, 0);
    // Anything beside them is an ordinary command line.
    result = run({"--help", at("lib/boost")});
    EXPECT_EQ(result.output,
              printed({"Usage: Skeld <curr_compiler_personality> <orig_header_loc> <config_output_loc>"}));
    EXPECT_EQ(result.status, 1);
}

TEST_P(RunSequence, EndingTestRefusesAnyOtherLastComponent)
{
    // The rule's table is a unit test; here the message and its missing line break.
    put("p.p_c", "-sd _MSC_VER=1310\n");
    program_result result = run({at("p.p_c"), at("lib/boost") + sep("/"), at("out")});
    EXPECT_EQ(result.output, kEndingMessage);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(files_below("out").empty());
}

TEST_P(RunSequence, ExtraArgumentsAreIgnored)
{
    put("p.p_c", "-sd _MSC_VER=1310\n");
    program_result result = run({at("p.p_c"), at("lib/boost"), at("out"), "extra", at("elsewhere")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, printed(full_run_writing(8, "out")));
    EXPECT_EQ(get("out/AddAllCompilerFlags.h"), lines("#define _MSC_VER 1310\n#undef LONG_LONG\n"));
}

TEST_P(RunSequence, DefineLinesOfThePersonality)
{
    // Line rules are unit tables, a personality without a possible macro is
    // the no-configuration case; here a file read as the build reads it.
    put("p.p_c", "-sd FOO=1\r\n-sd WIN32=2\r\n");
    EXPECT_EQ(run_default().status, 0);
    EXPECT_EQ(get("out/AddAllCompilerFlags.h"), lines("#define FOO 1\n#define WIN32 2\n#undef LONG_LONG\n"));
}

TEST_P(RunSequence, BothFlagHeadersInFull)
{
    // Quotes are trimmed from the whole argument, so FOO="x y" keeps the first one.
    put("p.p_c", "-sd _MSC_VER=1310\n-sd \"_WIN32\"\n-sd \"FOO=x y\"\n-sd WIN32=\"q\"\n");
    program_result result = run_default();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("out/RemoveAllCompilerFlags.h"),
              lines("#undef FOO\n#undef WIN32\n#undef _MSC_VER\n#undef _WIN32\n#define LONG_LONG long long\n"));
    EXPECT_EQ(get("out/AddAllCompilerFlags.h"),
              lines("#define FOO x y\n#define WIN32 \"q\n#define _MSC_VER 1310\n#define _WIN32\n#undef LONG_LONG\n"));
}

TEST_P(RunSequence, IncludeLinesDecideThePersonalityEdit)
{
    const std::string parent = at("lib");
    struct include_case {
        std::string line;
        bool names_parent;
    };
    std::string lower = parent;
    lower[0] = static_cast<char>(std::tolower(lower[0]));
    // The rules of the lines are unit tests; here the edit or the manual
    // instruction that each answer leads to, and the parent as the build spells it.
    const include_case cases[] = {
        {"-si \"" + parent + "\"", true},
        {"-si " + lower, target().windows() ? false : true},  // "z:" is not "Z:"
        {"-q " + parent, false},
    };
    for (const include_case& c : cases) {
        if (c.line.rfind("-q", 0) == 0 && !every_build_run())
            continue;
        SCOPED_TRACE(c.line);
        put("p.p_c", "-sd FOO=1\n" + c.line + "\n");
        fresh_output();
        program_result result = run_default();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.output, printed(full_run_writing(8, c.names_parent ? "" : "out")));
        bool edited = get("p.p_c").find(("-si \"" + at("out") + "\"\n")) != std::string::npos;
        EXPECT_EQ(edited, c.names_parent);
    }
}

TEST_P(RunSequence, ABoostLocationThatCannotBeListedFailsTheRun)
{
    put("p.p_c", "-sd FOO=1\n-si \"anything\"\n");
    const std::string root_boost = target().windows() ? "\\boost" : "/boost";
    if (std::filesystem::exists("/boost"))
        GTEST_SKIP() << "/boost exists on this machine";
    program_result result = run({at("p.p_c"), root_boost, at("out")});
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "Couldn't open header for reading- " + root_boost + ". Please check folder permissions"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n-si \"anything\"\n");
}

TEST_P(RunSequence, NoConfigurationNeededEndsWithStatusZero)
{
    put("p.p_c", "-sd BAR=1\n-si \"" + at("lib") + "\"\n");
    program_result result = run_default();
    EXPECT_EQ(result.output, printed({"Creating compiler header Files ...",
                                      "No need for configuration, boost should work successfully." + at("p.p_c")}));
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(files_below("out").empty());
    EXPECT_EQ(get("p.p_c"), "-sd BAR=1\n-si \"" + at("lib") + "\"\n");
}

TEST_P(RunSequence, DataFileAndOutputFailuresEndWithStatusOne)
{
    put("p.p_c", "-sd FOO=1\n");
    const std::string head = "Creating compiler header Files ...";

    std::filesystem::remove(dir / "possible_defines.txt");
    program_result result = run_default();
    const std::filesystem::path program_folder = program_copy().parent_path();
    // The Windows build keeps everything beside the program.
    const std::string looked_in = target().windows()
                                      ? " and in " + target().spell(program_folder)
                                      : ", in " + target().spell(program_folder) + " and in " +
                                            target().spell(program_folder.parent_path() / "share/headwright");
    EXPECT_EQ(result.output, printed({head, "Error: Cannot open possible_defines.txt (looked in " +
                                                target().spell(dir.path()) + looked_in + ")"}));
    EXPECT_EQ(result.status, 1);

    put("possible_defines.txt", "FOO\n");
    result = run({at("missing.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.output, printed({head, "Error: Cannot open Compiler Personality - " + at("missing.p_c")}));
    EXPECT_EQ(result.status, 1);

    if (!every_build_run())
        return;
    result = run({at("p.p_c"), at("lib/boost"), at("missing")});
    EXPECT_EQ(result.output,
              printed({head, "Couldnt create RemoveAllCompilerFlags.h. Please check folder permissions"}));
    EXPECT_EQ(result.status, 1);

    std::filesystem::create_directories(dir / "out/AddAllCompilerFlags.h");
    result = run_default();
    EXPECT_EQ(result.output, printed({head, "Couldnt create AddAllCompilerFlags.h. Please check folder permissions"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(get("out/RemoveAllCompilerFlags.h"), lines("#undef FOO\n#define LONG_LONG long long\n"));
    // What the stopped run wrote is recorded, for the next run to clean up.
    EXPECT_EQ(files_below("out"), (std::vector<std::string>{"RemoveAllCompilerFlags.h", "skeld-record.txt"}));
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");
}

INSTANTIATE_FOR_BOTH_BUILDS(RunSequence);

}  // namespace
