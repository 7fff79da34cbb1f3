// Hostile trees and files on the real program: whatever the tree holds, a run
// ends with a clear line and an honest status, and writes only into the
// output location.
#include "skeld_cli.h"

#include <map>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Removes everything below path through directory descriptors, so that
// chains longer than the path limit go too (std::filesystem works on whole
// paths and stops there).
void remove_below(int parent, const char* name)
{
    int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0)
        return;
    DIR* listing = fdopendir(fd);
    if (!listing) {
        close(fd);
        return;
    }
    while (const dirent* entry = readdir(listing)) {
        const std::string child = entry->d_name;
        if (child == "." || child == "..")
            continue;
        struct stat st;
        if (fstatat(fd, child.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            remove_below(fd, child.c_str());
            unlinkat(fd, child.c_str(), AT_REMOVEDIR);
        } else {
            unlinkat(fd, child.c_str(), 0);
        }
    }
    closedir(listing);
}

// Creates base/c1/c2/.../cn one level at a time, relative to the level above,
// and an empty file in the levels that files names; the whole path may be far
// longer than any one call could take.
void make_chain(const fs::path& base, const std::vector<std::string>& components,
                const std::vector<std::pair<std::size_t, std::string>>& files)
{
    int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (std::size_t level = 0; level <= components.size(); ++level) {
        for (const auto& [at_level, file] : files) {
            if (at_level != level)
                continue;
            int file_fd = openat(fd, file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(file_fd, 0) << file;
            close(file_fd);
        }
        if (level == components.size())
            break;
        ASSERT_EQ(mkdirat(fd, components[level].c_str(), 0755), 0) << level;
        int next = openat(fd, components[level].c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(next, 0);
        close(fd);
        fd = next;
    }
    close(fd);
}

std::string last_line(const std::string& output)
{
    std::string text = output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text.substr(text.rfind('\n') + 1);
}

class HostileTree : public SkeldCli {
protected:
    void lay_out() override
    {
        put("lib/boost/config/compiler/gcc.hpp", "gcc\n");
        put("lib/boost/config/platform/linux.hpp", "linux\n");
    }

    void TearDown() override
    {
        if (!IsSkipped())
            remove_below(AT_FDCWD, dir.path().c_str());
    }

    // The host's PATH_MAX, final NUL included. Wine passes the Windows calls
    // on to the host without holding them to MAX_PATH, so it bounds both builds.
    static constexpr std::size_t path_limit = 4096;

    // Every file below lib, with its content: what a run must leave alone.
    std::map<std::string, std::string> original_tree() const
    {
        std::map<std::string, std::string> files;
        for (const std::string& file : files_below("lib"))
            files[file] = get("lib/" + file);
        return files;
    }
};

TEST_P(HostileTree, NulBytesWithoutALineBreakIn100MB)
{
    // One line of 100 MiB, nearly all NUL bytes (a hole, so it costs no disk):
    // the include at its start counts, the one at its end is on the same line.
    // Not "nul.hpp": on Windows that is the null device.
    const fs::path source = dir / "lib/boost/zeros.hpp";
    put("lib/boost/zeros.hpp", "#include <vector>");
    {
        const std::string tail = "#include <list>";
        const off_t size = 100 * 1024 * 1024;
        int fd = open(source.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size - static_cast<off_t>(tail.size())), 0);
        ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), size - static_cast<off_t>(tail.size())),
                  static_cast<ssize_t>(tail.size()));
        close(fd);
    }
    program_result result = run_default();
    fs::remove(source);
    EXPECT_EQ(result.output, printed(full_run_writing(8, "out")));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("out/boost/zeros.hpp"), boost_pattern("boost/zeros.hpp"));
    EXPECT_EQ(files_below("out/system"), std::vector<std::string>{"vector"});
}

