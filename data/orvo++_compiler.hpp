//  Boost compiler configuration for the ORVO++ analyser front end.
//
//  Boost reaches this header through BOOST_COMPILER_CONFIG instead of
//  guessing the compiler from the personality's macros, which are taken away
//  inside Boost. ORVO++ is a conforming front end: nothing is switched off
//  except the language features that the language level in use lacks, so
//  the same header suits every level the analyser runs with.

#define BOOST_COMPILER "ORVO++"

// A front end that is itself clang (its own __clang__, not the
// personality's, which is taken away inside Boost) has clang's built-ins:
// Boost's type traits use them only where BOOST_CLANG says so, and their
// fallback needs complete types where Boost.Optional has none.
#if defined(__clang__) && !defined(BOOST_CLANG)
#  define BOOST_CLANG 1
#endif

// The language level. A personality for Microsoft's compiler usually keeps
// __cplusplus at 199711L and states the real level in _MSVC_LANG.
#if defined(_MSVC_LANG) && (_MSVC_LANG > __cplusplus)
#  define BOOST_ORVO_CXX_LEVEL _MSVC_LANG
#else
#  define BOOST_ORVO_CXX_LEVEL __cplusplus
#endif

// Features every C++ front end of our time has, in all language modes.
#define BOOST_HAS_LONG_LONG
#define BOOST_HAS_PRAGMA_ONCE
#define BOOST_HAS_NRVO

// Exceptions and RTTI are assumed on. A front end that reports the SD-6
// feature macros but not these two has them switched off.
#if defined(__cpp_constexpr) && !defined(__cpp_exceptions) && !defined(BOOST_NO_EXCEPTIONS)
#  define BOOST_NO_EXCEPTIONS
#endif
#if defined(__cpp_constexpr) && !defined(__cpp_rtti)
#  ifndef BOOST_NO_RTTI
#    define BOOST_NO_RTTI
#  endif
#  ifndef BOOST_NO_TYPEID
#    define BOOST_NO_TYPEID
#  endif
#endif

#if BOOST_ORVO_CXX_LEVEL < 201103L
#  define BOOST_NO_CXX11_ALIGNAS
#  define BOOST_NO_CXX11_AUTO_DECLARATIONS
#  define BOOST_NO_CXX11_AUTO_MULTIDECLARATIONS
#  define BOOST_NO_CXX11_CHAR16_T
#  define BOOST_NO_CXX11_CHAR32_T
#  define BOOST_NO_CXX11_CONSTEXPR
#  define BOOST_NO_CXX11_DECLTYPE
#  define BOOST_NO_CXX11_DECLTYPE_N3276
#  define BOOST_NO_CXX11_DEFAULTED_FUNCTIONS
#  define BOOST_NO_CXX11_DELETED_FUNCTIONS
#  define BOOST_NO_CXX11_EXPLICIT_CONVERSION_OPERATORS
#  define BOOST_NO_CXX11_EXTERN_TEMPLATE
#  define BOOST_NO_CXX11_FINAL
#  define BOOST_NO_CXX11_FUNCTION_TEMPLATE_DEFAULT_ARGS
#  define BOOST_NO_CXX11_HDR_INITIALIZER_LIST
#  define BOOST_NO_CXX11_INLINE_NAMESPACES
#  define BOOST_NO_CXX11_LAMBDAS
#  define BOOST_NO_CXX11_LOCAL_CLASS_TEMPLATE_PARAMETERS
#  define BOOST_NO_CXX11_NOEXCEPT
#  define BOOST_NO_CXX11_NULLPTR
#  define BOOST_NO_CXX11_OVERRIDE
#  define BOOST_NO_CXX11_RANGE_BASED_FOR
#  define BOOST_NO_CXX11_RAW_LITERALS
#  define BOOST_NO_CXX11_REF_QUALIFIERS
#  define BOOST_NO_CXX11_RVALUE_REFERENCES
#  define BOOST_NO_CXX11_SCOPED_ENUMS
#  define BOOST_NO_CXX11_SFINAE_EXPR
#  define BOOST_NO_CXX11_STATIC_ASSERT
#  define BOOST_NO_CXX11_TEMPLATE_ALIASES
#  define BOOST_NO_CXX11_THREAD_LOCAL
#  define BOOST_NO_CXX11_TRAILING_RESULT_TYPES
#  define BOOST_NO_CXX11_UNICODE_LITERALS
#  define BOOST_NO_CXX11_UNIFIED_INITIALIZATION_SYNTAX
#  define BOOST_NO_CXX11_UNRESTRICTED_UNION
#  define BOOST_NO_CXX11_USER_DEFINED_LITERALS
#  define BOOST_NO_CXX11_VARIADIC_MACROS
#  define BOOST_NO_CXX11_VARIADIC_TEMPLATES
#endif

