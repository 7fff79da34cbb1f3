// The user's files under faults, on the real program: links planted in the
// output, a FIFO in the tree, a full disk, two runs on one personality.
#include "skeld_cli.h"

#include <future>

#include <sys/mount.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// What only the native build can be given: links (Wine shows the host's links
// as the files they lead to), FIFOs, mounts, processes at once.
class NativeFileSafety : public SkeldCli {};

TEST_P(NativeFileSafety, LinksPlantedInTheOutputAreNeverWrittenThrough)
{
    put("lib/boost/a.hpp", "#include <vector>\n");
    put("elsewhere.h", "the user's own\n");
    struct link_case {
        const char* what;
        const char* link;    // below the scratch directory
        const char* target;  // what it leads to
        bool directory;
        int status;
        const char* named;  // how the refusal names it: the mirror path shows its doubled separator
        bool after_run = false;  // put in place of what a run made, which its record names
    };
    const link_case cases[] = {
        {"a compiler-flag header linked to a file elsewhere", "out/RemoveAllCompilerFlags.h", "elsewhere.h", false, 0,
         ""},
        {"a forwarding header linked to its original", "out/boost/a.hpp", "lib/boost/a.hpp", false, 0, ""},
        {"the stub directory linked into the original tree", "out/system", "lib/boost", true, 1, "out/system"},
        {"a mirror directory linked into the original tree", "out/boost/config", "lib/boost/config", true, 1,
         "out/boost//config"},
        // A directory a record names is looked at rather than made again.
        {"a recorded mirror directory replaced by a link", "out/boost/config", "lib/boost/config", true, 1,
         "out/boost//config", true},
        {"the recorded stub directory replaced by a link", "out/system", "lib/boost", true, 1, "out/system", true},
    };
    for (const link_case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir / "out");
        if (c.after_run) {
            fs::create_directories(dir / "out");
            ASSERT_EQ(run_default().status, 0);
            fs::remove_all(dir / c.link);
        }
        fs::create_directories((dir / c.link).parent_path());
        if (c.directory)
            fs::create_directory_symlink(dir / c.target, dir / c.link);
        else
            fs::create_symlink(dir / c.target, dir / c.link);
        program_result result = run_default();
        EXPECT_EQ(result.status, c.status) << result.output;
        if (c.status == 1) {
            EXPECT_NE(result.output.find("Error: " + at(c.named) + " is a link."), std::string::npos) << result.output;
        } else {
            EXPECT_FALSE(fs::is_symlink(dir / c.link));
        }
        EXPECT_EQ(get("elsewhere.h"), "the user's own\n");
        EXPECT_EQ(get("lib/boost/a.hpp"), "#include <vector>\n");
        EXPECT_EQ(files_below("lib/boost"),
                  (std::vector<std::string>{"a.hpp", "config/compiler/gcc.hpp", "config/platform/linux.hpp"}));
    }
}

TEST_P(NativeFileSafety, AFifoInTheTreeOrAsThePersonalityFailsAtOnce)
{
    ASSERT_EQ(mkfifo((dir / "lib/boost/pipe.hpp").c_str(), 0644), 0);
    program_result result = run_default();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        result.output,
        printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                 "Couldn't open header for reading- " + at("lib/boost/pipe.hpp") + ". It is not a regular file"}));
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");

    ASSERT_EQ(mkfifo((dir / "fifo.p_c").c_str(), 0644), 0);
    result = run({at("fifo.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...",
                       "Error: Cannot open Compiler Personality - " + at("fifo.p_c") + ": not a regular file"}));
}

