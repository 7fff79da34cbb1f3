#include "platform.h"

#include <cstdio>
#include <windows.h>

namespace platform {

const char path_separator = '\\';
const char foreign_separator = '/';
const char* const line_end = "\r\n";
const char* const generator_program_name = "Skeld.exe";

namespace {

struct find_state {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data;
};

entry_kind kind_of(DWORD attributes)
{
    // A reparse point (junction, symbolic link) is judged by the status query,
    // which looks through it.
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return entry_kind::unknown;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? entry_kind::directory : entry_kind::file;
}

}  // namespace

directory_listing::~directory_listing()
{
    auto* state = static_cast<find_state*>(handle_);
    if (!state)
        return;
    FindClose(state->handle);
    delete state;
}

bool directory_listing::open(const std::string& directory)
{
    auto* state = new find_state;
    state->handle = FindFirstFileA((directory + "\\*").c_str(), &state->data);
    if (state->handle == INVALID_HANDLE_VALUE) {
        too_long_ = GetLastError() == ERROR_FILENAME_EXCED_RANGE;
        delete state;
        return false;
    }
    handle_ = state;
    pending_ = true;
    return true;
}

bool directory_listing::next()
{
    auto* state = static_cast<find_state*>(handle_);
    if (!state)
        return false;
    if (pending_)
        pending_ = false;
    else if (!FindNextFileA(state->handle, &state->data))
        return false;
    name_ = state->data.cFileName;
    kind_ = kind_of(state->data.dwFileAttributes);
    return true;
}

bool is_directory(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool make_directory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool replace_file(const std::string& source, const std::string& target)
{
    return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool remove_file(const std::string& path)
{
    return DeleteFileA(path.c_str()) != 0;
}

namespace {

HANDLE open_for_query(const std::string& path)
{
    // FILE_FLAG_BACKUP_SEMANTICS lets a directory be opened; no access rights
    // are needed to read its identity.
    return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

bool identify(const std::string& path, file_identity& identity)
{
    HANDLE file = open_for_query(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!ok)
        return false;
    identity.volume = info.dwVolumeSerialNumber;
    identity.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
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

}  // namespace platform
