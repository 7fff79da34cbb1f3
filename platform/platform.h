// The one place that knows the platform: separators, line ends, directory
// listing and status, opening, writing and replacing files, locks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The program's arguments in UTF-8 on Windows, taken from its UTF-16 command
// line whatever the code page; elsewhere the bytes as given.
class program_arguments {
public:
    program_arguments(int argc, char* argv[]);
    int count() const { return static_cast<int>(values_.size()) - 1; }
    // argv-style: count() strings and a null pointer after them.
    const char* const* values() const { return values_.data(); }

private:
    std::vector<std::string> text_;
    std::vector<const char*> values_;
};

// Makes std::cout show its UTF-8 text as such where it is a console
// (Windows); on a pipe or in a file the bytes go as they are.
void console_in_utf8();

// The separator Skeld joins and splits paths with, and the one it turns into
// it where a data file may use either.
extern const char path_separator;
extern const char foreign_separator;

// What a line break is stored as in the files Skeld writes.
extern const char* const line_end;

// Where an installed tree keeps the data files, relative to the folder above
// the program's (bin/../share/headwright); empty where they ship beside the
// program alone.
extern const char* const installed_data_folder;

enum class entry_kind { directory, file, unknown };

// One open directory enumeration; entries come in the order the file system
// gives them, "." and ".." included.
class directory_listing {
public:
    directory_listing() = default;
    directory_listing(const directory_listing&) = delete;
    directory_listing& operator=(const directory_listing&) = delete;
    ~directory_listing();

    bool open(const std::string& directory);
    // After a failed open: whether the path was longer than the platform takes.
    bool path_too_long() const { return too_long_; }
    // Moves to the next entry; false when there is none left or the listing failed.
    bool next();
    const std::string& name() const { return name_; }
    // The kind as the enumeration record tells it, unknown when it cannot be sure
    // (links, file systems without type information).
    entry_kind kind() const { return kind_; }

private:
    struct state;
    state* state_ = nullptr;
    bool too_long_ = false;
    std::string name_;
    entry_kind kind_ = entry_kind::unknown;
};

// The status query: true when path names a directory (links are followed).
bool is_directory(const std::string& path);

// Whether something other than a directory is there, links followed: what a
// compiler's include search takes for a header.
bool is_file(const std::string& path);

// What a path names itself, links not followed (a reparse point counts as a link).
enum class node_kind { missing, regular, directory, link, other };
node_kind node_at(const std::string& path);

// Creates one directory level; true when it was created.
bool make_directory(const std::string& path);

// Whether a file that is open anywhere cannot be replaced (Windows).
extern const bool open_file_blocks_replace;

// Replaces target with source in one step; source is gone afterwards on success.
bool replace_file(const std::string& source, const std::string& target);

bool remove_file(const std::string& path);
// Removes an empty directory; false when it is not empty or cannot go.
bool remove_directory(const std::string& path);

// What tells two files apart: device and inode, or volume serial and file index.
struct file_identity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const file_identity&) const = default;
};
bool identify(const std::string& path, file_identity& identity);

// What changes whenever a file's content may have: its size and times of
// change, folded into one number; false when the path cannot be asked.
bool change_stamp(const std::string& path, std::uint64_t& stamp);

// change_stamp for a walk that asks for the files of one directory one after
// another: on POSIX each asked relative to its directory held open, on
// Windows one listing of the directory answers them all, no file opened.
// What a directory needs is held (in this thread) while the walk is below
// it (held_along_walk.h): on Windows a file changed since shows the stamp it
// had, which a later run then finds moved.
bool listed_change_stamp(const std::string& path, std::uint64_t& stamp);

// An output file's stamp: the same fold, and its modification time apart,
// in the file system's own units, to tell whether it was written too close
// to another file's time for the fold to vouch for its bytes.
struct file_stamp {
    std::uint64_t fold = 0;
    std::int64_t modified = 0;
};
// The stamp of a regular file (never through a link); false for anything else.
bool stamp_of_file(const std::string& path, file_stamp& stamp);
// The stamps of the regular files directly in directory, by name, taken in
// one listing (on Windows one request a buffer of entries, no file opened);
// false when it cannot be listed.
bool directory_stamps(const std::string& directory, std::vector<std::pair<std::string, file_stamp>>& entries);