TEST_P(NativeFileSafety, AFullDiskFailsTheRunAndLeavesThePersonalityWhole)
{
    fs::create_directories(dir / "small");
    if (mount("tmpfs", (dir / "small").c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct unmount_at_end {
        fs::path at;
        ~unmount_at_end() { umount(at.c_str()); }
    } unmount{dir / "small"};
    for (int i = 0; i < 40; ++i)
        put("lib/boost/h" + std::to_string(i) + ".hpp", std::string(100, 'x') + "\n");
    put("boost_compiler_person_settings.txt", "-a\n");

    // The output on the full disk: the forwarding headers no longer fit.
    fs::create_directories(dir / "small/out");
    program_result result = run({at("p.p_c"), at("lib/boost"), at("small/out")});
    EXPECT_EQ(result.status, 1);
    const std::string last = result.output.substr(result.output.rfind('\n', result.output.size() - 2) + 1);
    EXPECT_EQ(last.rfind("Couldn't ", 0), 0u) << last;
    EXPECT_NE(last.find(at("small/out")), std::string::npos) << last;
    EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");

    // Room again: the next run converges to what a fresh run writes.
    ASSERT_EQ(mount("tmpfs", (dir / "small").c_str(), "tmpfs", MS_REMOUNT, "size=4m"), 0);
    EXPECT_EQ(run({at("p.p_c"), at("lib/boost"), at("small/out")}).status, 0);
    put("p.p_c", "-sd FOO=1\n");
    EXPECT_EQ(run_default().status, 0);
    EXPECT_EQ(files_below("small/out"), files_below("out"));
    for (const std::string& file : files_below("out"))
        if (file != "skeld-record.txt") {
            EXPECT_EQ(get("small/out/" + file), get("out/" + file)) << file;
        }
    fs::remove_all(dir / "small/out");
    fresh_output();
    put("p.p_c", "-sd FOO=1\n");
    ASSERT_EQ(mount("tmpfs", (dir / "small").c_str(), "tmpfs", MS_REMOUNT, "size=64k"), 0);

    // The personality on the full disk: its new text does not fit beside it.
    const std::string personality = "-sd FOO=1\n" + std::string(20000, 'c') + "\n";
    put("small/p.p_c", personality);
    put("small/filler", std::string(64 * 1024 - 24 * 1024, 'f'));
    result = run({at("small/p.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("Please add the following entries to the end of this file:\n-a\n"), std::string::npos)
        << result.output;
    EXPECT_EQ(get("small/p.p_c"), personality);
    EXPECT_EQ(files_below("small"), (std::vector<std::string>{"filler", "p.p_c"}));
}

TEST_P(NativeFileSafety, TwoRunsOnOnePersonalityNeverInterleave)
{
    for (int i = 0; i < 300; ++i)
        put("lib/boost/h" + std::to_string(i) + ".hpp", "#include <vector>\n");
    put("boost_compiler_person_settings.txt", "-sd BOOST_PLATFORM_CONFIG=\"x\"\n");
    fs::create_directories(dir / "out2");
    const std::string edit = "-si \"" + at("out/system") + "\"\n-q \"" + at("out/system") + "\"\n";
    const std::string edit2 = "-si \"" + at("out2/system") + "\"\n-q \"" + at("out2/system") + "\"\n";
    program_copy();  // once, before two threads would make it
    for (int round = 0; round < 5; ++round) {
        put("p.p_c", "-sd FOO=1\n");
        auto first = std::async(std::launch::async, [&] { return run_default(); });
        auto second = std::async(std::launch::async, [&] { return run({at("p.p_c"), at("lib/boost"), at("out2")}); });
        const program_result a = first.get(), b = second.get();
        const std::string settings = "-sd BOOST_PLATFORM_CONFIG=\"x\"\n";
        // Each run that reports success edited the personality whole, the
        // settings once between them; one that met the other said so.
        std::vector<std::string> allowed;
        if (a.status == 0 && b.status == 0)
            allowed = {edit2 + edit + "-sd FOO=1\n" + settings, edit + edit2 + "-sd FOO=1\n" + settings};
        else if (a.status == 0)
            allowed = {edit + "-sd FOO=1\n" + settings};
        else if (b.status == 0)
            allowed = {edit2 + "-sd FOO=1\n" + settings};
        else
            allowed = {"-sd FOO=1\n"};
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), get("p.p_c")), allowed.end()) << get("p.p_c");
        for (const program_result* r : {&a, &b}) {
            if (r->status != 0) {
                EXPECT_NE(r->output.find("is being edited by another run of Skeld"), std::string::npos) << r->output;
            }
        }
    }
}

TEST_P(NativeFileSafety, SkeldFindsItsDataBesideItWhereverItStarts)
{
    for (const char* name : {"possible_defines.txt", "treat_as_nonboost.txt", "boost_compiler_person_settings.txt",
                             "orvo++_compiler.hpp", "orvo++_windows.hpp"}) {
        fs::copy_file(dir / name, program_copy().parent_path() / name);
        fs::remove(dir / name);
    }
    fs::create_directories(dir / "elsewhere");
    program_result result = run_from(dir / "elsewhere", {at("p.p_c"), at("lib/boost"), at("out")});
    EXPECT_EQ(result.output, printed(full_run_writing(6, "out")));
    EXPECT_EQ(result.status, 0);
}

INSTANTIATE_TEST_SUITE_P(native, NativeFileSafety, ::testing::Values(std::string("native")));

}  // namespace
