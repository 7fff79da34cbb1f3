// Borland runtime: <stdio.h> is entered again from the runtime's own <cstdio>
// to emit its using-declarations, and each pass tests __BORLANDC__. So every
// pass from Boost code gets the compiler's macros, also one nested in another
// runtime header; only the outermost pass takes them away again.
#ifdef IN_BOOST_HEADERS
#ifndef IN_SYSTEM_STUB
#define IN_SYSTEM_STUB
#include "AddAllCompilerFlags.h"
#include_next <stdio.h>
#include "RemoveAllCompilerFlags.h"
#undef IN_SYSTEM_STUB
#else
#include "AddAllCompilerFlags.h"
#include_next <stdio.h>
#endif
#else
#include_next <stdio.h>
#endif