#if BOOST_ORVO_CXX_LEVEL < 201402L
#  define BOOST_NO_CXX14_AGGREGATE_NSDMI
#  define BOOST_NO_CXX14_BINARY_LITERALS
#  define BOOST_NO_CXX14_CONSTEXPR
#  define BOOST_NO_CXX14_DECLTYPE_AUTO
#  define BOOST_NO_CXX14_DIGIT_SEPARATORS
#  define BOOST_NO_CXX14_GENERIC_LAMBDAS
#  define BOOST_NO_CXX14_INITIALIZED_LAMBDA_CAPTURES
#  define BOOST_NO_CXX14_RETURN_TYPE_DEDUCTION
#  define BOOST_NO_CXX14_VARIABLE_TEMPLATES
#endif

#if BOOST_ORVO_CXX_LEVEL < 201703L
#  define BOOST_NO_CXX17_FOLD_EXPRESSIONS
#  define BOOST_NO_CXX17_IF_CONSTEXPR
#  define BOOST_NO_CXX17_INLINE_VARIABLES
#  define BOOST_NO_CXX17_STRUCTURED_BINDINGS
#endif


// Boost.Asio learns the language and library features from the names of the
// compilers it knows (__GNUC__, __clang__, _MSC_VER), which are taken away
// inside Boost, and without them reads as C++03: Beast and Process do not
// read then. A conforming front end and its standard library have each
// feature from the level that brought it. A feature the user switches off
// with BOOST_ASIO_DISABLE_... stays off.
#if BOOST_ORVO_CXX_LEVEL >= 201103L
#  if !defined(BOOST_ASIO_HAS_MOVE) && !defined(BOOST_ASIO_DISABLE_MOVE)
#    define BOOST_ASIO_HAS_MOVE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_VARIADIC_TEMPLATES) && !defined(BOOST_ASIO_DISABLE_VARIADIC_TEMPLATES)
#    define BOOST_ASIO_HAS_VARIADIC_TEMPLATES 1
#  endif
#  if !defined(BOOST_ASIO_HAS_CONSTEXPR) && !defined(BOOST_ASIO_DISABLE_CONSTEXPR)
#    define BOOST_ASIO_HAS_CONSTEXPR 1
#  endif
#  if !defined(BOOST_ASIO_HAS_NOEXCEPT) && !defined(BOOST_ASIO_DISABLE_NOEXCEPT)
#    define BOOST_ASIO_HAS_NOEXCEPT 1
#  endif
#  if !defined(BOOST_ASIO_HAS_DECLTYPE) && !defined(BOOST_ASIO_DISABLE_DECLTYPE)
#    define BOOST_ASIO_HAS_DECLTYPE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_ALIAS_TEMPLATES) && !defined(BOOST_ASIO_DISABLE_ALIAS_TEMPLATES)
#    define BOOST_ASIO_HAS_ALIAS_TEMPLATES 1
#  endif
#  if !defined(BOOST_ASIO_HAS_DEFAULT_FUNCTION_TEMPLATE_ARGUMENTS) && !defined(BOOST_ASIO_DISABLE_DEFAULT_FUNCTION_TEMPLATE_ARGUMENTS)
#    define BOOST_ASIO_HAS_DEFAULT_FUNCTION_TEMPLATE_ARGUMENTS 1
#  endif
#  if !defined(BOOST_ASIO_HAS_ENUM_CLASS) && !defined(BOOST_ASIO_DISABLE_ENUM_CLASS)
#    define BOOST_ASIO_HAS_ENUM_CLASS 1
#  endif
#  if !defined(BOOST_ASIO_HAS_WORKING_EXPRESSION_SFINAE) && !defined(BOOST_ASIO_DISABLE_WORKING_EXPRESSION_SFINAE)
#    define BOOST_ASIO_HAS_WORKING_EXPRESSION_SFINAE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_REF_QUALIFIED_FUNCTIONS) && !defined(BOOST_ASIO_DISABLE_REF_QUALIFIED_FUNCTIONS)
#    define BOOST_ASIO_HAS_REF_QUALIFIED_FUNCTIONS 1
#  endif
#  if !defined(BOOST_ASIO_HAS_VARIADIC_LAMBDA_CAPTURES) && !defined(BOOST_ASIO_DISABLE_VARIADIC_LAMBDA_CAPTURES)
#    define BOOST_ASIO_HAS_VARIADIC_LAMBDA_CAPTURES 1
#  endif
#  if !defined(BOOST_ASIO_HAS_NULLPTR) && !defined(BOOST_ASIO_DISABLE_NULLPTR)
#    define BOOST_ASIO_HAS_NULLPTR 1
#  endif
#  if !defined(BOOST_ASIO_HAS_CXX11_ALLOCATORS) && !defined(BOOST_ASIO_DISABLE_CXX11_ALLOCATORS)
#    define BOOST_ASIO_HAS_CXX11_ALLOCATORS 1
#  endif
#  if !defined(BOOST_ASIO_HAS_CSTDINT) && !defined(BOOST_ASIO_DISABLE_CSTDINT)
#    define BOOST_ASIO_HAS_CSTDINT 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_ALIGN) && !defined(BOOST_ASIO_DISABLE_STD_ALIGN)
#    define BOOST_ASIO_HAS_STD_ALIGN 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_ARRAY) && !defined(BOOST_ASIO_DISABLE_STD_ARRAY)
#    define BOOST_ASIO_HAS_STD_ARRAY 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_SHARED_PTR) && !defined(BOOST_ASIO_DISABLE_STD_SHARED_PTR)
#    define BOOST_ASIO_HAS_STD_SHARED_PTR 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_ALLOCATOR_ARG) && !defined(BOOST_ASIO_DISABLE_STD_ALLOCATOR_ARG)
#    define BOOST_ASIO_HAS_STD_ALLOCATOR_ARG 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_ATOMIC) && !defined(BOOST_ASIO_DISABLE_STD_ATOMIC)
#    define BOOST_ASIO_HAS_STD_ATOMIC 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_CHRONO) && !defined(BOOST_ASIO_DISABLE_STD_CHRONO)
#    define BOOST_ASIO_HAS_STD_CHRONO 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_ADDRESSOF) && !defined(BOOST_ASIO_DISABLE_STD_ADDRESSOF)
#    define BOOST_ASIO_HAS_STD_ADDRESSOF 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_FUNCTION) && !defined(BOOST_ASIO_DISABLE_STD_FUNCTION)
#    define BOOST_ASIO_HAS_STD_FUNCTION 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_REFERENCE_WRAPPER) && !defined(BOOST_ASIO_DISABLE_STD_REFERENCE_WRAPPER)
#    define BOOST_ASIO_HAS_STD_REFERENCE_WRAPPER 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_TYPE_TRAITS) && !defined(BOOST_ASIO_DISABLE_STD_TYPE_TRAITS)
#    define BOOST_ASIO_HAS_STD_TYPE_TRAITS 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_THREAD) && !defined(BOOST_ASIO_DISABLE_STD_THREAD)
#    define BOOST_ASIO_HAS_STD_THREAD 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_MUTEX_AND_CONDVAR) && !defined(BOOST_ASIO_DISABLE_STD_MUTEX_AND_CONDVAR)
#    define BOOST_ASIO_HAS_STD_MUTEX_AND_CONDVAR 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_CALL_ONCE) && !defined(BOOST_ASIO_DISABLE_STD_CALL_ONCE)
#    define BOOST_ASIO_HAS_STD_CALL_ONCE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_FUTURE) && !defined(BOOST_ASIO_DISABLE_STD_FUTURE)
#    define BOOST_ASIO_HAS_STD_FUTURE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_TUPLE) && !defined(BOOST_ASIO_DISABLE_STD_TUPLE)
#    define BOOST_ASIO_HAS_STD_TUPLE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_IOSTREAM_MOVE) && !defined(BOOST_ASIO_DISABLE_STD_IOSTREAM_MOVE)
#    define BOOST_ASIO_HAS_STD_IOSTREAM_MOVE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_EXCEPTION_PTR) && !defined(BOOST_ASIO_DISABLE_STD_EXCEPTION_PTR)
#    define BOOST_ASIO_HAS_STD_EXCEPTION_PTR 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_NESTED_EXCEPTION) && !defined(BOOST_ASIO_DISABLE_STD_NESTED_EXCEPTION)
#    define BOOST_ASIO_HAS_STD_NESTED_EXCEPTION 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_HASH) && !defined(BOOST_ASIO_DISABLE_STD_HASH)
#    define BOOST_ASIO_HAS_STD_HASH 1
#  endif
#endif
#if BOOST_ORVO_CXX_LEVEL >= 201402L
#  if !defined(BOOST_ASIO_HAS_RETURN_TYPE_DEDUCTION) && !defined(BOOST_ASIO_DISABLE_RETURN_TYPE_DEDUCTION)
#    define BOOST_ASIO_HAS_RETURN_TYPE_DEDUCTION 1
#  endif
#  if !defined(BOOST_ASIO_HAS_VARIABLE_TEMPLATES) && !defined(BOOST_ASIO_DISABLE_VARIABLE_TEMPLATES)
#    define BOOST_ASIO_HAS_VARIABLE_TEMPLATES 1
#  endif
#  if !defined(BOOST_ASIO_HAS_CONSTANT_EXPRESSION_SFINAE) && !defined(BOOST_ASIO_DISABLE_CONSTANT_EXPRESSION_SFINAE)
#    define BOOST_ASIO_HAS_CONSTANT_EXPRESSION_SFINAE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_INDEX_SEQUENCE) && !defined(BOOST_ASIO_DISABLE_STD_INDEX_SEQUENCE)
#    define BOOST_ASIO_HAS_STD_INDEX_SEQUENCE 1
#  endif
#endif
#if BOOST_ORVO_CXX_LEVEL >= 201703L
#  if !defined(BOOST_ASIO_HAS_SFINAE_VARIABLE_TEMPLATES) && !defined(BOOST_ASIO_DISABLE_SFINAE_VARIABLE_TEMPLATES)
#    define BOOST_ASIO_HAS_SFINAE_VARIABLE_TEMPLATES 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_STRING_VIEW) && !defined(BOOST_ASIO_DISABLE_STD_STRING_VIEW)
#    define BOOST_ASIO_HAS_STD_STRING_VIEW 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_INVOKE_RESULT) && !defined(BOOST_ASIO_DISABLE_STD_INVOKE_RESULT)
#    define BOOST_ASIO_HAS_STD_INVOKE_RESULT 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_ANY) && !defined(BOOST_ASIO_DISABLE_STD_ANY)
#    define BOOST_ASIO_HAS_STD_ANY 1
#  endif
#endif
#if BOOST_ORVO_CXX_LEVEL >= 202002L
#  if !defined(BOOST_ASIO_HAS_NOEXCEPT_FUNCTION_TYPE) && !defined(BOOST_ASIO_DISABLE_NOEXCEPT_FUNCTION_TYPE)
#    define BOOST_ASIO_HAS_NOEXCEPT_FUNCTION_TYPE 1
#  endif
#  if !defined(BOOST_ASIO_HAS_STD_TO_ADDRESS) && !defined(BOOST_ASIO_DISABLE_STD_TO_ADDRESS)
#    define BOOST_ASIO_HAS_STD_TO_ADDRESS 1
#  endif
// Newer Asio (Boost 1.90) takes co_await from the feature-test macros, but the
// standard <coroutine> only from compiler names; without it, awaitable.hpp
// reaches for <experimental/coroutine>, which a C++20 library does not have.
// A front end that reports coroutines and a library that has the header get it.
#  if !defined(BOOST_ASIO_HAS_STD_COROUTINE) && !defined(BOOST_ASIO_DISABLE_STD_COROUTINE) && \
      defined(__cpp_impl_coroutine) && defined(__has_include)
