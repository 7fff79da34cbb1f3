// Directories held open, and what lies in them reached only through them,
// never by a path resolved again: a directory swapped for a link after it
// was opened leads nowhere, and one that is a link is never opened. Names
// are single components (UTF-8 on Windows).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

class directory_handle {
public:
    directory_handle() = default;
    directory_handle(directory_handle&& other) noexcept
        : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_))
    {
    }
    directory_handle& operator=(directory_handle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        std::swap(path_, other.path_);
        return *this;
    }
    directory_handle(const directory_handle&) = delete;
    directory_handle& operator=(const directory_handle&) = delete;
    ~directory_handle();

    enum class opening { ok, missing, not_a_directory, failed };  // a link is not_a_directory
    // The directory at path as the user names it: a link there is followed.
    opening open(const std::string& path);
    // The directory name in parent, never through a link.
    opening open_in(const directory_handle& parent, const std::string& name);

    // still_there: the delete answered success, yet the name, looked up
    // again through this directory, still leads to the file.
    enum class removal { removed, missing, not_a_file, changed, failed, still_there };
    // Removes the regular file name here when unchanged() holds for the bytes
    // read through the handle that deletes it (where the platform deletes by
    // name, only while the name still leads to the file read). A link or
    // anything else but a regular file is not_a_file and stays. With
    // carry_out false, only says what would become of it. A file is removed
    // only once its name no longer leads to it: a delete is checked, not
    // believed.
    removal remove_file_if(const std::string& name, const std::function<bool(std::string_view bytes)>& unchanged,
                           bool carry_out = true);
    // Removes the directory name here when it is empty and no link; false
    // otherwise.
    bool remove_directory(const std::string& name);

private:
    // Holds handle from now on; the one held before is closed.
    opening adopt(std::intptr_t handle, std::string path)
    {
        *this = directory_handle();
        handle_ = handle;
        path_ = std::move(path);
        return opening::ok;
    }

    std::intptr_t handle_ = -1;
    std::string path_;  // for the tests' fault hook
};

}  // namespace platform
