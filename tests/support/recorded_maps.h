// A record's files as maps by path, for tests that set them up and compare them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tree_record.h"

inline file_entry& put_file(recorded_files& files, std::string_view path, digest value,
                            std::optional<std::uint64_t> stamp = std::nullopt, bool journalled = false)
{
    file_entry& file = files.add(path, {});
    file.value = value;
    file.stamped = stamp.has_value();
    file.stamp = stamp.value_or(0);
    file.journalled = journalled;
    return file;
}

inline std::map<std::string, digest> digests_of(const recorded_files& files)
{
    std::map<std::string, digest> digests;
    files.in_path_order([&](std::string_view path, const file_entry& file) { digests.emplace(path, file.value); });
    return digests;
}

inline std::map<std::string, std::uint64_t> stamps_of(const recorded_files& files)
{
    std::map<std::string, std::uint64_t> stamps;
    files.in_path_order([&](std::string_view path, const file_entry& file) {
        if (file.stamped)
            stamps.emplace(path, file.stamp);
    });
    return stamps;
}
