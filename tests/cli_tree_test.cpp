// The substitute Boost tree: the walk, the exclusion list, the forwarding
// headers, the include scan and the configuration headers, on the real program.
#include "skeld_cli.h"

#include <sys/stat.h>

#include <sstream>

namespace fs = std::filesystem;

namespace {

class BoostTree : public SkeldCli {
protected:
    void lay_out() override
    {
        put("orvo++_compiler.hpp", "// compiler\r\n#define BOOST_COMPILER \"ORVO++\"\r\n");
        put("orvo++_windows.hpp", "// platform\n#define BOOST_PLATFORM \"Win32\"\n");
    }
};

TEST_P(BoostTree, EveryFileGetsAForwardingHeaderAndEveryDirectoryAMirror)
{
    const std::vector<std::string> originals = {
        ".git/config",
        "README.md",
        "config/compiler/gcc.hpp",
        "config/platform/linux.hpp",
        "detail/deep/er/x.ipp",
        "doc/index.html",
        "version",
        "version.hpp",
    };
    for (const std::string& file : originals)
        put("lib/boost/" + file, "// " + file + "\n");
    fs::create_directories(dir / "lib/boost/empty");

    program_result result = run_default();
    EXPECT_EQ(result.output, printed(full_run_writing(12, "out")));
    EXPECT_EQ(result.status, 0);

    std::vector<std::string> expected = originals;
    expected.push_back("config/compiler/orvo++.hpp");
    expected.push_back("config/platform/orvo++.hpp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files_below("out/boost"), expected);
    EXPECT_TRUE(fs::is_directory(dir / "out/boost/empty"));
    for (const std::string& file : originals) {
        SCOPED_TRACE(file);
        EXPECT_EQ(get("out/boost/" + file), boost_pattern("boost/" + file));
    }
    EXPECT_EQ(get("out/boost/config/compiler/orvo++.hpp"), lines("// compiler\n#define BOOST_COMPILER \"ORVO++\"\n"));
    EXPECT_EQ(get("out/boost/config/platform/orvo++.hpp"), lines("// platform\n#define BOOST_PLATFORM \"Win32\"\n"));
    // Nothing is written into the original tree.
    EXPECT_EQ(get("lib/boost/version.hpp"), "// version.hpp\n");
    EXPECT_FALSE(exists("lib/boost/config/compiler/orvo++.hpp"));
}

TEST_P(BoostTree, ExclusionListEntries)
{
    for (const char* file : {"config/user.hpp", "config/other.hpp", "detail/sub/a.hpp", "detail/sub/deeper/b.hpp",
                             "detail/c.hpp", "my-dir/a.hpp", "a.hpp", "x", "win/slash.hpp"})
        put(std::string("lib/boost/") + file, "");
    put("treat_as_nonboost.txt",
        "# files that only wrap a system header\n"
        "  -file   config/user.hpp  \n"
        "-file\tconfig/other.hpp\n"  // the tab stays in the value
        "-file Config/User.hpp\n"    // case counts
        "  -dir  detail/sub \r\n"
        "-file my-dir/a.hpp\n"  // holds -dir: a directory entry for "/a.hpp"
        "-DIR x\n-File x\n"     // keywords are case-sensitive
        "-dir version.hpp\n"    // names a file
        "-dir missing\n"
        "-file win\\slash.hpp\n"  // either separator
        "-file does/not/exist.hpp\n"
        "-dir detail/\n-dir\n");  // doubled separators match nothing
    program_result result = run_default();
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "failed FINDFIRSTFILE", "failed FINDFIRSTFILE", "failed FINDFIRSTFILE",
                       "Creating compiler/platform substitute header files ...", "Modifying Compiler Personality...",
                       kAddOutputByHand, at("out"), files_line(15)}));
    EXPECT_EQ(result.status, 0);
    for (const char* file : {"config/user.hpp", "detail/sub/a.hpp", "detail/sub/deeper/b.hpp", "win/slash.hpp"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(get(std::string("out/boost/") + file), nonboost_pattern(std::string("boost/") + file));
    }
    for (const char* file : {"config/other.hpp", "detail/c.hpp", "my-dir/a.hpp", "a.hpp", "x"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(get(std::string("out/boost/") + file), boost_pattern(std::string("boost/") + file));
    }
}

TEST_P(BoostTree, ExclusionDirectoriesLeadingOutsideTheTreeAreSkipped)
{
    put("lib/boost/a.hpp", "");
    put("lib/outside/b.hpp", "");
    put("treat_as_nonboost.txt", "-dir ../outside\n-dir config/../..\n");
    program_result result = run_default();
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "Skipped exclusion entry -dir " + sep("../outside") + ": it leads outside " + at("lib/boost"),
                       "Skipped exclusion entry -dir " + sep("config/../..") + ": it leads outside " + at("lib/boost"),
                       "Creating compiler/platform substitute header files ...", "Modifying Compiler Personality...",
                       kAddOutputByHand, at("out"), files_line(7)}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below(""),
              (std::vector<std::string>{"boost_compiler_person_settings.txt", "lib/boost/a.hpp",
                                        "lib/boost/config/compiler/gcc.hpp", "lib/boost/config/platform/linux.hpp",
                                        "lib/outside/b.hpp", "orvo++_compiler.hpp", "orvo++_windows.hpp",
                                        "out/AddAllCompilerFlags.h", "out/RemoveAllCompilerFlags.h", "out/boost/a.hpp",
                                        "out/boost/config/compiler/gcc.hpp", "out/boost/config/compiler/orvo++.hpp",
                                        "out/boost/config/platform/linux.hpp", "out/boost/config/platform/orvo++.hpp",
                                        "out/skeld-record.txt", "p.p_c", "possible_defines.txt", "treat_as_nonboost.txt"}));
}