// The stamps of files asked for one directory after another, as a
// depth-first walk asks (see held_along_walk.h): on POSIX each file's status
// taken relative to its directory held open, on Windows one listing a
// directory. Nothing for what is not a regular file, links included.
class walk_stamps {
public:
    walk_stamps();
    ~walk_stamps();
    walk_stamps(walk_stamps&&) noexcept;
    walk_stamps& operator=(walk_stamps&&) noexcept;
    std::optional<file_stamp> stamp_of(const std::string& path);

private:
    struct held;
    std::unique_ptr<held> held_;
};

// walk_stamps' answer for a walk shared among threads: each thread holds
// its own directories.
std::optional<file_stamp> stamp_along_walk(const std::string& path);

// Whether this process may create files in directory, asked without leaving
// anything there (a check writes nothing); last_error_text() says why not.
bool can_create_in(const std::string& directory);

// The path with links and "." / ".." resolved; false when it does not exist.
bool resolve_path(const std::string& path, std::string& resolved);

// The working directory, and the directory that holds the running program.
std::string current_directory();
std::string program_directory();

// The system's words for the last failure of a call in this module.
std::string last_error_text();

// One open file. Every call answers whether it worked; last_error_text()
// then says why not. The destructor closes a file that was not closed.
class file {
public:
    file() = default;
    file(const file&) = delete;
    file& operator=(const file&) = delete;
    ~file();

    bool is_open() const;

    // Opens a regular file for reading; a directory, FIFO, device or socket
    // is refused (not_regular) without ever blocking on it.
    enum class open_status { ok, cannot_open, not_regular };
    open_status open_for_reading(const std::string& path);
    // The same, for reading and, where the file allows it, writing; writable()
    // tells which.
    open_status open_for_update(const std::string& path);
    bool writable() const { return writable_; }

    // Creates path as a new regular file; fails when anything is there,
    // a link included, which is never followed.
    bool create_new(const std::string& path);
    // Opens the regular file at path, emptied, or creates it. Whatever else is
    // there and is not a directory (a link, a file with more than one name, a
    // FIFO) is removed first, so nothing is ever written through it.
    bool create_or_empty(const std::string& path);

    // Reads up to size bytes; 0 at the end of the file, -1 on a read error.
    std::ptrdiff_t read(char* buffer, std::size_t size);
    // Reads from the start, whatever was read before.
    bool read_all(std::string& bytes);
    // The size of the file opened for reading, as it was at the open where
    // the open asked it already, else as it is now; 0 when unknown. Only a
    // guess for a reader's buffer: the file may change.
    std::uint64_t size_hint() const;
    bool rewind();
    bool write(const char* data, std::size_t size);
    // Forces what was written to the disk.
    bool sync();
    bool close();
    // The same, giving the file's stamp as the close leaves it where the open
    // file can tell it (POSIX: no time moves at close). Where only a look
    // after the close can (NTFS may set the write time then), stamp.fold is 0.
    bool close(file_stamp& stamp);

    // Takes an advisory lock that other runs see and that ends with the
    // process; false when another holder has it (or the lock failed).
    bool try_lock();
    // Gives this file the mode and owner of other, where the platform allows.
    void take_permissions_of(const file& other);
    bool identify(file_identity& identity) const;
    // The change stamp of the file opened for reading, as change_stamp gives
    // it for its path.
    bool change_stamp(std::uint64_t& stamp) const;

private:
    std::intptr_t handle_ = -1;
    bool writable_ = false;
    std::string path_;
    std::uint64_t stamp_ = 0;  // where the open's own check gives it
    std::uint64_t size_ = 0;   // likewise
};

// Tests stand in for a failing disk through this: while set, the operation
// fails for every file whose path contains path_part, as the system would
// (a read error, a full disk, a replace that the folder refuses).
// swap_directory plays another process instead, once: between the check of a
// file to remove and its deletion, the directory that holds it (its path
// containing path_part) is renamed away and a link to target put in its
// place; where links cannot be made (Wine), a new real directory holding a
// copy of the file.
// ignored_delete plays a file system that answers a delete with success and
// deletes nothing (as Wine's does for a file the host refuses to delete).
enum class fault_op { read, write, close, replace, swap_directory, ignored_delete };
struct injected_fault {
    fault_op op;
    std::string path_part;
    std::string target = {};
};
void inject_fault(std::optional<injected_fault> fault);

}  // namespace platform
