point main_start _MSC_VER _WIN32 PROBE_OTHER
#include <boost/probe/outer.hpp>
point main_after_boost _MSC_VER _WIN32 PROBE_OTHER
#include <boost/config/no_tr1/probe_wrapper.hpp>
point main_end _MSC_VER _WIN32 PROBE_OTHER
