#include "rules/processor_features.h"

#ifdef DVT_X86_VECTOR_PATHS

bool ProcessorHasSsse3() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

bool ProcessorHasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    }();
    return has;
}

#else

bool ProcessorHasSsse3() {
    return false;
}

bool ProcessorHasAvx2() {
    return false;
}

#endif
