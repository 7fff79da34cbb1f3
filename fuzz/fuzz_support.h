// What the fuzz targets share: a private scratch directory for the parsers
// that read files, and a check that aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

// A directory of its own for this process, made once; removed at exit.
const std::string& fuzz_scratch_dir();

// Creates or empties path and writes bytes exactly as given.
void fuzz_write_file(const std::string& path, std::string_view bytes);
