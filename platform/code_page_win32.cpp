#include "code_page.h"

#include <climits>

#include <windows.h>

namespace platform {

namespace {

bool to_wide(unsigned code_page, std::string_view text, std::wstring& wide)
{
    wide.clear();
    if (text.empty())
        return true;
    if (text.size() > INT_MAX)
        return false;
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), length) == length;
}

bool from_wide(unsigned code_page, const std::wstring& wide, std::string& text)
{
    text.clear();
    if (wide.empty())
        return true;
    if (wide.size() > INT_MAX)
        return false;
    const int size = static_cast<int>(wide.size());
    // UTF-8 has a form for every character and takes neither the flag nor the question.
    const bool utf8 = code_page == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* const ask = utf8 ? nullptr : &defaulted;
    const int length = WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, ask);
    if (length <= 0 || defaulted)
        return false;
    text.resize(static_cast<std::size_t>(length));
    return WideCharToMultiByte(code_page, flags, wide.data(), size, text.data(), length, nullptr, ask) == length &&
           !defaulted;
}

}  // namespace

unsigned ansi_code_page()
{
    const unsigned process = GetACP();
    if (process != CP_UTF8)
        return process;
    // A UTF-8 manifest makes the process's code page 65001; the files an
    // editor saves as "ANSI" are still in the system locale's.
    DWORD system = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&system), sizeof system / sizeof(wchar_t)) &&
        system != 0)
        return system;
    return process;
}

bool ansi_to_utf8(std::string_view ansi, std::string& utf8)
{
    std::wstring wide;
    return to_wide(ansi_code_page(), ansi, wide) && from_wide(CP_UTF8, wide, utf8);
}

bool utf8_to_ansi(std::string_view utf8, std::string& ansi)
{
    std::wstring wide;
    return to_wide(CP_UTF8, utf8, wide) && from_wide(ansi_code_page(), wide, ansi);
}

}  // namespace platform