#    if __cpp_impl_coroutine >= 201902L && __has_include(<coroutine>)
#      define BOOST_ASIO_HAS_STD_COROUTINE 1
#    endif
#  endif
#endif

#undef BOOST_ORVO_CXX_LEVEL

// Deprecation changes nothing the analyser checks. Boost's fallback, the
// standard attribute, stands where a standard attribute may not (Boost.Locale
// 1.81: typedef BOOST_DEPRECATED("...") T name;), so, like each of Boost's
// own compiler configurations, this one defines the macro, as nothing.
#ifndef BOOST_DEPRECATED
#  define BOOST_DEPRECATED(msg)
#endif

// A function that never returns: Boost's fallback for a compiler it does not
// know is the standard attribute, which Boost.JSON and Boost.URL 1.81 put
// where only a GNU attribute or a declspec may stand. A front end that
// reports the GNU attribute gets it, as Boost gives it to g++ and clang.
#if !defined(BOOST_NORETURN) && defined(__has_attribute)
#  if __has_attribute(__noreturn__)
#    define BOOST_NORETURN __attribute__((__noreturn__))
#  endif
#endif

// An unused entity: Boost's fallback at C++17 and later is the standard
// attribute, which Boost.Phoenix (1.90) puts after a typedef's name, where
// clang does not take it. A front end that reports the GNU attribute gets it,
// as Boost gives it to g++ and clang.
#if !defined(BOOST_ATTRIBUTE_UNUSED) && defined(__has_attribute)
#  if __has_attribute(__unused__)
#    define BOOST_ATTRIBUTE_UNUSED __attribute__((__unused__))
#  endif
#endif

// Base-of needs the front end's built-in where the base class is incomplete
// (Boost.Optional's in_place_factory_base); the type traits use it only for
// compilers they know by name, so a front end that reports it gets it here,
// spelt as the type traits spell it.
#if !defined(BOOST_IS_BASE_OF) && !defined(BOOST_TT_DISABLE_INTRINSICS) && defined(__has_builtin)
#  if __has_builtin(__is_base_of)
#    define BOOST_IS_BASE_OF(T,U) (__is_base_of(T,U) && !is_same<T,U>::value)
#  endif
#endif
