#include <gtest/gtest.h>

#include "include_scan.h"

namespace {

// The name the scanner records for one line, or "-" when it records none.
std::string scan_line(const std::string& line)
{
    include_line_scanner scanner;
    for (char c : line)
        scanner.feed(c);
    return scanner.end_line() ? scanner.name() : "-";
}

}  // namespace

TEST(IncludeScan, LineRules)
{
    struct scan_case {
        const char* line;
        const char* name;
    };
    const scan_case cases[] = {
        {"#include <vector>", "vector"},
        {"#include <sys/types.h>", "sys/types.h"},
        {"#  include  < vector >", "vector"},  // every space goes
        {"#include\t<vector>", "-"},           // a tab hides it
        {"#include <boost/config.hpp>", "-"},
        {"#include <vector> // boost needs this", "-"},
        {"#include <Boost/x.hpp>", "Boost/x.hpp"},
        {"// #include <vector>", "-"},
        {"#include <vector> // comment", "vector"},
        {"/* #include <vector> */", "vector"},
        {"#include \"vector\"", "-"},
        {"#include_next <vector>", "-"},
        {"#include <vector", "vector"},
        {"#include <vector> x>", "vector"},
        {"a > b #include <vector> c", "vector>c"},  // a '>' before the first '<': to the end of the line
        {"x < y #include <vector>", "y#include<vector"},
        {"#include <>", ""},
        {"#include <a/../b.h>", "a/../b.h"},
        {"#include <a>  #include <b>", "a"},  // only the first counts
        {"##include <v>", "v"},
        {"#inc#include <v>", "v"},
        {"#include <v> / / x", "v"},
        {"/ / #include <v>", "-"},  // "//" once the spaces are gone
        {"bo ost #include <v>", "-"},
        {"boos #include <v>", "v"},
        {"#include <v\r>", "v\r"},
    };
    for (const scan_case& c : cases)
        EXPECT_EQ(scan_line(c.line), c.name) << c.line;
}

TEST(IncludeScan, EachLineStartsAfresh)
{
    include_line_scanner scanner;
    for (char c : std::string("// boost #include"))
        scanner.feed(c);
    EXPECT_FALSE(scanner.end_line());
    scanner.start_line();
    for (char c : std::string("<vector>"))
        scanner.feed(c);
    EXPECT_FALSE(scanner.end_line());
    scanner.start_line();
    for (char c : std::string("#include <list>"))
        scanner.feed(c);
    ASSERT_TRUE(scanner.end_line());
    EXPECT_EQ(scanner.name(), "list");
}
