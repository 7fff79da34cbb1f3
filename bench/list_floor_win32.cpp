// The listing floor of list_floor.cpp in Windows' own calls, for Skeld.exe:
// every directory of the original tree and of the output listed with
// FindFirstFileExW, whose entries carry their status (attributes, times,
// size), so no file or directory is opened beyond the listing's own.
//
//   list_floor_win32 <original tree> <output directory>

#include <cstdio>
#include <string>
#include <string_view>

#include <windows.h>

namespace {

long entries = 0;

bool walk(std::wstring& directory)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileExW((directory + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "list_floor_win32: cannot list %ls\n", directory.c_str());
        return false;
    }
    bool ok = true;
    const std::size_t size = directory.size();
    do {
        const std::wstring_view name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        ++entries;
        // A link is an entry, not a way down.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            directory.append(1, L'\\').append(name);
            ok = walk(directory) && ok;
            directory.resize(size);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return ok;
}

}  // namespace

// wmain: the C runtime's arguments in UTF-16 (-municode).
int wmain(int argc, wchar_t* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: list_floor_win32 <original tree> <output directory>\n");
        return 2;
    }
    std::wstring boost = argv[1];
    std::wstring output = argv[2];
    bool ok = walk(boost);
    ok = walk(output) && ok;
    std::printf("%ld entries\n", entries);
    return ok ? 0 : 1;
}
