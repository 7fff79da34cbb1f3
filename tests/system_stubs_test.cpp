#include <gtest/gtest.h>

#include <algorithm>

#include "paths.h"
#include "personality_trees.h"
#include "system_stubs.h"

TEST(SystemStubs, WhichNamesGetNoStub)
{
    // The disk as the front end sees it: these files, '/' for either separator.
    const std::set<std::string> files{
        "/inc/vector",
        "/inc/sys/types.h",
        "/gcc/stddef.h",
        "/lib/fftw3.h",
        "/out/AddAllCompilerFlags.h",
        "/out/system/__config",
        "/old/AddAllCompilerFlags.h",
        "/old/system/expected",
        "/out/skeld-record.txt",
        "/old/skeld-record.txt",
        "/run/rel/skeld-record.txt",
        "/gone/AddAllCompilerFlags.h",  // a tree whose record went: no longer Skeld's
    };
    const auto slashed = [](std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    };
    const std::set<std::string> directories{"/inc", "/inc/sys", "/gcc", "/lib", "/out", "/out/system", "/old",
                                            "/old/system"};
    const header_search disk{[&](const std::string& path) { return files.count(slashed(path)) > 0; },
                             [&](const std::string& a, const std::string& b) { return slashed(a) == slashed(b); },
                             [&](const std::string& path) { return directories.count(slashed(path)) > 0; }};
    const std::set<std::string> names{"",        "../x.h",   "__config",    "expected",
                                      "fftw3.h", "stddef.h", "sys/types.h", "vector"};
    struct rule_case {
        const char* what;
        std::vector<std::string> include_dirs;
        std::set<std::string> without;
        std::size_t notes = 0;  // lines saying an entry is left out
    };
    const rule_case cases[] = {
        {"no include directory: no way to tell", {}, {}},
        {"only Boost's parent: no way to tell", {"/lib/"}, {}},
        {"only Skeld's own output and Boost's parent", {"/out/system", "/out", "/lib"}, {}},
        {"found in any directory, Boost's parent too", {"/inc", "/gcc", "/lib"}, {"__config", "expected"}},
        {"Skeld's output, of this run or another, holds no real header",
         {"/out/system", "/out", "/old/system/", "/old", "/inc", "/gcc"},
         {"__config", "expected", "fftw3.h"}},
        // Entries that name nothing on disk say nothing of where the headers are.
        {"a directory that is not there: no way to tell", {"/missing", "/lib"}, {}, 1},
        {"a relative directory: no way to tell", {"inc", "/lib"}, {}, 1},
        {"left out beside one that is there", {"/missing", "gcc", "/inc"}, {"__config", "expected", "fftw3.h", "stddef.h"}, 2},
    };
    for (const rule_case& c : cases) {
        std::vector<std::string> notes;
        EXPECT_EQ(names_without_header(names, c.include_dirs, "/lib", disk, &notes), c.without) << c.what;
        EXPECT_EQ(notes.size(), c.notes) << c.what;
    }
    // Trees of Skeld's (a record there) that are not this output, each once,
    // by its own folder; a relative entry from the folder Skeld runs in.
    EXPECT_EQ(other_trees({"/out/system", "/out/", "/old/system", "/old", "/inc", "old", "/gone", "rel/system"}, "/out",
                          disk, "/run"),
              (std::vector<std::string>{"/old", paths::join("/run", "rel")}));
}
