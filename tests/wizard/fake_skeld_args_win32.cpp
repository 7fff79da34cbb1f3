#include <windows.h>

#include "fake_skeld_args.h"

std::vector<std::string> utf8_arguments(int, char**)
{
    // The narrow arguments went through the ANSI code page: take the wide ones.
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(size > 0 ? size - 1 : 0, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8.data(), size, nullptr, nullptr);
        arguments.push_back(utf8);
    }
    LocalFree(wide);
    return arguments;
}
