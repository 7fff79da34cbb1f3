#include "platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

const char path_separator = '/';
const char foreign_separator = '\\';
const char* const line_end = "\n";
const char* const generator_program_name = "Skeld";

directory_listing::~directory_listing()
{
    if (handle_)
        closedir(static_cast<DIR*>(handle_));
}

bool directory_listing::open(const std::string& directory)
{
    DIR* dir = opendir(directory.c_str());
    if (!dir) {
        too_long_ = errno == ENAMETOOLONG;
        return false;
    }
    handle_ = dir;
    return true;
}

bool directory_listing::next()
{
    if (!handle_)
        return false;
    const dirent* entry = readdir(static_cast<DIR*>(handle_));
    if (!entry)
        return false;
    name_ = entry->d_name;
#ifdef DT_DIR
    switch (entry->d_type) {
    case DT_DIR: kind_ = entry_kind::directory; break;
    case DT_REG: kind_ = entry_kind::file; break;
    default: kind_ = entry_kind::unknown; break;
    }
#else
    kind_ = entry_kind::unknown;
#endif
    return true;
}

bool is_directory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_directory(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

bool replace_file(const std::string& source, const std::string& target)
{
    // Keep the target's permission bits: the user's file keeps who may read it.
    struct stat st;
    if (stat(target.c_str(), &st) == 0)
        chmod(source.c_str(), st.st_mode & 07777);
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool remove_file(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool identify(const std::string& path, file_identity& identity)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return false;
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.index = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

bool resolve_path(const std::string& path, std::string& resolved)
{
    char* full = realpath(path.c_str(), nullptr);
    if (!full)
        return false;
    resolved = full;
    std::free(full);
    return true;
}

}  // namespace platform
