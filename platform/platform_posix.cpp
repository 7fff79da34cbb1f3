#include "platform.h"
#include "fault_hook.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "digest_fold.h"
#include "held_along_walk.h"

namespace platform {

const char path_separator = '/';
const char foreign_separator = '\\';
const bool open_file_blocks_replace = false;
const char* const line_end = "\n";
const char* const installed_data_folder = "share/headwright";

namespace {

// Whether the injected fault hits this operation on this path; sets errno as
// the system would for it.
bool faulted(fault_op op, const std::string& path)
{
    const std::optional<injected_fault>& fault = current_fault();
    if (!fault || fault->op != op || path.find(fault->path_part) == std::string::npos)
        return false;
    errno = op == fault_op::write ? ENOSPC : op == fault_op::replace ? EACCES : EIO;
    return true;
}

}  // namespace

// Names are the bytes they are: nothing to convert.
program_arguments::program_arguments(int argc, char* argv[]) : text_(argv, argv + argc)
{
    for (const std::string& argument : text_)
        values_.push_back(argument.c_str());
    values_.push_back(nullptr);
}

void console_in_utf8() {}

struct directory_listing::state {
    DIR* dir;
};

directory_listing::~directory_listing()
{
    if (state_) {
        closedir(state_->dir);
        delete state_;
    }
}

bool directory_listing::open(const std::string& directory)
{
    DIR* dir = opendir(directory.c_str());
    if (!dir) {
        too_long_ = errno == ENAMETOOLONG;
        return false;
    }
    state_ = new state{dir};
    return true;
}

bool directory_listing::next()
{
    if (!state_)
        return false;
    const dirent* entry = readdir(state_->dir);
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

bool is_file(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

node_kind node_at(const std::string& path)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return node_kind::missing;
    if (S_ISLNK(st.st_mode))
        return node_kind::link;
    if (S_ISDIR(st.st_mode))
        return node_kind::directory;
    return S_ISREG(st.st_mode) ? node_kind::regular : node_kind::other;
}

bool make_directory(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0;
}

bool can_create_in(const std::string& directory)
{
    return access(directory.c_str(), W_OK | X_OK) == 0;
}

bool replace_file(const std::string& source, const std::string& target)
{
    if (faulted(fault_op::replace, target))
        return false;
    if (std::rename(source.c_str(), target.c_str()) != 0)
        return false;
    // The rename itself must reach the disk too, or a crash could undo it.
    std::string directory = target.substr(0, target.rfind('/') + 1);
    int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
    return true;
}

bool remove_file(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool remove_directory(const std::string& path)
{
    return rmdir(path.c_str()) == 0;
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

namespace {

std::uint64_t stamp_of(const struct stat& st)
{
    // The change time moves with every write and with chmod, which may make a
    // file unreadable: either calls for reading it again.
    const std::uint64_t parts[] = {static_cast<std::uint64_t>(st.st_size), static_cast<std::uint64_t>(st.st_ino),
                                   static_cast<std::uint64_t>(st.st_mtim.tv_sec), static_cast<std::uint64_t>(st.st_mtim.tv_nsec),
                                   static_cast<std::uint64_t>(st.st_ctim.tv_sec), static_cast<std::uint64_t>(st.st_ctim.tv_nsec)};
    std::uint64_t stamp = digest_fold::start;
    for (const std::uint64_t part : parts)
        stamp = digest_fold::fold(stamp, part);
    return stamp;
}

}  // namespace

bool change_stamp(const std::string& path, std::uint64_t& stamp)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return false;
    stamp = stamp_of(st);
    return true;
}

namespace {

file_stamp output_stamp_of(const struct stat& st)
{
    return {stamp_of(st), static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

namespace {

// A directory held open, so that its files are asked relative to it: the
// kernel looks up one name, not the whole path, for every file.
class held_directory {
public:
    explicit held_directory(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    held_directory(held_directory&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    held_directory& operator=(held_directory&&) = delete;
    ~held_directory()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace

bool listed_change_stamp(const std::string& path, std::uint64_t& stamp)
{
    // The directories on the walk's way down, held in this thread.
    thread_local held_along_walk<held_directory> held;
    const std::size_t separator = path.rfind('/');
    if (separator == std::string::npos)
        return change_stamp(path, stamp);
    const held_directory& directory = held.at(std::string_view(path).substr(0, separator),
                                              [](const std::string& at) { return held_directory(at); });
    if (directory.fd() < 0)
        return change_stamp(path, stamp);
    struct stat st;
    if (fstatat(directory.fd(), path.c_str() + separator + 1, &st, 0) != 0)
        return false;
    stamp = stamp_of(st);
    return true;
}

struct walk_stamps::held {
    held_along_walk<held_directory> directories;
};

walk_stamps::walk_stamps() : held_(std::make_unique<held>()) {}
walk_stamps::~walk_stamps() = default;
walk_stamps::walk_stamps(walk_stamps&&) noexcept = default;
walk_stamps& walk_stamps::operator=(walk_stamps&&) noexcept = default;

std::optional<file_stamp> walk_stamps::stamp_of(const std::string& path)
{
    const std::size_t separator = path.rfind('/');
    const std::string_view directory = separator == std::string::npos ? std::string_view(".")
                                       : separator == 0                ? std::string_view("/")
                                                                       : std::string_view(path).substr(0, separator);
    const held_directory& held =
        held_->directories.at(directory, [](const std::string& at) { return held_directory(at); });
    struct stat st;
    const char* name = separator == std::string::npos ? path.c_str() : path.c_str() + separator + 1;
    if (held.fd() < 0 || fstatat(held.fd(), name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return output_stamp_of(st);
}

std::optional<file_stamp> stamp_along_walk(const std::string& path)
{
    thread_local walk_stamps stamps;
    return stamps.stamp_of(path);
}

bool stamp_of_file(const std::string& path, file_stamp& stamp)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp = output_stamp_of(st);
    return true;
}

bool directory_stamps(const std::string& directory, std::vector<std::pair<std::string, file_stamp>>& entries)
{
    DIR* listing = opendir(directory.c_str());
    if (!listing)
        return false;
    const int at = dirfd(listing);
    while (const dirent* entry = readdir(listing)) {
        if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
            continue;
        struct stat st;
        if (fstatat(at, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            entries.emplace_back(entry->d_name, output_stamp_of(st));
    }
    closedir(listing);
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

std::string current_directory()
{
    char* here = getcwd(nullptr, 0);
    if (!here)
        return ".";
    std::string result = here;
    std::free(here);
    return result;
}

std::string program_directory()
{
    std::string program;
    if (!resolve_path("/proc/self/exe", program))
        return {};
    return program.substr(0, program.rfind('/'));
}

std::string last_error_text()
{
    return std::strerror(errno);
}

// ---- files

file::~file()
{
    if (is_open())
        ::close(static_cast<int>(handle_));
}

bool file::is_open() const
{
    return handle_ >= 0;
}

namespace {

// Never blocks on a FIFO or a device, and never makes a terminal ours.
constexpr int open_flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

}  // namespace

namespace {

// What an opened descriptor may be read as: a regular file only.
file::open_status regular_or_not(int fd, std::uint64_t& stamp, std::uint64_t& size)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return file::open_status::cannot_open;
    stamp = stamp_of(st);
    size = static_cast<std::uint64_t>(st.st_size);
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return file::open_status::not_regular;
    }
    return file::open_status::ok;
}

}  // namespace

file::open_status file::open_for_reading(const std::string& path)
{
    path_ = path;
    int fd = ::open(path.c_str(), O_RDONLY | open_flags);
    if (fd < 0)
        return open_status::cannot_open;
    handle_ = fd;
    return regular_or_not(fd, stamp_, size_);
}

file::open_status file::open_for_update(const std::string& path)
{
    path_ = path;
    int fd = ::open(path.c_str(), O_RDWR | open_flags);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS || errno == EISDIR || errno == ETXTBSY))
        return open_for_reading(path);
    if (fd < 0)
        return open_status::cannot_open;
    handle_ = fd;
    writable_ = true;
    return regular_or_not(fd, stamp_, size_);
}

bool file::create_new(const std::string& path)
{
    path_ = path;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    handle_ = fd;
    writable_ = true;
    return true;
}

bool file::create_or_empty(const std::string& path)
{
    // A fresh output takes the first call alone.
    if (create_new(path) || errno != EEXIST)
        return is_open();
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) {
        int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | open_flags);
        if (fd < 0)
            return false;
        handle_ = fd;
        writable_ = true;
        // Checked again on what was opened: the name may have changed hands.
        struct stat opened;
        if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_nlink == 1 && opened.st_ino == st.st_ino)
            return true;
        ::close(fd);
        handle_ = -1;
    }
    if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    // A link, a second name of another file, a FIFO: the name goes, what it
    // led to stays untouched.
    if (unlink(path.c_str()) != 0)
        return false;
    return create_new(path);
}

std::ptrdiff_t file::read(char* buffer, std::size_t size)
{
    if (faulted(fault_op::read, path_))
        return -1;
    for (;;) {
        ssize_t got = ::read(static_cast<int>(handle_), buffer, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool file::rewind()
{
    return lseek(static_cast<int>(handle_), 0, SEEK_SET) == 0;
}

bool file::write(const char* data, std::size_t size)
{
    if (faulted(fault_op::write, path_))
        return false;
    while (size > 0) {
        ssize_t put = ::write(static_cast<int>(handle_), data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool file::sync()
{
    return fsync(static_cast<int>(handle_)) == 0;
}

bool file::close()
{
    int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (faulted(fault_op::close, path_)) {
        ::close(fd);
        return false;
    }
    return ::close(fd) == 0;
}

std::uint64_t file::size_hint() const
{
    return size_;
}

bool file::close(file_stamp& stamp)
{
    struct stat st;
    stamp = fstat(static_cast<int>(handle_), &st) == 0 && S_ISREG(st.st_mode) ? output_stamp_of(st) : file_stamp{};
    return close();
}

bool file::try_lock()
{
    for (;;) {
        if (flock(static_cast<int>(handle_), LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

void file::take_permissions_of(const file& other)
{
    struct stat st;
    if (fstat(static_cast<int>(other.handle_), &st) != 0)
        return;
    // Owner first: changing it may clear set-id bits that the mode then restores.
    // Only root may give a file away; for anyone else it is the same owner anyway.
    if (fchown(static_cast<int>(handle_), st.st_uid, st.st_gid) != 0) {
        // The group alone, where the user is in it; else the creator's stays.
        [[maybe_unused]] const int group_only = fchown(static_cast<int>(handle_), static_cast<uid_t>(-1), st.st_gid);
    }
    fchmod(static_cast<int>(handle_), st.st_mode & 07777);
}

bool file::change_stamp(std::uint64_t& stamp) const
{
    // Taken by the check every open makes: no call of its own.
    stamp = stamp_;
    return is_open();
}

bool file::identify(file_identity& identity) const
{
    struct stat st;
    if (fstat(static_cast<int>(handle_), &st) != 0)
        return false;
    identity.volume = static_cast<std::uint64_t>(st.st_dev);
    identity.index = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

}  // namespace platform