TEST_P(BoostTree, WithoutExclusionListEveryHeaderHasTheBoostPattern)
{
    fs::remove(dir / "treat_as_nonboost.txt");
    put("lib/boost/config/user.hpp", "");
    program_result result = run_default();
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "Could not open treat_as_nonboost.txt for reading",
                       "Creating compiler/platform substitute header files ...", "Modifying Compiler Personality...",
                       kAddOutputByHand, at("out"), files_line(7)}));
    EXPECT_EQ(get("out/boost/config/user.hpp"), boost_pattern("boost/config/user.hpp"));
}

TEST_P(BoostTree, IncludeScanCollectsTheSystemHeaders)
{
    // The line rules are unit tests; here the names of every file, read as
    // the build reads it (CR LF, no last line break), become stubs.
    put("lib/boost/scan.hpp",
        "#include <vector>\n#include <boost/config.hpp>\n#include <tuple> x>\r\n#include <sys/types.h>");
    put("lib/boost/other.hpp", "#include <vector>\n#if 0\n#include <cstdio>\n#endif\n");
    put("p.p_c", "-sd FOO=1\n-si \"" + at("lib") + "\"\n");

    program_result result = run_default();
    EXPECT_EQ(result.output, printed(full_run_writing(12)));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below("out/system"), (std::vector<std::string>{"cstdio", "sys/types.h", "tuple", "vector"}));
}

