#pragma once
// Vector instructions beyond the x86-64 baseline (SSE2), checked once at run
// time: the decoders of large device logs have paths that use them, compiled
// for them alone, and fall back to plain code on processors without them.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define DVT_X86_VECTOR_PATHS 1
#endif

// SSSE3 (byte shuffles), on every x86-64 processor since about 2008.
bool ProcessorHasSsse3();
// AVX2 and POPCNT, on every x86-64 processor since about 2015.
bool ProcessorHasAvx2();
