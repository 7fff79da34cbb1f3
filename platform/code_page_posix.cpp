#include "code_page.h"

// A POSIX name is the bytes it is: no conversion could do better than none.
namespace platform {

unsigned ansi_code_page()
{
    return 0;
}

bool ansi_to_utf8(std::string_view ansi, std::string& utf8)
{
    utf8.assign(ansi);
    return true;
}

bool utf8_to_ansi(std::string_view utf8, std::string& ansi)
{
    ansi.assign(utf8);
    return true;
}

}  // namespace platform
