// The one 64-bit fold (FNV-1a's constants) behind every digest Skeld takes:
// the change stamps of the platform module and the record's digests and seal.
#pragma once

#include <cstdint>

namespace digest_fold {

inline constexpr std::uint64_t start = 14695981039346656037ULL;

constexpr std::uint64_t fold(std::uint64_t hash, std::uint64_t part)
{
    return (hash ^ part) * 1099511628211ULL;
}

}  // namespace digest_fold
