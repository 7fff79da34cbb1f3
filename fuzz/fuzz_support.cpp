#include "fuzz_support.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

struct scratch {
    std::string path;
    scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skeld-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path = pattern;
    }
    ~scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& fuzz_scratch_dir()
{
    static scratch dir;
    return dir.path;
}

void fuzz_write_file(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    FUZZ_CHECK(out.good());
}