TEST_P(HostileTree, VeryLongLinesInEveryFileSkeldReads)
{
    const std::string value(1 << 20, 'v');
    put("lib/boost/long.hpp", std::string(8 << 20, 'x') + "\n#include <list>\n");
    put("lib/boost/long_comment.hpp", "#include <map> //" + std::string(4 << 20, 'y'));
    put("possible_defines.txt", std::string(1 << 20, 'P') + "\nFOO\n");
    put("p.p_c", std::string(4 << 20, 'c') + "\n-sd FOO=" + value + "\n");
    put("boost_compiler_person_settings.txt", "-w" + std::string(2 << 20, 'w') + "\n");
    put("treat_as_nonboost.txt", "-file " + std::string(1 << 20, 'f') + "\n-dir " + std::string(1 << 20, 'd') + "\n");

    program_result result = run_default();
    EXPECT_EQ(result.output,
              printed({"Creating compiler header Files ...", "Creating boost substitute header files ...",
                       "failed FINDFIRSTFILE",  // the -dir entry: far too long to list
                       "Creating compiler/platform substitute header files ...", "Modifying Compiler Personality...",
                       kAddOutputByHand, at("out"), files_line(10)}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("out/AddAllCompilerFlags.h"), lines("#define FOO " + value + "\n#undef LONG_LONG\n"));
    EXPECT_EQ(files_below("out/system"), (std::vector<std::string>{"list", "map"}));
    EXPECT_EQ(get("out/boost/long.hpp"), boost_pattern("boost/long.hpp"));
    // Settings appended at the end, then the stub directory's entries put on top.
    const std::string stubs = at("out") + sep("/system");
    EXPECT_EQ(get("p.p_c"), ("-si \"" + stubs + "\"\n-q \"" + stubs + "\"\n" + std::string(4 << 20, 'c') +
                             "\n-sd FOO=" + value + "\n-w" + std::string(2 << 20, 'w') + "\n"));
}

TEST_P(HostileTree, AnIncludeNameTooLongForAFileFailsItsStub)
{
    const std::string name(300, 'n');
    put("lib/boost/a.hpp", "#include <" + name + ">\n");
    program_result result = run_default();
    EXPECT_EQ(last_line(result.output), "Couldn't create stub header - " + at("out") + sep("/system/") + name +
                                            ". Please check folder permissions");
    EXPECT_EQ(result.status, 1);
}

TEST_P(HostileTree, NamesWithSpacesAndNonAsciiBytes)
{
    // Any name either system can hold, in UTF-8 on both; POSIX names are any
    // bytes but '/'.
    std::vector<std::string> names = {"a b.hpp", " lead.hpp", "d\xc3\xa9 tail/\xc3\xbc ber.hpp", "x  y/z.hpp",
                                      "semi;colon,#.hpp", "\xce\xa9/\xcf\x89.hpp"};
    if (!target().windows())
        for (const char* name : {"\xff\xfe.hpp", "back\\slash.hpp", "tab\there.hpp"})
            names.push_back(name);
    const std::string original = "my lib \xc3\xa9/boost";
    const std::string output = "out \xc3\xbc";
    fs::create_directories(dir / output);
    put(original + "/config/compiler/gcc.hpp", "");
    put(original + "/config/platform/linux.hpp", "");
    for (const std::string& name : names)
        put(original + "/" + name, "#include <vector>\n");

    program_result result = run({at("p.p_c"), at(original), at(output)});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(files_below(output + "/system"), std::vector<std::string>{"vector"});
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string forwarded = "boost/" + name;
        EXPECT_EQ(get(output + "/boost/" + name), boost_pattern(forwarded));
    }
}

