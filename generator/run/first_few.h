// The one way a line lists many paths: the first few by name, then how many
// more, so that a line stays readable however large the tree.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

inline constexpr std::size_t first_few_named = 5;

// names joined by ", " (only the first first_few_named of them), then
// " and N more" when count, the whole number of them, is larger.
std::string first_few(const std::vector<std::string>& names, std::size_t count);
inline std::string first_few(const std::vector<std::string>& names)
{
    return first_few(names, names.size());
}
