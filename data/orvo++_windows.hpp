//  Boost platform configuration for the ORVO++ analyser.
//
//  Boost reaches this header through BOOST_PLATFORM_CONFIG, for every
//  personality. The platform follows the personality's target: its platform
//  macros are not taken away inside Boost, so they tell a Windows target from
//  any other here. A Windows target gets the configuration below; any other
//  target gets the one Boost chooses itself, as without the analyser.

#if defined(_WIN32) || defined(__WIN32__) || defined(WIN32)

#define BOOST_PLATFORM "Win32 (ORVO++)"

// Only facts about the Win32 API that change which Boost code is read are
// set here.

// Win32 threads, unless the user asked for pthreads.
#ifndef BOOST_HAS_PTHREADS
#  define BOOST_HAS_WINTHREADS
#endif

// The Win32 time and thread creation services.
#define BOOST_HAS_GETSYSTEMTIMEASFILETIME
#define BOOST_HAS_THREADEX

// Every Windows runtime that offers C++11 has <stdint.h>.
#if (__cplusplus >= 201103L) || (defined(_MSVC_LANG) && (_MSVC_LANG >= 201103L))
#  define BOOST_HAS_STDINT_H
#endif

// BOOST_DISABLE_WIN32 keeps Boost away from the Win32 API, as with Boost's
// own configuration.
#ifndef BOOST_DISABLE_WIN32
#  define BOOST_HAS_FTIME
#  define BOOST_WINDOWS 1
#endif

// BOOST_SYMBOL_EXPORT and BOOST_SYMBOL_IMPORT stay undefined, and so empty:
// DLL linkage changes nothing the analyser checks, and __declspec would tie
// this header to front ends that accept it.

#else

// Not Windows: Boost's own choice from the target's platform macros. Its
// selection header only names a configuration while BOOST_PLATFORM_CONFIG is
// unset; the name of this header is put back afterwards.
#  undef BOOST_PLATFORM_CONFIG
#  include <boost/config/detail/select_platform_config.hpp>
#  ifdef BOOST_PLATFORM_CONFIG
#    include BOOST_PLATFORM_CONFIG
#  endif
#  undef BOOST_PLATFORM_CONFIG
#  define BOOST_PLATFORM_CONFIG "boost/config/platform/orvo++.hpp"

#endif
