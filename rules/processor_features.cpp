#include "rules/processor_features.h"

#ifdef DVT_X86_VECTOR_PATHS

#include <cstdlib>
#include <cstring>

namespace {

// DVT_VECTOR_PATHS=off turns the paths off on any processor, so that the
// tests can run the plain code on a machine that has the instructions.
bool VectorPathsAllowed() {
    const char* setting = std::getenv("DVT_VECTOR_PATHS");
    return setting == nullptr || std::strcmp(setting, "off") != 0;
}

} // namespace

bool ProcessorHasSsse3() {
    static const bool has = [] {
        __builtin_cpu_init();
        return VectorPathsAllowed() && __builtin_cpu_supports("ssse3") != 0;
    }();
    return has;
}

bool ProcessorHasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return VectorPathsAllowed() && __builtin_cpu_supports("avx2") != 0 &&
               __builtin_cpu_supports("popcnt") != 0;
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
