#include "platform.h"
#include "fault_hook.h"

#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <windows.h>
#include <winternl.h>

namespace platform {

const char path_separator = '\\';
const char foreign_separator = '/';
const bool open_file_blocks_replace = true;
const char* const line_end = "\r\n";
// The ZIP and the installer put everything in one folder.
const char* const installed_data_folder = "";

namespace {

bool faulted(fault_op op, const std::string& path)
{
    const std::optional<injected_fault>& fault = current_fault();
    if (!fault || fault->op != op || path.find(fault->path_part) == std::string::npos)
        return false;
    SetLastError(op == fault_op::write     ? ERROR_DISK_FULL
                 : op == fault_op::replace ? ERROR_ACCESS_DENIED
                                           : ERROR_READ_FAULT);
    return true;
}

entry_kind kind_of(DWORD attributes)
{
    // A reparse point (junction, symbolic link) is judged by the status query,
    // which looks through it.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return entry_kind::unknown;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? entry_kind::directory : entry_kind::file;
}

HANDLE as_handle(std::intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace

struct directory_listing::state {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data;
    // FindFirstFileA already yields the first entry.
    bool pending = true;
};

directory_listing::~directory_listing()
{
    if (!state_)
        return;
    FindClose(state_->handle);
    delete state_;
}

bool directory_listing::open(const std::string& directory)
{
    auto* s = new state;
    s->handle = FindFirstFileA((directory + "\\*").c_str(), &s->data);
    if (s->handle == INVALID_HANDLE_VALUE) {
        too_long_ = GetLastError() == ERROR_FILENAME_EXCED_RANGE;
        delete s;
        return false;
    }
    state_ = s;
    return true;
}

bool directory_listing::next()
{
    if (!state_)
        return false;
    if (state_->pending)
        state_->pending = false;
    else if (!FindNextFileA(state_->handle, &state_->data))
        return false;
    name_ = state_->data.cFileName;
    kind_ = kind_of(state_->data.dwFileAttributes);
    return true;
}

bool is_directory(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_file(const std::string& path)
{
    // A file link counts by its own attributes: the search would try it too.
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

node_kind node_at(const std::string& path)
{
    // The attributes are those of a reparse point itself, not of its target.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return node_kind::missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return node_kind::link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return node_kind::directory;
    return (attributes & FILE_ATTRIBUTE_DEVICE) ? node_kind::other : node_kind::regular;
}

bool make_directory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool replace_file(const std::string& source, const std::string& target)
{
    if (faulted(fault_op::replace, target))
        return false;
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove_file(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

bool remove_directory(const std::string& path)
{
    return RemoveDirectoryA(path.c_str()) != 0;
}

namespace {

HANDLE open_for_query(const std::string& path)
{
    // FILE_FLAG_BACKUP_SEMANTICS lets a directory be opened; no access rights
    // are needed to read its identity.
    return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

file_identity identity_of(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The volume serial numbers of the directories identified so far, by path as
// given. GetFileInformationByHandle asks the volume for its serial number on
// every call, and a walk identifies every directory of the tree: on Windows
// that query passes every file-system filter, under Wine it is a round trip
// to the mount manager. A directory that is not a reparse point lies on the
// volume of the directory that holds it (junctions, links and mount points
// are all reparse points), so below a directory identified once the volume is
// known without asking.
std::unordered_map<std::string, std::uint64_t> volume_of_directory;

// A directory or file's identity from its parent's volume and its own index;
// false when the path is not found that way (no known parent, or a reparse
// point, whose target may lie anywhere).
bool identify_below_known_parent(const std::string& path, file_identity& identity)
{
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos || cut == 0)
        return false;
    // Windows takes "." and ".." by their spelling, before any link is
    // followed: such a path need not lie below what its parent names.
    const std::string_view name = std::string_view(path).substr(cut + 1);
    if (name.empty() || name == "." || name == "..")
        return false;
    const auto parent = volume_of_directory.find(path.substr(0, cut));
    if (parent == volume_of_directory.end())
        return false;
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag;
    IO_STATUS_BLOCK io;
    FILE_INTERNAL_INFORMATION internal;
    const bool found = GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
                       !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                       NT_SUCCESS(NtQueryInformationFile(file, &io, &internal, sizeof internal,
                                                         FileInternalInformation));
    CloseHandle(file);
    if (!found)
        return false;
    identity = {parent->second, static_cast<std::uint64_t>(internal.IndexNumber.QuadPart)};
    if (tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        volume_of_directory[path] = identity.volume;
    return true;
}

}  // namespace

bool identify(const std::string& path, file_identity& identity)
{
    if (identify_below_known_parent(path, identity))
        return true;
    HANDLE file = open_for_query(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!ok)
        return false;
    identity = identity_of(info);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        volume_of_directory[path] = identity.volume;
    return true;
}

bool change_stamp(const std::string& path, std::uint64_t& stamp)
{
    // One query by name, without opening the file.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    const std::uint64_t parts[] = {data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime.dwHighDateTime,
                                   data.ftLastWriteTime.dwLowDateTime, data.dwFileAttributes};
    stamp = 14695981039346656037ULL;
    for (const std::uint64_t part : parts)
        stamp = (stamp ^ part) * 1099511628211ULL;
    return true;
}

bool file::change_stamp(std::uint64_t& stamp) const
{
    return platform::change_stamp(path_, stamp);
}

bool resolve_path(const std::string& path, std::string& resolved)
{
    HANDLE file = open_for_query(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[32768];
    DWORD length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= sizeof buffer)
        return false;
    resolved.assign(buffer, length);
    // Drop the "\\?\" prefix so the result compares with ordinary paths.
    if (resolved.rfind("\\\\?\\UNC\\", 0) == 0)
        resolved.replace(0, 8, "\\\\");
    else if (resolved.rfind("\\\\?\\", 0) == 0)
        resolved.erase(0, 4);
    return true;
}

std::string current_directory()
{
    char buffer[32768];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (length == 0 || length >= sizeof buffer)
        return ".";
    return std::string(buffer, length);
}

std::string program_directory()
{
    char buffer[32768];
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return {};
    std::string program(buffer, length);
    return program.substr(0, program.rfind('\\'));
}

std::string last_error_text()
{
    DWORD code = GetLastError();
    char buffer[512];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}

// ---- files

file::~file()
{
    if (is_open())
        CloseHandle(as_handle(handle_));
}

bool file::is_open() const
{
    return handle_ != -1;
}

namespace {

constexpr DWORD share_all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What a file opened for reading may be: a file on a disk, never a pipe or a
// device, which could block or never end. A directory never gets this far:
// without FILE_FLAG_BACKUP_SEMANTICS CreateFile opens none. GetFileType is
// answered from the handle's device alone, whereas GetFileInformationByHandle
// would query the volume for its serial number, for every file of the tree.
bool is_disk_file(HANDLE handle)
{
    return GetFileType(handle) == FILE_TYPE_DISK;
}

// Whether an opened output file may be emptied and written in place: a file
// on a disk with no other name, not a link. Both queries are answered from
// the file itself, no volume query.
bool is_own_plain_file(HANDLE handle)
{
    if (!is_disk_file(handle))
        return false;
    FILE_STANDARD_INFO standard;
    FILE_ATTRIBUTE_TAG_INFO tag;
    return GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) &&
           GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) && !standard.Directory &&
           standard.NumberOfLinks == 1 &&
           !(tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
}

}  // namespace

file::open_status file::open_for_reading(const std::string& path)
{
    path_ = path;
    // Named pipes and devices live outside the file system's name space; a
    // path that names one is not a file to read.
    if (path.rfind("\\\\.\\", 0) == 0 || path.rfind("\\\\?\\pipe", 0) == 0) {
        SetLastError(ERROR_INVALID_NAME);
        return open_status::not_regular;
    }
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_READ, share_all, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return is_directory(path) ? open_status::not_regular : open_status::cannot_open;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    if (!is_disk_file(h)) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return open_status::not_regular;
    }
    return open_status::ok;
}

file::open_status file::open_for_update(const std::string& path)
{
    path_ = path;
    // Shared for deletion, so that the file can be replaced while it is open.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share_all, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        return open_for_reading(path);
    if (h == INVALID_HANDLE_VALUE)
        return open_status::cannot_open;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    writable_ = true;
    if (!is_disk_file(h)) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return open_status::not_regular;
    }
    return open_status::ok;
}

bool file::create_new(const std::string& path)
{
    path_ = path;
    // CREATE_NEW fails on any name that exists; with FILE_FLAG_OPEN_REPARSE_POINT
    // a dangling link counts as existing too and is never followed.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    handle_ = reinterpret_cast<std::intptr_t>(h);
    writable_ = true;
    return true;
}

bool file::create_or_empty(const std::string& path)
{
    if (create_new(path))
        return true;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
        return false;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        if (is_own_plain_file(h) && SetEndOfFile(h)) {
            handle_ = reinterpret_cast<std::intptr_t>(h);
            writable_ = true;
            return true;
        }
        CloseHandle(h);
    }
    if (is_directory(path) && node_at(path) == node_kind::directory) {
        SetLastError(ERROR_DIRECTORY);
        return false;
    }
    // A link or a second name of another file: the name goes, what it led to
    // stays untouched.
    if (!DeleteFileA(path.c_str()) && !RemoveDirectoryA(path.c_str()))
        return false;
    return create_new(path);
}

std::ptrdiff_t file::read(char* buffer, std::size_t size)
{
    if (faulted(fault_op::read, path_))
        return -1;
    DWORD got = 0;
    if (!ReadFile(as_handle(handle_), buffer, static_cast<DWORD>(size), &got, nullptr))
        return -1;
    return static_cast<std::ptrdiff_t>(got);
}

bool file::rewind()
{
    LARGE_INTEGER start{};
    return SetFilePointerEx(as_handle(handle_), start, nullptr, FILE_BEGIN) != 0;
}

bool file::write(const char* data, std::size_t size)
{
    if (faulted(fault_op::write, path_))
        return false;
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(as_handle(handle_), data, static_cast<DWORD>(size), &put, nullptr) || put == 0)
            return false;
        data += put;
        size -= put;
    }
    return true;
}

bool file::sync()
{
    return FlushFileBuffers(as_handle(handle_)) != 0;
}

bool file::close()
{
    HANDLE h = as_handle(handle_);
    handle_ = -1;
    if (faulted(fault_op::close, path_)) {
        CloseHandle(h);
        return false;
    }
    return CloseHandle(h) != 0;
}

bool file::try_lock()
{
    // Far past any real content: Windows locks are mandatory, and a lock on
    // the text itself would keep this run's own reads out.
    OVERLAPPED where{};
    where.Offset = 0xFFFFFFF0u;
    where.OffsetHigh = 0x7FFFFFFFu;
    return LockFileEx(as_handle(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where) != 0;
}

void file::take_permissions_of(const file& other)
{
    // The file's security comes from its folder, as for any new file there;
    // only the read-only attribute is the file's own.
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(as_handle(other.handle_), &info))
        return;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY);
}

bool file::identify(file_identity& identity) const
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(as_handle(handle_), &info))
        return false;
    identity = identity_of(info);
    return true;
}

}  // namespace platform
