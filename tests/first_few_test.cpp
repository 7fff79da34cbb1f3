#include <gtest/gtest.h>

#include "first_few.h"

TEST(FirstFew, NamesTheFirstFiveThenCountsTheRest)
{
    const std::vector<std::string> seven{"a", "b", "c", "d", "e", "f", "g"};
    struct listing_case {
        std::vector<std::string> names;
        std::size_t count;
        const char* line;
    };
    const listing_case cases[] = {
        {{}, 0, ""},
        {{"a"}, 1, "a"},
        {{"a", "b", "c", "d", "e"}, 5, "a, b, c, d, e"},
        {seven, 7, "a, b, c, d, e and 2 more"},
        {{"a", "b"}, 9, "a, b and 7 more"},  // a caller that kept only the first few
    };
    for (const listing_case& c : cases)
        EXPECT_EQ(first_few(c.names, c.count), c.line) << c.line;
}
