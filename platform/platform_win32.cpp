#include "platform.h"
#include "fault_hook.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string_view>
#include <unordered_map>
#include <windows.h>
#include <winternl.h>

#include "command_line_words.h"
#include "digest_fold.h"
#include "held_along_walk.h"
#include "reparse_tag.h"
#include "utf16.h"

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

// Whether attributes and a reparse tag say a link: only a name surrogate is.
bool is_link(DWORD attributes, DWORD tag)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && reparse_point_is_link(tag);
}

entry_kind kind_of(DWORD attributes, DWORD tag)
{
    // A link (junction, symbolic link) is judged by the status query, which
    // looks through it.
    if (is_link(attributes, tag))
        return entry_kind::unknown;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? entry_kind::directory : entry_kind::file;
}

HANDLE as_handle(std::intptr_t h)
{
    return reinterpret_cast<HANDLE>(h);
}

// Every path crosses into Windows here: UTF-8 inside, UTF-16 for the wide
// calls, so no name depends on the code page.
std::wstring wide(std::string_view utf8)
{
    std::wstring path;
    append_utf16(utf8, path);
    return path;
}

std::string utf8(std::wstring_view text)
{
    std::string result;
    append_utf8(text, result);
    return result;
}

}  // namespace

program_arguments::program_arguments(int, char*[])
{
    // The C runtime's argv went through the ANSI code page, which may hold
    // neither the name nor a whole character of it. (CommandLineToArgvW
    // would bring in shell32, and with it a good part of the user interface
    // libraries: under Wine 6 MiB more at every start.)
    text_ = command_line_words(utf8(GetCommandLineW()));
    for (const std::string& argument : text_)
        values_.push_back(argument.c_str());
    values_.push_back(nullptr);
}

namespace {

// A console shows text in its own code page, which may not hold the names a
// line carries; given as UTF-16 it shows any. Every line is flushed whole,
// so a flush never cuts a character.
class console_buffer : public std::streambuf {
public:
    explicit console_buffer(HANDLE console) : console_(console) {}

private:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof())
            pending_.push_back(static_cast<char>(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize size) override
    {
        pending_.append(text, static_cast<std::size_t>(size));
        return size;
    }
    int sync() override
    {
        std::wstring text;
        append_utf16(pending_, text);
        pending_.clear();
        DWORD written = 0;
        return text.empty() || WriteConsoleW(console_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)
                   ? 0
                   : -1;
    }

    HANDLE console_;
    std::string pending_;
};

}  // namespace

void console_in_utf8()
{
    // Not SetConsoleOutputCP: the code page belongs to the console, and the
    // shell that started Skeld would keep it after Skeld ends.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode))
        return;
    static console_buffer buffer(out);
    std::cout.rdbuf(&buffer);
}

