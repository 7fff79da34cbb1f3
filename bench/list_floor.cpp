// The least a run over an unchanged tree must do to know that nothing
// changed: list every directory of the original tree and of the output, and
// take every entry's status, opening no file. Its time is what "did anything
// change?" costs at best, as a no-op build or `git status` pays it.
//
//   list_floor <original tree> <output directory>

#include <cstdio>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

long entries = 0;

// Status relative to the open directory, as a careful reader takes it:
// one fstatat a name, no path resolved from the root again.
bool walk(int parent, const char* name, const std::string& shown)
{
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : fdopendir(fd);
    if (!dir) {
        std::fprintf(stderr, "list_floor: cannot list %s\n", shown.c_str());
        return false;
    }
    bool ok = true;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.' && (entry->d_name[1] == 0 || (entry->d_name[1] == '.' && entry->d_name[2] == 0)))
            continue;
        struct stat st;
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            continue;
        }
        ++entries;
        if (S_ISDIR(st.st_mode))
            ok = walk(dirfd(dir), entry->d_name, shown + "/" + entry->d_name) && ok;
    }
    closedir(dir);
    return ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: list_floor <original tree> <output directory>\n");
        return 2;
    }
    bool ok = walk(AT_FDCWD, argv[1], argv[1]);
    ok = walk(AT_FDCWD, argv[2], argv[2]) && ok;
    std::printf("%ld entries\n", entries);
    return ok ? 0 : 1;
}
