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

#undef BOOST_ORVO_CXX_LEVEL

// Deprecation changes nothing the analyser checks. Boost's fallback, the
// standard attribute, stands where a standard attribute may not (Boost.Locale
// 1.81: typedef BOOST_DEPRECATED("...") T name;), so, like each of Boost's
// own compiler configurations, this one defines the macro, as nothing.
#ifndef BOOST_DEPRECATED
#  define BOOST_DEPRECATED(msg)
#endif