struct directory_listing::state {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data;
    // FindFirstFileExW already yields the first entry.
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
    // The basic information leaves out the short 8.3 name, which nothing here
    // uses; the large fetch asks for many entries a round trip.
    s->handle = FindFirstFileExW(wide(directory + "\\*").c_str(), FindExInfoBasic, &s->data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
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
    else if (!FindNextFileW(state_->handle, &state_->data))
        return false;
    name_.clear();
    append_utf8(std::wstring_view(state_->data.cFileName), name_);
    // A reparse point's tag is in the entry: no open, no fetch of a placeholder.
    kind_ = kind_of(state_->data.dwFileAttributes, state_->data.dwReserved0);
    return true;
}

bool is_directory(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_file(const std::string& path)
{
    // A file link counts by its own attributes: the search would try it too.
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

node_kind node_at(const std::string& path)
{
    // The attributes are those of a reparse point itself, not of its target.
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return node_kind::missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Its tag, as a listing gives it: nothing is opened or fetched.
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileExW(wide(path).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
        const DWORD tag = search == INVALID_HANDLE_VALUE ? 0 : found.dwReserved0;
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        if (is_link(attributes, tag))
            return node_kind::link;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return node_kind::directory;
    return (attributes & FILE_ATTRIBUTE_DEVICE) ? node_kind::other : node_kind::regular;
}

bool make_directory(const std::string& path)
{
    return CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool can_create_in(const std::string& directory)
{
    // The access rules are the system's to weigh: a file made and gone with
    // its handle asks them, and leaves nothing.
    const std::string probe = directory + "\\skeld-check-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE file = CreateFileW(wide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool replace_file(const std::string& source, const std::string& target)
{
    if (faulted(fault_op::replace, target))
        return false;
    return MoveFileExW(wide(source).c_str(), wide(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove_file(const std::string& path)
{
    return DeleteFileW(wide(path).c_str()) != 0;
}

bool remove_directory(const std::string& path)
{
    return RemoveDirectoryW(wide(path).c_str()) != 0;
}

namespace {

HANDLE open_for_query(const std::string& path)
{
    // FILE_FLAG_BACKUP_SEMANTICS lets a directory be opened; no access rights
    // are needed to read its identity.
    return CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
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
    HANDLE file = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag;
    IO_STATUS_BLOCK io;
    FILE_INTERNAL_INFORMATION internal;
    const bool found = GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
                       !is_link(tag.FileAttributes, tag.ReparseTag) &&
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

namespace {

// What moves whenever a file's content may have: its index (a file put in
// its place is another file), its size, its attributes, and its times of
// writing and of change; a tool that puts the old write time back (an
// archive, a copy that keeps times) cannot put the change time back. Asked
// of the open file, in queries that the file system answers from the file
// itself, never from the volume (and that Wine answers from the open file,
// without a round trip to its server for the name). A file system without a
// change time or an index gives zero there, and the rest still counts.
bool stamp_of(HANDLE handle, std::uint64_t& stamp)
{
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    IO_STATUS_BLOCK io;
    FILE_INTERNAL_INFORMATION internal;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) ||
        !NT_SUCCESS(NtQueryInformationFile(handle, &io, &internal, sizeof internal, FileInternalInformation)))
        return false;
    const std::uint64_t parts[] = {static_cast<std::uint64_t>(standard.EndOfFile.QuadPart),
                                   static_cast<std::uint64_t>(internal.IndexNumber.QuadPart),
                                   static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart),
                                   static_cast<std::uint64_t>(basic.ChangeTime.QuadPart), basic.FileAttributes};
    stamp = digest_fold::start;
    for (const std::uint64_t part : parts)
        stamp = digest_fold::fold(stamp, part);
    return true;
}

}  // namespace

bool change_stamp(const std::string& path, std::uint64_t& stamp)
{
    // Opened for its attributes only: no sharing mode of another holder
    // keeps this out, and nothing is read.
    HANDLE file = CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = stamp_of(file, stamp);
    CloseHandle(file);
    return ok;
}

namespace {

file_stamp stamp_of_parts(std::uint64_t size, std::uint64_t index, std::int64_t written, std::int64_t changed,
                          std::uint64_t attributes)
{
    // The fold stamp_of makes, from the parts a directory listing gives too.
    const std::uint64_t parts[] = {size, index, static_cast<std::uint64_t>(written), static_cast<std::uint64_t>(changed),
                                   attributes};
    file_stamp stamp{digest_fold::start, written};
    for (const std::uint64_t part : parts)
        stamp.fold = digest_fold::fold(stamp.fold, part);
    return stamp;
}

bool plain_file(DWORD attributes)
{
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

}  // namespace

bool stamp_of_file(const std::string& path, file_stamp& stamp)
{
    // Opened for its attributes only, the link itself when it is one.
    HANDLE file = CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILE_BASIC_INFO basic;
    FILE_STANDARD_INFO standard;
    IO_STATUS_BLOCK io;
    FILE_INTERNAL_INFORMATION internal;
    const bool ok = GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) &&
                    GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) &&
                    NT_SUCCESS(NtQueryInformationFile(file, &io, &internal, sizeof internal, FileInternalInformation)) &&
                    plain_file(basic.FileAttributes);
    CloseHandle(file);
    if (ok)
        stamp = stamp_of_parts(standard.EndOfFile.QuadPart, internal.IndexNumber.QuadPart, basic.LastWriteTime.QuadPart,
                               basic.ChangeTime.QuadPart, basic.FileAttributes);
    return ok;
}

bool directory_stamps(const std::string& directory, std::vector<std::pair<std::string, file_stamp>>& entries)
{
    HANDLE listing = CreateFileW(wide(directory).c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    // Each request fills the buffer with as many entries as fit, every one
    // with its times, size, attributes and file id: no entry is opened.
    alignas(8) static thread_local char buffer[64 * 1024];
    bool ok = true;
    for (FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;;
         request = FileIdBothDirectoryInfo) {
        if (!GetFileInformationByHandleEx(listing, request, buffer, sizeof buffer)) {
            ok = GetLastError() == ERROR_NO_MORE_FILES;
            break;
        }
        for (std::size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
            if (plain_file(entry->FileAttributes))
                entries.emplace_back(utf8(std::wstring_view(entry->FileName, entry->FileNameLength / sizeof(wchar_t))),
                                     stamp_of_parts(entry->EndOfFile.QuadPart, entry->FileId.QuadPart,
                                                    entry->LastWriteTime.QuadPart, entry->ChangeTime.QuadPart,
                                                    entry->FileAttributes));
            if (entry->NextEntryOffset == 0)
                break;
            at += entry->NextEntryOffset;
        }
    }
    CloseHandle(listing);
    return ok;
}

bool listed_change_stamp(const std::string& path, std::uint64_t& stamp)
{
    // The listings of the directories on the walk's way down, one set a
    // thread, kept for the thread's life and never destroyed: MinGW-w64 runs
    // a thread_local's destructor after the exiting worker's storage is
    // gone, which crashed every worker that had listed a folder.
    struct listing {
        bool ok = false;
        std::vector<std::pair<std::string, file_stamp>> entries;  // by name
    };
    thread_local held_along_walk<listing>* held = nullptr;
    if (!held)
        held = new held_along_walk<listing>;
    const std::size_t separator = path.find_last_of("\\/");
    if (separator == std::string::npos)
        return change_stamp(path, stamp);
    const listing& listed = held->at(std::string_view(path).substr(0, separator), [](const std::string& directory) {
        listing made;
        made.ok = directory_stamps(directory, made.entries);
        std::sort(made.entries.begin(), made.entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return made;
    });
    const std::string_view name = std::string_view(path).substr(separator + 1);
    const auto at = std::lower_bound(listed.entries.begin(), listed.entries.end(), name,
                                     [](const auto& entry, std::string_view wanted) { return entry.first < wanted; });
    if (!listed.ok || at == listed.entries.end() || at->first != name)
        return change_stamp(path, stamp);  // a link, or a name the listing spells otherwise
    stamp = at->second.fold;
    return true;
}

struct walk_stamps::held {
    struct listing {
        bool ok = false;
        std::vector<std::pair<std::string, file_stamp>> entries;  // by name
    };
    held_along_walk<listing> directories;
};

walk_stamps::walk_stamps() : held_(std::make_unique<held>()) {}
walk_stamps::~walk_stamps() = default;
walk_stamps::walk_stamps(walk_stamps&&) noexcept = default;
walk_stamps& walk_stamps::operator=(walk_stamps&&) noexcept = default;

std::optional<file_stamp> walk_stamps::stamp_of(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    const std::string_view directory =
        separator == std::string::npos ? std::string_view(".") : std::string_view(path).substr(0, separator + (separator == 2 && path[1] == ':'));
    const held::listing& listed = held_->directories.at(directory, [](const std::string& at) {
        held::listing made;
        made.ok = directory_stamps(at, made.entries);
        std::sort(made.entries.begin(), made.entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return made;
    });
    const std::string_view name = separator == std::string::npos ? std::string_view(path) : std::string_view(path).substr(separator + 1);
    const auto at = std::lower_bound(listed.entries.begin(), listed.entries.end(), name,
                                     [](const auto& entry, std::string_view wanted) { return entry.first < wanted; });
    if (!listed.ok || at == listed.entries.end() || at->first != name)
        return std::nullopt;
    return at->second;
}

std::optional<file_stamp> stamp_along_walk(const std::string& path)
{
    // Never destroyed, as listed_change_stamp's listings.
    thread_local walk_stamps* stamps = nullptr;
    if (!stamps)
        stamps = new walk_stamps;
    return stamps->stamp_of(path);
}

bool file::change_stamp(std::uint64_t& stamp) const
{
    return stamp_of(as_handle(handle_), stamp);
}

bool resolve_path(const std::string& path, std::string& resolved)
{
    HANDLE file = open_for_query(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    wchar_t buffer[32768];
    DWORD length = GetFinalPathNameByHandleW(file, buffer, std::size(buffer), FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= std::size(buffer))
        return false;
    resolved = utf8({buffer, length});
    // Drop the "\\?\" prefix so the result compares with ordinary paths.
    if (resolved.rfind("\\\\?\\UNC\\", 0) == 0)
        resolved.replace(0, 8, "\\\\");
    else if (resolved.rfind("\\\\?\\", 0) == 0)
        resolved.erase(0, 4);
    return true;
}

std::string current_directory()
{
    wchar_t buffer[32768];
    DWORD length = GetCurrentDirectoryW(std::size(buffer), buffer);
    if (length == 0 || length >= std::size(buffer))
        return ".";
    return utf8({buffer, length});
}

std::string program_directory()
{
    wchar_t buffer[32768];
    DWORD length = GetModuleFileNameW(nullptr, buffer, std::size(buffer));
    if (length == 0 || length >= std::size(buffer))
        return {};
    const std::string program = utf8({buffer, length});
    return program.substr(0, program.rfind('\\'));
}

std::string last_error_text()
{
    DWORD code = GetLastError();
    // In the user's language, and in UTF-8 like every other line.
    wchar_t buffer[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  std::size(buffer), nullptr);
    std::string text = utf8({buffer, length});
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
           !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !is_link(tag.FileAttributes, tag.ReparseTag);
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
        CreateFileW(wide(path).c_str(), GENERIC_READ, share_all, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, share_all, nullptr, OPEN_EXISTING,
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
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
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
    HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
    if (!DeleteFileW(wide(path).c_str()) && !RemoveDirectoryW(wide(path).c_str()))
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

std::uint64_t file::size_hint() const
{
    LARGE_INTEGER size;
    return GetFileSizeEx(as_handle(handle_), &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

bool file::close(file_stamp& stamp)
{
    // The write time may still move at the close: a listing after it tells.
    stamp = {};
    return close();
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
        SetFileAttributesW(wide(path_).c_str(), FILE_ATTRIBUTE_READONLY);
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
