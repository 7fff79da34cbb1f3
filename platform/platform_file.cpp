// What the platform module's files do the same way on every platform.
#include "platform.h"

namespace platform {

bool file::read_all(std::string& bytes)
{
    bytes.clear();
    if (!rewind())
        return false;
    char buffer[65536];
    for (;;) {
        const std::ptrdiff_t got = read(buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace platform
