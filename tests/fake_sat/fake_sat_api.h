#pragma once
// Control functions exported by the fake SAT library beside the seventeen
// SAT functions. Tests reach them through FakeSat (fake_sat_control.h); the
// library under test never calls them.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FAKE_SAT_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_SAT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Kinds of a recorded argument.
inline constexpr int kFakeSatNumberArgument = 0;
inline constexpr int kFakeSatTextArgument = 1;
inline constexpr int kFakeSatNullTextArgument = 2;

using FakeSatResetFn = void (*)();
using FakeSatSetAnswerFn = void (*)(const char* exportName, const char* bytes, std::size_t length);
using FakeSatSetNullAnswerFn = void (*)(const char* exportName);
using FakeSatSetDelayFn = void (*)(const char* exportName, int milliseconds);
using FakeSatCallCountFn = int (*)(const char* exportName);
using FakeSatCallerThreadCountFn = int (*)();
using FakeSatCalledFromThisThreadFn = int (*)();
using FakeSatLastArgumentCountFn = int (*)(const char* exportName);
using FakeSatLastArgumentKindFn = int (*)(const char* exportName, int index);
using FakeSatLastNumberArgumentFn = std::int32_t (*)(const char* exportName, int index);
using FakeSatLastTextArgumentFn = const char* (*)(const char* exportName, int index,
                                                  std::size_t* length);
using FakeSatCallSequenceFn = const char* (*)();
