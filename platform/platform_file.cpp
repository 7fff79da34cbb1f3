// What the platform module's files do the same way on every platform.
#include "platform.h"
#include "fault_hook.h"

namespace platform {

std::optional<injected_fault>& current_fault()
{
    static std::optional<injected_fault> fault;
    return fault;
}

void inject_fault(std::optional<injected_fault> fault)
{
    current_fault() = std::move(fault);
}

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
