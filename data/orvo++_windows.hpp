//  Boost platform configuration for the ORVO++ analyser on Windows.
//
//  Boost reaches this header through BOOST_PLATFORM_CONFIG, because the
//  Windows macros of the personality are taken away inside Boost and Boost
//  could not find the platform on its own. Only facts about the Win32 API
//  that change which Boost code is read are set here.

#define BOOST_PLATFORM "Win32 (ORVO++)"

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
