point boost_inner _MSC_VER _WIN32 PROBE_OTHER
