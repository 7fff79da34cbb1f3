#include "directory_handle.h"

#include <windows.h>
#include <winternl.h>

#include <utility>

#include "fault_hook.h"
#include "reparse_tag.h"
#include "utf16.h"

namespace platform {

namespace {

constexpr NTSTATUS status_object_name_not_found = static_cast<NTSTATUS>(0xC0000034L);
constexpr NTSTATUS status_object_path_not_found = static_cast<NTSTATUS>(0xC000003AL);
constexpr NTSTATUS status_not_a_directory = static_cast<NTSTATUS>(0xC0000103L);
constexpr NTSTATUS status_file_is_a_directory = static_cast<NTSTATUS>(0xC00000BAL);

HANDLE as_handle(std::intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

// A UTF-8 path or name in the system's own form, by the one conversion
// (which keeps a lone surrogate that a listing gave).
std::wstring wide(const std::string& utf8)
{
    std::wstring text;
    append_utf16(utf8, text);
    return text;
}

// One component: nothing that could climb out of the directory or name a stream of it.
bool plain_name(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return true;
}

// Opens name relative to directory, never through a reparse point: what is
// there is opened itself.
HANDLE open_relative(std::intptr_t directory, const std::string& name, ACCESS_MASK access, ULONG share,
                     ULONG options, NTSTATUS& status)
{
    std::wstring text = wide(name);
    UNICODE_STRING unicode{static_cast<USHORT>(text.size() * sizeof(wchar_t)),
                           static_cast<USHORT>(text.size() * sizeof(wchar_t)), text.data()};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicode, OBJ_CASE_INSENSITIVE, as_handle(directory), nullptr);
    IO_STATUS_BLOCK io;
    HANDLE handle = nullptr;
    status = NtCreateFile(&handle, access | SYNCHRONIZE | FILE_READ_ATTRIBUTES, &attributes, &io, nullptr, 0, share,
                          FILE_OPEN, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (!NT_SUCCESS(status)) {
        SetLastError(RtlNtStatusToDosError(status));
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

bool missing(NTSTATUS status)
{
    return status == status_object_name_not_found || status == status_object_path_not_found;
}

// A link: a reparse point whose tag is a name surrogate. A cloud placeholder
// or a deduplicated file is the file it stands for.
bool is_link(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag;
    return !GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
           ((tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && reparse_point_is_link(tag.ReparseTag));
}

// The same asked by name, as a listing tells it (no open, no fetch).
bool is_link_by_name(const std::string& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(wide(path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return false;  // a name the query cannot take leaves the handle's word
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && reparse_point_is_link(found.dwReserved0);
}

bool delete_through(HANDLE handle)
{
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Held directories may not be renamed or deleted by anyone meanwhile.
constexpr ULONG share_but_delete = FILE_SHARE_READ | FILE_SHARE_WRITE;

// The tests' other process: the directory is renamed away and a new real one,
// holding a copy of the file, put in its place. With the directory held, the
// rename is refused, which is the point.
void swap_if_injected(const std::string& directory, const std::string& name, std::string_view bytes)
{
    std::optional<injected_fault>& fault = current_fault();
    if (!fault || fault->op != fault_op::swap_directory || directory.find(fault->path_part) == std::string::npos)
        return;
    fault.reset();
    if (!MoveFileExW(wide(directory).c_str(), wide(directory + ".moved").c_str(), 0) ||
        !CreateDirectoryW(wide(directory).c_str(), nullptr))
        return;
    HANDLE copy = CreateFileW(wide(directory + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE)
        return;
    DWORD put = 0;
    WriteFile(copy, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(copy);
}

// The tests' file system that says a delete worked and did nothing.
bool delete_ignored(const std::string& path)
{
    const std::optional<injected_fault>& fault = current_fault();
    return fault && fault->op == fault_op::ignored_delete && path.find(fault->path_part) != std::string::npos;
}

// The file's identity on its volume; false when it cannot be asked.
bool identity_of(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info)
{
    return GetFileInformationByHandle(handle, &info) != 0;
}

}  // namespace

directory_handle::~directory_handle()
{
    if (handle_ != -1)
        CloseHandle(as_handle(handle_));
}

directory_handle::opening directory_handle::open(const std::string& path)
{
    HANDLE handle = CreateFileW(wide(path).c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                share_but_delete, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? opening::missing : opening::failed;
    }
    FILE_STANDARD_INFO standard;
    if (!GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) || !standard.Directory) {
        CloseHandle(handle);
        SetLastError(ERROR_DIRECTORY);
        return opening::not_a_directory;
    }
    return adopt(reinterpret_cast<std::intptr_t>(handle), path);
}

directory_handle::opening directory_handle::open_in(const directory_handle& parent, const std::string& name)
{
    if (!plain_name(name))
        return opening::failed;
    NTSTATUS status;
    HANDLE handle = open_relative(parent.handle_, name, FILE_LIST_DIRECTORY | FILE_TRAVERSE, share_but_delete,
                                  FILE_DIRECTORY_FILE, status);
    if (handle == INVALID_HANDLE_VALUE)
        return missing(status) ? opening::missing
               : status == status_not_a_directory ? opening::not_a_directory
                                                   : opening::failed;
    // Wine opens a host's link as the directory it leads to and tells it only
    // by name: asked by name too, after the open. A name the query cannot
    // take (a path too long for it) leaves the handle's word.
    const std::string path = parent.path_ + "\\" + name;
    if (is_link(handle) || is_link_by_name(path)) {
        CloseHandle(handle);
        SetLastError(ERROR_DIRECTORY);
        return opening::not_a_directory;
    }
    return adopt(reinterpret_cast<std::intptr_t>(handle), path);
}

directory_handle::removal directory_handle::remove_file_if(const std::string& name,
                                                           const std::function<bool(std::string_view)>& unchanged,
                                                           bool carry_out)
{
    if (!plain_name(name))
        return removal::failed;
    // Nobody may write, rename or delete it between the check and the deletion.
    NTSTATUS status;
    HANDLE file = open_relative(handle_, name, FILE_READ_DATA | (carry_out ? DELETE : 0), FILE_SHARE_READ,
                                FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, status);
    if (file == INVALID_HANDLE_VALUE)
        return missing(status) ? removal::missing : status == status_file_is_a_directory ? removal::not_a_file
                                                                                          : removal::failed;
    struct closing {
        HANDLE file;
        ~closing()
        {
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    } close_at_end{file};
    if (is_link(file) || GetFileType(file) != FILE_TYPE_DISK)
        return removal::not_a_file;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr))
            return removal::failed;
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    if (!unchanged(bytes))
        return removal::changed;
    if (!carry_out)
        return removal::removed;
    swap_if_injected(path_, name, bytes);
    BY_HANDLE_FILE_INFORMATION deleted;
    if (!identity_of(file, deleted))
        return removal::failed;
    if (!delete_ignored(path_ + "\\" + name) && !delete_through(file))
        return removal::failed;
    // The deletion happens as the handle closes; then the name is asked
    // again: a delete that answered success and did nothing (Wine's, for a
    // file the host keeps), or one still pending behind another's handle,
    // leaves the name leading somewhere.
    CloseHandle(std::exchange(close_at_end.file, INVALID_HANDLE_VALUE));
    HANDLE again = open_relative(handle_, name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 FILE_NON_DIRECTORY_FILE, status);
    if (again == INVALID_HANDLE_VALUE)
        return missing(status) ? removal::removed : removal::still_there;
    BY_HANDLE_FILE_INFORMATION found;
    const bool same = !identity_of(again, found) || (found.dwVolumeSerialNumber == deleted.dwVolumeSerialNumber &&
                                                      found.nFileIndexHigh == deleted.nFileIndexHigh &&
                                                      found.nFileIndexLow == deleted.nFileIndexLow);
    CloseHandle(again);
    return same ? removal::still_there : removal::removed;
}

bool directory_handle::remove_directory(const std::string& name)
{
    if (!plain_name(name))
        return false;
    NTSTATUS status;
    HANDLE directory = open_relative(handle_, name, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     FILE_DIRECTORY_FILE, status);
    if (directory == INVALID_HANDLE_VALUE)
        return false;
    // A junction or link is no directory of the tree: it stays.
    const bool removed = !is_link(directory) && delete_through(directory);
    CloseHandle(directory);
    return removed;
}

}  // namespace platform
