// A Boost header: reads a nested Boost header, two system headers and a
// header that the shipped exclusion list treats as non-Boost.
point boost_outer_start _MSC_VER _WIN32 PROBE_OTHER
#include <boost/probe/inner.hpp>
point boost_outer_after_inner _MSC_VER _WIN32 PROBE_OTHER
#include <probe_system.h>
point boost_outer_after_system _MSC_VER _WIN32 PROBE_OTHER
#include <probe_system_nested.h>
point boost_outer_after_second_system _MSC_VER _WIN32 PROBE_OTHER
#include <boost/config/no_tr1/probe_wrapper.hpp>
point boost_outer_end _MSC_VER _WIN32 PROBE_OTHER
