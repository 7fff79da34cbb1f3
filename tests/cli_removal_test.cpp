// Removal and one run per output, on the real program: a link planted in the
// tree, another run holding the output, the lock file a killed run left.
#include "skeld_cli.h"

#include <chrono>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class OutputRemoval : public SkeldCli {
protected:
    std::string in_use() const
    {
        return "Error: " + at("out") + " is in use by another run of Skeld. Please run Skeld again when that run has ended.";
    }
};

// The output's lock held as another run holds it: the native build's lock
// and the one Wine takes on the host for Skeld.exe's.
class other_run {
public:
    explicit other_run(const fs::path& lock_file) : fd_(::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644))
    {
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        EXPECT_TRUE(fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) == 0 && fcntl(fd_, F_SETLK, &whole) == 0);
    }
    ~other_run() { end(); }
    void end()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

TEST_P(OutputRemoval, ARunOrRemovalIntoAnOutputInUseWaitsThenStops)
{
    ASSERT_EQ(run_default().status, 0);
    const auto written = files_below("out");
    {
        other_run other(dir / "out/skeld-lock");
        program_result result = run_default();
        EXPECT_EQ(result.output, printed({in_use()}));
        EXPECT_EQ(result.status, 1);
        if (every_build_run()) {
            result = run({"--remove", at("p.p_c"), at("out")});
            EXPECT_EQ(result.output, printed({in_use()}));
            EXPECT_EQ(result.status, 1);
        }
        // A check does not wait: a run would refuse.
        result = run({"--check", at("p.p_c"), at("lib/boost"), at("out")});
        EXPECT_EQ(result.output, printed({in_use(), "Check: status=2 write=0 remove=0 add=0 record=0 refuse=in-use"}));
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(files_below("out").size(), written.size() + 1);
    }
    // What that run left stops nobody: its lock ended with it.
    EXPECT_EQ(run_default().status, 0);
    EXPECT_EQ(files_below("out"), written);
}

TEST_P(OutputRemoval, ARunWaitingForTheOutputGoesOnWhenTheOtherEnds)
{
    if (!every_build_run())
        GTEST_SKIP() << "Wine's start-up may outlast the other run: the native build shows the wait";
    other_run other(dir / "out/skeld-lock");
    auto waiting = std::async(std::launch::async, [&] { return run_default(); });
    std::this_thread::sleep_for(std::chrono::seconds(1));
    other.end();
    const program_result result = waiting.get();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_FALSE(exists("out/skeld-lock"));
}

TEST_P(OutputRemoval, CheckMakesNoLockFileAndRemoveTakesALeftOneAway)
{
    EXPECT_EQ(run({"--check", at("p.p_c"), at("lib/boost"), at("out")}).status, 1);
    EXPECT_FALSE(exists("out/skeld-lock"));
    ASSERT_EQ(run_default().status, 0);
    put("out/skeld-lock", "");  // a killed run's
    const program_result result = run({"--remove", at("p.p_c"), at("out")});
    EXPECT_EQ(result.output.find("Left"), std::string::npos) << result.output;
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(files_below("out"), std::vector<std::string>{});
}

TEST_P(OutputRemoval, RemoveGoesThroughNoLinkPlantedInTheTree)
{
    ASSERT_EQ(run_default().status, 0);
    fs::rename(dir / "out/boost/config", dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "out/boost/config");
    const auto copies = files_below("elsewhere");
    const program_result result = run({"--remove", at("p.p_c"), at("out")});
    for (const char* file : {"compiler/gcc.hpp", "compiler/orvo++.hpp", "platform/linux.hpp", "platform/orvo++.hpp"}) {
        EXPECT_NE(result.output.find(printed({"Left " + at("out/boost/config/" + std::string(file)) +
                                              ": a link leads to it, and Skeld removes nothing through a link"})),
                  std::string::npos)
            << result.output;
    }
    EXPECT_NE(result.output.find(" in " + at("out") + ": boost/config" + target().line_end), std::string::npos)
        << result.output;
    EXPECT_EQ(files_below("elsewhere"), copies);
    EXPECT_EQ(copies.size(), 4u);
}

INSTANTIATE_FOR_BOTH_BUILDS(OutputRemoval);

}  // namespace
