// The least work any generator of a substitute tree must do: read every file
// of the original tree once, and write one small file per original into a
// mirror tree, creating the mirror's directories on the way. Nothing is
// parsed and nothing is kept, so its time is what the file system costs.
//
//   io_floor <original tree> <existing output directory> [threads] [stamped]
//
// With "stamped", each file read and each file written is also asked for its
// status on its open descriptor: the one call more a file that a generator
// needs to know its files again later without reading them.
// The mirror goes to <output>/boost, as Skeld's does. With threads above 1,
// the parallel floor: the walk makes every directory first and lists the
// files, then the threads share the files, each taking the next one free.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As large as Skeld's read buffer: the same number of reads.
constexpr std::size_t buffer_size = 1 << 20;

// A forwarding header's size, so that the writes cost what Skeld's cost.
constexpr char body[] = "#ifndef IN_BOOST_HEADERS\n"
                        "#define IN_BOOST_HEADERS\n"
                        "#include \"RemoveAllCompilerFlags.h\"\n"
                        "#include_next \"boost/some/original/header.hpp\"\n"
                        "#include \"AddAllCompilerFlags.h\"\n"
                        "#undef IN_BOOST_HEADERS\n"
                        "#else\n"
                        "#include_next \"boost/some/original/header.hpp\"\n"
                        "#endif\n";

std::atomic<long> files{0};
bool stamped = false;

bool copy_one(const std::string& source, const std::string& target, char* buffer)
{
    int in = open(source.c_str(), O_RDONLY);
    if (in < 0)
        return false;
    struct stat st;
    if (stamped)
        fstat(in, &st);
    while (read(in, buffer, buffer_size) > 0) {
    }
    close(in);

    int out = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (out < 0)
        return false;
    bool ok = write(out, body, sizeof body - 1) == static_cast<ssize_t>(sizeof body - 1);
    if (stamped)
        fstat(out, &st);
    ok = close(out) == 0 && ok;
    ++files;
    return ok;
}

// Both paths grow by one component per entry and are cut back afterwards,
// so no path is built from scratch. Each file is copied at once, or, when
// pending is given, only listed there for the threads.
bool walk(std::string& source, std::string& target, char* buffer,
          std::vector<std::pair<std::string, std::string>>* pending)
{
    DIR* dir = opendir(source.c_str());
    if (!dir) {
        std::fprintf(stderr, "io_floor: cannot list %s\n", source.c_str());
        return false;
    }
    bool ok = true;
    const std::size_t source_size = source.size();
    const std::size_t target_size = target.size();
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        source.append(1, '/').append(entry->d_name);
        target.append(1, '/').append(entry->d_name);

        bool is_dir = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st;
            is_dir = stat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (is_dir) {
            mkdir(target.c_str(), 0777);
            ok = walk(source, target, buffer, pending) && ok;
        } else if (pending) {
            pending->emplace_back(source, target);
        } else if (!copy_one(source, target, buffer)) {
            std::fprintf(stderr, "io_floor: cannot copy %s\n", source.c_str());
            ok = false;
        }
        source.resize(source_size);
        target.resize(target_size);
    }
    closedir(dir);
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3 || argc > 5 || (argc == 5 && std::strcmp(argv[4], "stamped") != 0)) {
        std::fprintf(stderr, "usage: io_floor <original tree> <existing output directory> [threads] [stamped]\n");
        return 2;
    }
    const int threads = argc >= 4 ? std::atoi(argv[3]) : 1;
    stamped = argc == 5;
    if (threads < 1) {
        std::fprintf(stderr, "io_floor: threads must be 1 or more\n");
        return 2;
    }
    std::string source = argv[1];
    std::string target = std::string(argv[2]) + "/boost";
    mkdir(target.c_str(), 0777);
    const auto buffer = std::make_unique<char[]>(buffer_size);
    if (threads == 1) {
        const bool ok = walk(source, target, buffer.get(), nullptr);
        std::printf("%ld files\n", files.load());
        return ok ? 0 : 1;
    }

    std::vector<std::pair<std::string, std::string>> pending;
    std::atomic<bool> ok{walk(source, target, buffer.get(), &pending)};
    std::atomic<std::size_t> next{0};
    const auto share = [&] {
        const auto own = std::make_unique<char[]>(buffer_size);
        for (std::size_t i = next++; i < pending.size(); i = next++)
            if (!copy_one(pending[i].first, pending[i].second, own.get())) {
                std::fprintf(stderr, "io_floor: cannot copy %s\n", pending[i].first.c_str());
                ok = false;
            }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(share);
    share();
    for (std::thread& worker : workers)
        worker.join();
    std::printf("%ld files\n", files.load());
    return ok ? 0 : 1;
}