// With --progress, lines that count the files handled out of those
// expected, each within its total, rising to the end; the rest of the
// output as without it.
TEST_P(BoostTree, ProgressLinesCountUpToTheEndBesideTheUsualOutput)
{
    for (const char* file : {"a.hpp", "b/c.hpp", "b/d.hpp", "e/f/g.ipp"})
        put(std::string("lib/boost/") + file, "#include <vector>\n#include <map>\n");
    put("p.p_c", "-sd FOO=1\n-si \"" + at("lib") + "\"\n");
    const program_result plain = run_default();
    fresh_output();
    const program_result result = run({"--progress", at("p.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.status, 0);

    std::string others;
    std::vector<std::vector<std::string>> progress;
    std::istringstream lines_seen(result.output);
    for (std::string line; std::getline(lines_seen, line);) {
        if (line.rfind("Progress: ", 0) != 0) {
            others += line + "\n";
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        progress.push_back(w);
    }
    EXPECT_EQ(others, plain.output);
    ASSERT_FALSE(progress.empty());
    std::size_t before = 0;
    for (const auto& w : progress) {
        ASSERT_EQ(w.size(), 4u);
        EXPECT_TRUE(w[1] == "headers" || w[1] == "stubs" || w[1] == "done") << w[1];
        const std::size_t done = std::stoul(w[2]);
        EXPECT_LE(done, std::stoul(w[3]));
        EXPECT_GE(done, before);
        before = done;
    }
    // Every file the run wrote but its record.
    const std::string written = std::to_string(files_below("out").size() - 1);
    EXPECT_EQ(progress.back(), (std::vector<std::string>{"Progress:", "done", written, written}));
}

TEST_P(BoostTree, MicrosoftMacrosAddTheirRuntimeHeader)
{
    for (const char* listed : {"_MSC_VER\n", "_MSC_EXTENSIONS\n"}) {
        if (std::string(listed) == "_MSC_EXTENSIONS\n" && !every_build_run())
            continue;
        SCOPED_TRACE(listed);
        fresh_output();
        put("possible_defines.txt", std::string("FOO\n") + listed);
        program_result result = run_default();
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(files_below("out/system"), std::vector<std::string>{"yvals.h"});
    }
}

TEST_P(BoostTree, OutputThatWouldOverwriteTheOriginalIsRefused)
{
    put("lib/boost/version.hpp", "original\n");
    put("p.p_c", "-sd FOO=1\n");
    // The overlap rules are a unit table; here the message, and what each
    // build's own resolution meets: a parent, a missing directory, "..".
    for (const std::string& output : {at("lib"), at("lib/boost/new"), at("lib/boost/config") + sep("/../..")}) {
        SCOPED_TRACE(output);
        program_result result = run({at("p.p_c"), at("lib/boost"), output});
        EXPECT_EQ(result.output,
                  printed({"Error: Output location " + output + " overlaps the original Boost location " +
                           at("lib/boost") + ". Please choose an output location outside it."}));
        EXPECT_EQ(result.status, 1);
    }
    EXPECT_EQ(get("lib/boost/version.hpp"), "original\n");
    EXPECT_EQ(files_below("lib"), (std::vector<std::string>{"boost/config/compiler/gcc.hpp",
                                                            "boost/config/platform/linux.hpp", "boost/version.hpp"}));
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");
}

TEST_P(BoostTree, OutputBesideTheOriginalIsAccepted)
{
    // Shares a prefix with the Boost location's parent, but is elsewhere.
    fs::create_directories(dir / "lib2");
    program_result result = run({at("p.p_c"), at("lib/boost"), at("lib2")});
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(exists("lib2/boost/config/compiler/orvo++.hpp"));
}

TEST_P(BoostTree, OutputLinkedIntoTheOriginalIsRefused)
{
    fs::create_directory_symlink(dir / "lib/boost/config", dir / "link");
    program_result result = run({at("p.p_c"), at("lib/boost"), at("link")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output,
              printed({"Error: Output location " + at("link") + " overlaps the original Boost location " +
                       at("lib/boost") + ". Please choose an output location outside it."}));
    EXPECT_FALSE(exists("lib/boost/config/RemoveAllCompilerFlags.h"));
}

TEST_P(BoostTree, DirectoryCyclesAreWalkedOnce)
{
    put("lib/boost/a/file.hpp", "");
    fs::create_directory_symlink(dir / "lib/boost", dir / "lib/boost/a/up");
    fs::create_directory_symlink(dir / "lib/boost/a", dir / "lib/boost/a/self");

    program_result result = run_default();
    EXPECT_EQ(result.output, printed(full_run_writing(7, "out")));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below("out/boost"),
              (std::vector<std::string>{"a/file.hpp", "config/compiler/gcc.hpp", "config/compiler/orvo++.hpp",
                                        "config/platform/linux.hpp", "config/platform/orvo++.hpp"}));
    EXPECT_TRUE(fs::is_directory(dir / "out/boost/a/up"));
    EXPECT_TRUE(fs::is_directory(dir / "out/boost/a/self"));
}

TEST_P(BoostTree, ConfigHeaderFailuresAreReportedAndFailTheRun)
{
    fs::remove_all(dir / "lib/boost/config/platform");
    program_result result = run_default();
    EXPECT_EQ(
        result.output,
        printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                 "Creating compiler/platform substitute header files ...",
                 "Couldnt create " + at("out/boost/config/platform/orvo++.hpp") + ". Please check folder permissions",
                 "Modifying Compiler Personality...", kAddOutputByHand, at("out")}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(get("out/boost/config/compiler/orvo++.hpp"), lines("// compiler\n#define BOOST_COMPILER \"ORVO++\"\n"));

    if (!every_build_run())
        return;
    fresh_output();
    fs::remove_all(dir / "lib/boost/config/compiler");
    fs::create_directories(dir / "lib/boost/config/platform");
    result = run_default();
    EXPECT_NE(result.output.find(at("out/boost/config/compiler/orvo++.hpp")), std::string::npos);
    EXPECT_EQ(result.output.find(sep("platform/orvo++.hpp")), std::string::npos);
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(exists("out/boost/config/platform/orvo++.hpp"));
}

TEST_P(BoostTree, AMissingConfigDataFileFailsTheRun)
{
    fs::remove(dir / "orvo++_compiler.hpp");
    program_result result = run_default();
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "Creating compiler/platform substitute header files ...",
                       "Error: Cannot read orvo++_compiler.hpp: " + target().no_such_file,
                       "Modifying Compiler Personality...", kAddOutputByHand, at("out")}));
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(exists("out/boost/config/compiler/orvo++.hpp"));
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");
}

TEST_P(BoostTree, UnreadableOrUnwritableFilesEndTheRunAtOnce)
{
    put("lib/boost/a.hpp", "");
    fs::create_directories(dir / "out/boost/a.hpp");  // a directory takes the forwarding header's name
    program_result result = run_default();
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "Couldn't create stub header - " + at("out") + sep("/boost//a.hpp") +
                           ". Please check folder permissions"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");

    if (target().windows())
        return;  // Wine runs as root here: permissions do not stop it
    fresh_output();
    fs::permissions(dir.path(), fs::perms::all, fs::perm_options::add);
    for (const char* d :
         {"lib", "lib/boost", "lib/boost/config", "lib/boost/config/compiler", "lib/boost/config/platform", "out"})
        fs::permissions(dir / d, fs::perms::all, fs::perm_options::add);
    fs::permissions(dir / "lib/boost/a.hpp", fs::perms::none);
    result = run_default(true);
    EXPECT_NE(result.output.find("Couldn't open header for reading- " + at("lib/boost/a.hpp") +
                                 ". Please check folder permissions\n"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(result.status, 1);
}

INSTANTIATE_FOR_BOTH_BUILDS(BoostTree);

}  // namespace
