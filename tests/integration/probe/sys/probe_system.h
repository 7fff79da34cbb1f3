point system_start _MSC_VER _WIN32 PROBE_OTHER
#include <probe_system_nested.h>
point system_after_nested _MSC_VER _WIN32 PROBE_OTHER