// A chain of directories below lib/boost whose deepest path passes the limit
// at a chosen point. Each case ends the run with the message for a file that
// cannot be read or created.
TEST_P(HostileTree, DirectoryChainDeeperThanThePathLimit)
{
    enum class last_entry { directory, file };
    struct chain_case {
        const char* what;
        last_entry last;           // what the chain ends in: a directory (holding f.hpp) or a file
        bool file_at_every_level;  // f.hpp in every directory on the way
        bool long_output;          // an output location longer than the original's
        int last_length;           // the last entry's path length, relative to the limit
        const char* message;       // how the last line starts
        bool under_wine;           // Wine does not list a file whose path is beyond the limit
    };
    const chain_case cases[] = {
        {"a directory beyond the limit, its file in it", last_entry::directory, false, false, +10,
         "Couldn't open header for reading- ", true},
        {"a file beyond the limit after files on the way", last_entry::file, true, false, +10,
         "Couldn't open header for reading- ", false},
        // Wine's own limit falls short of the host's here: it refuses to list the
        // deepest original directory before the mirror is reached.
        {"a file within the limit, its mirror beyond it", last_entry::file, true, true, -10,
         "Couldn't create stub header - ", false},
    };
    const std::size_t limit = path_limit;
    const std::size_t component = 100;
    for (const chain_case& c : cases) {
        if (target().windows() && !c.under_wine)
            continue;
        SCOPED_TRACE(c.what);
        remove_below(AT_FDCWD, (dir / "lib/boost").c_str());
        remove_below(AT_FDCWD, (dir / "out").c_str());
        const std::string output = c.long_output ? "out/" + std::string(component, 'o') : "out";
        fs::create_directories(dir / output);

        // Full-length directories while they stay well within the limit, then
        // one last entry cut to the length the case asks for.
        const std::size_t target_length = limit + c.last_length;
        std::vector<std::string> components;
        std::vector<std::pair<std::size_t, std::string>> files;
        std::size_t length = (dir / "lib/boost").string().size();  // as the host spells it
        while (length + 1 + component <= target_length - 20 - component) {
            components.push_back(std::string(component, 'd'));
            length += 1 + component;
            if (c.file_at_every_level)
                files.emplace_back(components.size(), "f.hpp");
        }
        const std::string last(target_length - length - 1, c.last == last_entry::directory ? 'e' : 'f');
        if (c.last == last_entry::directory) {
            components.push_back(last);
            files.emplace_back(components.size(), "f.hpp");
        } else {
            files.emplace_back(components.size(), last);
        }
        make_chain(dir / "lib/boost", components, files);

        program_result result = run({at("p.p_c"), at("lib/boost"), at(output)});
        const std::string last_printed = last_line(result.output);
        EXPECT_EQ(last_printed.rfind(c.message, 0), 0u) << last_printed.substr(0, 300);
        EXPECT_NE(last_printed.find(". Please check folder permissions"), std::string::npos)
            << last_printed.substr(0, 300);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");
    }
}

TEST_P(HostileTree, ALinkToADirectoryOutsideTheTreeIsMirroredAndLeftAlone)
{
    put("elsewhere/linked.hpp", "linked\n");
    fs::create_directory_symlink(dir / "elsewhere", dir / "lib/boost/ext.hpp");  // a "header" that is a directory
    const auto before = original_tree();

    program_result result = run_default();
    EXPECT_EQ(result.output, printed(full_run_writing(7, "out")));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(get("out/boost/ext.hpp/linked.hpp"), boost_pattern("boost/ext.hpp/linked.hpp"));
    EXPECT_EQ(original_tree(), before);
    EXPECT_EQ(files_below("elsewhere"), std::vector<std::string>{"linked.hpp"});
    EXPECT_EQ(get("elsewhere/linked.hpp"), "linked\n");
}

TEST_P(HostileTree, ALinkToTheOutputIsNotWalkedIntoItself)
{
    fs::create_directory_symlink(dir / "out", dir / "lib/boost/output");
    const auto before = original_tree();

    program_result result = run_default();
    EXPECT_EQ(result.status, 0) << last_line(result.output).substr(0, 300);
    EXPECT_FALSE(exists("out/boost/output/boost"))
        << files_below("out/boost/output").size() << " files below the link's mirror";
    EXPECT_EQ(original_tree(), before);
}

TEST_P(HostileTree, ALinkToNothingIsAFileThatCannotBeRead)
{
    if (target().windows())
        GTEST_SKIP() << "Wine does not list a link to nothing";
    fs::create_symlink(dir / "missing", dir / "lib/boost/dangling.hpp");
    program_result result = run_default();
    EXPECT_EQ(last_line(result.output), "Couldn't open header for reading- " + at("lib/boost/dangling.hpp") +
                                            ". Please check folder permissions");
    EXPECT_EQ(result.status, 1);
}

// The output location itself is guarded elsewhere; here the substitute tree
// below it holds a link into the original, as an earlier run's output that
// someone "tidied" might.
TEST_P(HostileTree, SubstituteTreeLinkedIntoTheOriginalIsRefused)
{
    put("lib/boost/x.hpp", "top\n");
    put("lib/boost/config/x.hpp", "config\n");
    for (const char* link : {"out/boost", "out/boost/config"}) {
        SCOPED_TRACE(link);
        remove_below(AT_FDCWD, (dir / "out").c_str());
        fs::create_directories((dir / link).parent_path());
        fs::create_directory_symlink(dir / "lib/boost/config", dir / link);
        const auto before = original_tree();
        program_result result = run_default();
        EXPECT_EQ(result.status, 1) << result.output;
        EXPECT_EQ(original_tree(), before);
        EXPECT_EQ(get("p.p_c"), "-sd FOO=1\n");
    }
}

INSTANTIATE_FOR_BOTH_BUILDS(HostileTree);

}  // namespace
