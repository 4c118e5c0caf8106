#pragma once
// The calling convention of the SAT library's exports. SAT libraries for
// 32-bit Windows use stdcall (the callee removes the arguments); everywhere
// else the platform's C convention applies, so the macro expands to nothing.

#if defined(_WIN32) && (defined(_M_IX86) || defined(__i386__))
#define DVT_SATCALL __stdcall
#else
#define DVT_SATCALL
#endif
