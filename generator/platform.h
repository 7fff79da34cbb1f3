// The one place that knows the platform: separators, line ends, directory
// listing and status, directory creation, replacing a file in one step.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The separator Skeld joins and splits paths with, and the one it turns into
// it where a data file may use either.
extern const char path_separator;
extern const char foreign_separator;

// What a line break is stored as in the files Skeld writes.
extern const char* const line_end;

// The generator's program file name, as the wizard starts it.
extern const char* const generator_program_name;

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
    void* handle_ = nullptr;
    bool pending_ = false;
    bool too_long_ = false;
    std::string name_;
    entry_kind kind_ = entry_kind::unknown;
};

// The status query: true when path names a directory (links are followed).
bool is_directory(const std::string& path);

// Creates one directory level; true when it was created.
bool make_directory(const std::string& path);

// Replaces target with source in one step; source is gone afterwards on success.
bool replace_file(const std::string& source, const std::string& target);

bool remove_file(const std::string& path);

// What tells two directories apart: device and inode, or volume serial and
// file index.
struct file_identity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const file_identity&) const = default;
};
bool identify(const std::string& path, file_identity& identity);

// The path with links and "." / ".." resolved; false when it does not exist.
bool resolve_path(const std::string& path, std::string& resolved);

}  // namespace platform
