point system_nested _MSC_VER _WIN32 PROBE_OTHER
