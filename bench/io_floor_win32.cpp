// The I/O floor of io_floor.cpp in Windows' own calls, for Skeld.exe: list
// with FindFirstFileExW, read every file once with CreateFileW and ReadFile,
// write one small file per original with CreateFileW and WriteFile, creating
// the mirror's directories on the way. Paths are UTF-16 throughout, as the
// wide calls take them: Skeld.exe's conversion from and to UTF-8 is its own. Nothing is parsed and nothing is
// checked beyond what the calls answer, so its time is what the file system
// costs through the Win32 API (under Wine: through the Wine server).
//
//   io_floor_win32 <original tree> <existing output directory> [threads]
//
// The mirror goes to <output>\boost, as Skeld.exe's does. With threads
// above 1, the parallel floor: the walk makes every directory first and
// lists the files, then the threads share them, each taking the next free.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

// As large as Skeld's read buffer: the same number of reads.
constexpr DWORD buffer_size = 1 << 20;

// A forwarding header's size with Windows line ends, as Skeld.exe writes it.
constexpr char body[] = "#ifndef IN_BOOST_HEADERS\r\n"
                        "#define IN_BOOST_HEADERS\r\n"
                        "#include \"RemoveAllCompilerFlags.h\"\r\n"
                        "#include_next \"boost\\some\\original\\header.hpp\"\r\n"
                        "#include \"AddAllCompilerFlags.h\"\r\n"
                        "#undef IN_BOOST_HEADERS\r\n"
                        "#else\r\n"
                        "#include_next \"boost\\some\\original\\header.hpp\"\r\n"
                        "#endif\r\n";

std::atomic<long> files{0};

bool copy_one(const std::wstring& source, const std::wstring& target, char* buffer)
{
    HANDLE in = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    while (ReadFile(in, buffer, buffer_size, &got, nullptr) && got > 0) {
    }
    CloseHandle(in);

    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    bool ok = WriteFile(out, body, sizeof body - 1, &put, nullptr) && put == sizeof body - 1;
    ok = CloseHandle(out) && ok;
    ++files;
    return ok;
}

// Both paths grow by one component per entry and are cut back afterwards,
// so no path is built from scratch. Each file is copied at once, or, when
// pending is given, only listed there for the threads.
bool walk(std::wstring& source, std::wstring& target, char* buffer,
          std::vector<std::pair<std::wstring, std::wstring>>* pending)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileExW((source + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "io_floor_win32: cannot list %ls\n", source.c_str());
        return false;
    }
    bool ok = true;
    const std::size_t source_size = source.size();
    const std::size_t target_size = target.size();
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        source.append(1, L'\\').append(name);
        target.append(1, L'\\').append(name);

        bool is_dir = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            const DWORD attributes = GetFileAttributesW(source.c_str());
            is_dir = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        }
        if (is_dir) {
            CreateDirectoryW(target.c_str(), nullptr);
            ok = walk(source, target, buffer, pending) && ok;
        } else if (pending) {
            pending->emplace_back(source, target);
        } else if (!copy_one(source, target, buffer)) {
            std::fprintf(stderr, "io_floor_win32: cannot copy %ls\n", source.c_str());
            ok = false;
        }
        source.resize(source_size);
        target.resize(target_size);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return ok;
}

}  // namespace

// wmain: the C runtime's arguments in UTF-16 (-municode).
int wmain(int argc, wchar_t* argv[])
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: io_floor_win32 <original tree> <existing output directory> [threads]\n");
        return 2;
    }
    const int threads = argc == 4 ? std::wcstol(argv[3], nullptr, 10) : 1;
    if (threads < 1) {
        std::fprintf(stderr, "io_floor_win32: threads must be 1 or more\n");
        return 2;
    }
    std::wstring source = argv[1];
    std::wstring target = std::wstring(argv[2]) + L"\\boost";
    CreateDirectoryW(target.c_str(), nullptr);
    const auto buffer = std::make_unique<char[]>(buffer_size);
    if (threads == 1) {
        const bool ok = walk(source, target, buffer.get(), nullptr);
        std::printf("%ld files\n", files.load());
        return ok ? 0 : 1;
    }

    std::vector<std::pair<std::wstring, std::wstring>> pending;
    std::atomic<bool> ok{walk(source, target, buffer.get(), &pending)};
    std::atomic<std::size_t> next{0};
    const auto share = [&] {
        const auto own = std::make_unique<char[]>(buffer_size);
        for (std::size_t i = next++; i < pending.size(); i = next++)
            if (!copy_one(pending[i].first, pending[i].second, own.get())) {
                std::fprintf(stderr, "io_floor_win32: cannot copy %ls\n", pending[i].first.c_str());
                ok = false;
            }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t)
        workers.emplace_back(share);
    share();
    for (std::thread& worker : workers)
        worker.join();
    std::printf("%ld files\n", files.load());
    return ok ? 0 : 1;
}
