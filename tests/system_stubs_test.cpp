#include <gtest/gtest.h>

#include <algorithm>

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
    };
    const auto slashed = [](std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    };
    const header_search disk{[&](const std::string& path) { return files.count(slashed(path)) > 0; },
                             [&](const std::string& a, const std::string& b) { return slashed(a) == slashed(b); }};
    const std::set<std::string> names{"",        "../x.h",   "__config",    "expected",
                                      "fftw3.h", "stddef.h", "sys/types.h", "vector"};
    struct rule_case {
        const char* what;
        std::vector<std::string> include_dirs;
        std::set<std::string> without;
    };
    const rule_case cases[] = {
        {"no include directory: no way to tell", {}, {}},
        {"only Boost's parent: no way to tell", {"/lib/"}, {}},
        {"only Skeld's own output and Boost's parent", {"/out/system", "/out", "/lib"}, {}},
        {"found in any directory, Boost's parent too", {"/inc", "/gcc", "/lib"}, {"__config", "expected"}},
        {"Skeld's output, of this run or another, holds no real header",
         {"/out/system", "/out", "/old/system/", "/old", "/inc", "/gcc"},
         {"__config", "expected", "fftw3.h"}},
        {"a directory that is not there",
         {"/missing"},
         {"__config", "expected", "fftw3.h", "stddef.h", "sys/types.h", "vector"}},
    };
    for (const rule_case& c : cases) {
        EXPECT_EQ(names_without_header(names, c.include_dirs, "/lib", disk), c.without) << c.what;
    }
}
