// A run's work shared among threads, in process so that a disk fault can be
// injected into a worker: what it writes, records and prints is what one
// thread's run does, a failing write included, and the next run converges.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "run_sequence.h"
#include "scratch_dir.h"
#include "work_share.h"

namespace fs = std::filesystem;

namespace {

TEST(WorkShare, EveryIndexOnceAndTheLowestFailureThrown)
{
    for (const unsigned jobs : {1u, 2u, 4u}) {
        SCOPED_TRACE(jobs);
        work_share share(jobs);
        for (const bool halves : {false, true}) {
            for (const std::size_t count : {0u, 1u, 333u}) {
                std::vector<std::atomic<int>> taken(count);
                const work_share::job_type job = [&](std::size_t i, unsigned thread) {
                    EXPECT_LT(thread, jobs);
                    ++taken[i];
                };
                if (halves) {
                    share.start(count, job);
                    share.wait();
                } else {
                    share.for_each(count, job);
                }
                for (std::size_t i = 0; i < count; ++i)
                    EXPECT_EQ(taken[i].load(), 1) << i;
            }
        }
        try {
            share.for_each(100, [](std::size_t i, unsigned) {
                if (i % 30 == 29)
                    throw std::runtime_error(std::to_string(i));
            });
            ADD_FAILURE() << "nothing thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "29");
        }
    }
}

struct run_outcome {
    int status;
    std::string output;
    std::map<std::string, std::string> files;  // the output and the personality, by path
};

class SharedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [name, text] : std::map<std::string, std::string>{
                 {"possible_defines.txt", "FOO\n"},
                 {"p.p_c", "-sd FOO=1\n"},
                 {"treat_as_nonboost.txt", ""},
                 {"boost_compiler_person_settings.txt", ""},
                 {"orvo++_compiler.hpp", ""},
                 {"orvo++_windows.hpp", ""},
                 {"lib/boost/config/compiler/gcc.hpp", ""},
                 {"lib/boost/config/platform/linux.hpp", ""}})
            write_file(dir / name, text);
        // More files than one batch, in several directories, each naming a header.
        for (int i = 0; i < 300; ++i)
            write_file(dir / ("lib/boost/part" + std::to_string(i % 7) + "/h" + std::to_string(i) + ".hpp"),
                       "#include <sys" + std::to_string(i % 13) + ".h>\n");
        fs::create_directory(dir / "out");
        working = fs::current_path();
        fs::current_path(dir.path());
    }
    void TearDown() override
    {
        platform::inject_fault(std::nullopt);
        fs::current_path(working);
    }

    run_outcome run(std::vector<std::string> words)
    {
        words.insert(words.begin(), "Skeld");
        std::vector<const char*> argv;
        for (const std::string& word : words)
            argv.push_back(word.c_str());
        std::ostringstream console;
        generator_state state;
        state.console = &console;
        run_outcome outcome{run_skeld(state, static_cast<int>(argv.size()), argv.data()), console.str(), {}};
        for (const auto& entry : fs::recursive_directory_iterator(dir / "out"))
            if (entry.is_regular_file())
                outcome.files[entry.path().string()] = read_file(entry.path());
        // Each file's stamp, and so the seal, is the file system's own: the
        // record compares without them.
        for (auto& [path, text] : outcome.files)
            if (path.ends_with("skeld-record.txt"))
                text = std::regex_replace(std::regex_replace(text, std::regex("(File: [0-9a-f]{16})/[0-9a-f]{16}"), "$1"),
                                          std::regex("seal [0-9a-f]+"), "seal");
        outcome.files["p.p_c"] = read_file(dir / "p.p_c");
        return outcome;
    }

    // A fresh output and personality, as before a first run.
    void start_again()
    {
        fs::remove_all(dir / "out");
        fs::create_directory(dir / "out");
        write_file(dir / "p.p_c", "-sd FOO=1\n");
    }

    scratch_dir dir;
    fs::path working;
};

TEST_F(SharedRun, ThreadsWriteRecordAndSayWhatOneThreadDoesAndStopAtTheSameFile)
{
    struct fault_case {
        std::optional<platform::injected_fault> fault;
        int status;
    };
    const fault_case cases[] = {
        {std::nullopt, 0},
        {platform::injected_fault{platform::fault_op::write, "part3"}, 1},
        {platform::injected_fault{platform::fault_op::close, "h150"}, 1},
        // A Boost file that cannot be read, met while earlier headers are being written.
        {platform::injected_fault{platform::fault_op::read, "h200.hpp"}, 1},
    };
    for (const fault_case& c : cases) {
        SCOPED_TRACE(c.fault ? c.fault->path_part : "no fault");
        std::map<std::string, run_outcome> by_jobs;
        for (const char* jobs : {"1", "4"}) {
            start_again();
            platform::inject_fault(c.fault);
            by_jobs[jobs] = run({"--jobs", jobs, "p.p_c", "lib/boost", "out"});
            platform::inject_fault(std::nullopt);
            EXPECT_EQ(by_jobs[jobs].status, c.status) << by_jobs[jobs].output;
        }
        const run_outcome& one = by_jobs["1"];
        const run_outcome& four = by_jobs["4"];
        EXPECT_EQ(four.output, one.output);
        if (c.fault) {
            // The last line names the first failing file in walk order; the
            // files written may differ, the threads having gone on.
            EXPECT_NE(one.output.find(c.fault->path_part), std::string::npos) << one.output;
            const run_outcome next = run({"--jobs", "4", "p.p_c", "lib/boost", "out"});
            EXPECT_EQ(next.status, 0) << next.output;
            EXPECT_EQ(run({"--check", "p.p_c", "lib/boost", "out"}).status, 0);
        } else {
            EXPECT_EQ(four.files, one.files);
            EXPECT_GT(one.files.size(), 300u);  // a whole tree, compared byte for byte
        }
    }
}

}  // namespace
