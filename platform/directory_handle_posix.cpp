#include "directory_handle.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "fault_hook.h"

namespace platform {

namespace {

// One component: nothing that could climb out of the directory or reach past it.
bool plain_name(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        errno = EINVAL;
        return false;
    }
    return true;
}

directory_handle::opening opening_after(int error)
{
    switch (error) {
    case ENOENT: return directory_handle::opening::missing;
    case ENOTDIR:
    case ELOOP: return directory_handle::opening::not_a_directory;
    default: return directory_handle::opening::failed;
    }
}

// The tests' other process: the directory goes, a link takes its place.
void swap_if_injected(const std::string& directory)
{
    std::optional<injected_fault>& fault = current_fault();
    if (!fault || fault->op != fault_op::swap_directory || directory.find(fault->path_part) == std::string::npos)
        return;
    const std::string target = fault->target;
    fault.reset();
    if (std::rename(directory.c_str(), (directory + ".moved").c_str()) == 0) {
        [[maybe_unused]] const int linked = symlink(target.c_str(), directory.c_str());
    }
}

// The tests' file system that says a delete worked and did nothing.
bool delete_ignored(const std::string& path)
{
    const std::optional<injected_fault>& fault = current_fault();
    return fault && fault->op == fault_op::ignored_delete && path.find(fault->path_part) != std::string::npos;
}

}  // namespace

directory_handle::~directory_handle()
{
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

directory_handle::opening directory_handle::open(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return opening_after(errno);
    return adopt(fd, path);
}

directory_handle::opening directory_handle::open_in(const directory_handle& parent, const std::string& name)
{
    if (!plain_name(name))
        return opening::failed;
    const int fd = openat(static_cast<int>(parent.handle_), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return opening_after(errno);
    return adopt(fd, parent.path_ + "/" + name);
}

directory_handle::removal directory_handle::remove_file_if(const std::string& name,
                                                           const std::function<bool(std::string_view)>& unchanged,
                                                           bool carry_out)
{
    if (!plain_name(name))
        return removal::failed;
    const int directory = static_cast<int>(handle_);
    // Asked before opening: a device or FIFO is never opened at all.
    struct stat named;
    if (fstatat(directory, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? removal::missing : removal::failed;
    if (!S_ISREG(named.st_mode))
        return removal::not_a_file;
    const int fd = openat(directory, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? removal::missing : errno == ELOOP ? removal::not_a_file : removal::failed;
    struct closing {
        int fd;
        ~closing()
        {
            if (fd >= 0)
                ::close(fd);
        }
    } open_file{fd};
    struct stat opened;
    if (fstat(fd, &opened) != 0)
        return removal::failed;
    if (!S_ISREG(opened.st_mode) || opened.st_ino != named.st_ino || opened.st_dev != named.st_dev)
        return removal::not_a_file;
    // Room for one byte more than the size: a short read of a regular file is its end.
    std::string bytes(static_cast<std::size_t>(opened.st_size) + 1, '\0');
    std::size_t have = 0;
    for (;;) {
        const ssize_t got = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return removal::failed;
        const bool short_read = static_cast<std::size_t>(got) < bytes.size() - have;
        have += static_cast<std::size_t>(got);
        if (short_read)
            break;
        bytes.resize(2 * bytes.size());
    }
    bytes.resize(have);
    // Closed before the deletion: a file deleted while open costs the file
    // system a second journal entry.
    ::close(std::exchange(open_file.fd, -1));
    if (!unchanged(bytes))
        return removal::changed;
    if (!carry_out)
        return removal::removed;
    swap_if_injected(path_);
    // POSIX deletes by name: only while the name still leads to what was
    // read, unwritten since (a write moves the change time).
    struct stat now;
    if (fstatat(directory, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? removal::missing : removal::failed;
    if (now.st_ino != opened.st_ino || now.st_dev != opened.st_dev || now.st_size != opened.st_size ||
        now.st_ctim.tv_sec != opened.st_ctim.tv_sec || now.st_ctim.tv_nsec != opened.st_ctim.tv_nsec)
        return removal::changed;
    if (!delete_ignored(path_ + "/" + name) && unlinkat(directory, name.c_str(), 0) != 0)
        return removal::failed;
    // Gone only when the name no longer leads to the file read.
    if (fstatat(directory, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && now.st_ino == opened.st_ino &&
        now.st_dev == opened.st_dev)
        return removal::still_there;
    return removal::removed;
}

bool directory_handle::remove_directory(const std::string& name)
{
    // A link there is no directory to AT_REMOVEDIR: it stays.
    return plain_name(name) && unlinkat(static_cast<int>(handle_), name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace platform
