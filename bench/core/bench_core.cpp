// Throughput of the answer decoding on large payloads: Base64 fields (side by
// side with coreutils' base64 -d on the same text), the UTF-8 to
// Windows-1252 decoding, and a whole ExtrairLogs wrapper on a 32 MB answer
// with its peak extra heap use.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <new>
#include <random>
#include <string>
#include <unistd.h>

#include "bench/device_log.h"
#include "rules/cp1252.h"
#include "sat/base64_field.h"
#include "sat/dll_wrappers.h"

// ---- Heap accounting: every allocation of the program is counted ---------

namespace {
std::atomic<std::size_t> gHeapInUse{0};
std::atomic<std::size_t> gHeapPeak{0};

void CountAllocation(void* block) {
    const std::size_t inUse = gHeapInUse += malloc_usable_size(block);
    std::size_t peak = gHeapPeak.load();
    while (inUse > peak && !gHeapPeak.compare_exchange_weak(peak, inUse)) {
    }
}
} // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    CountAllocation(block);
    return block;
}

// The replacement operator new above takes its blocks from malloc, so free is
// their match; GCC cannot see that once both are inlined into a caller.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
    if (block != nullptr) {
        gHeapInUse -= malloc_usable_size(block);
        std::free(block);
    }
}
#pragma GCC diagnostic pop

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937_64 random(seed);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t value = random();
        for (std::size_t j = 0; j < 8 && i + j < size; ++j) {
            bytes[i + j] = static_cast<char>(value >> (8 * j));
        }
    }
    return bytes;
}

std::string Base64Encode(const std::string& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const auto b = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) << 16 |
                                                  static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                                  static_cast<unsigned char>(bytes[i + 2]));
        text += kAlphabet[b >> 18];
        text += kAlphabet[(b >> 12) & 63];
        text += kAlphabet[(b >> 6) & 63];
        text += kAlphabet[b & 63];
    }
    if (i < bytes.size()) {
        std::uint32_t b = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) << 16);
        if (i + 1 < bytes.size()) {
            b |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1]) << 8);
        }
        text += kAlphabet[b >> 18];
        text += kAlphabet[(b >> 12) & 63];
        text += i + 1 < bytes.size() ? kAlphabet[(b >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

// Base64 text of about `size` characters.
const std::string& Base64Text(std::size_t size) {
    static std::string oneMiB = Base64Encode(RandomBytes(kMiB / 4 * 3, 1));
    static std::string sixtyFourMiB = Base64Encode(RandomBytes(64 * kMiB / 4 * 3, 2));
    return size == kMiB ? oneMiB : sixtyFourMiB;
}

// A fresh result string per call, as DecodeBase64Field is used. Its cost
// includes the first touch of the new memory, which on some machines (VMs,
// sandboxes) is a large part of it: see BM_FreshMemoryFirstTouch.
void BM_DecodeBase64Field(benchmark::State& state) {
    const std::string& text = Base64Text(static_cast<std::size_t>(state.range(0)) * kMiB);
    for (auto _ : state) {
        std::string decoded = DecodeBase64Field(text);
        benchmark::DoNotOptimize(decoded.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DecodeBase64Field)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// The decoder alone: into a string whose memory is kept between calls, as
// the session's LastResponse is kept between operations.
void BM_AppendBase64FieldReused(benchmark::State& state) {
    const std::string& text = Base64Text(static_cast<std::size_t>(state.range(0)) * kMiB);
    std::string decoded;
    AppendBase64Field(decoded, text); // the memory is touched once, before timing
    for (auto _ : state) {
        decoded.clear();
        AppendBase64Field(decoded, text);
        benchmark::DoNotOptimize(decoded.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AppendBase64FieldReused)
    ->Arg(1)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What the machine charges for memory that is touched for the first time:
// 48 MB (the decoded size of 64 MB of Base64), allocated, written once per
// page and freed.
void BM_FreshMemoryFirstTouch(benchmark::State& state) {
    const std::size_t size = 48 * kMiB;
    for (auto _ : state) {
        auto* block = static_cast<volatile char*>(std::malloc(size));
        for (std::size_t i = 0; i < size; i += 4096) {
            block[i] = 1;
        }
        std::free(const_cast<char*>(block));
    }
}
BENCHMARK(BM_FreshMemoryFirstTouch)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 64 MB text through coreutils, from a file in the page cache to
// /dev/null; the time includes starting the process.
void BM_CoreutilsBase64Decode(benchmark::State& state) {
    const std::string& text = Base64Text(64 * kMiB);
    const std::string path = "/tmp/dvt_bench_base64_" + std::to_string(getpid()) + ".txt";
    std::ofstream(path, std::ios::binary) << text;
    const std::string command = "base64 -d " + path + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("base64 -d failed");
            break;
        }
    }
    std::remove(path.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CoreutilsBase64Decode)->Unit(benchmark::kMillisecond)->UseRealTime();

// Portuguese text: mostly ASCII with two-byte accented letters.
std::string PortugueseText(std::size_t size) {
    const std::string sentence = "Transferência completa; código de ativação inválido; sessão "
                                 "não existe; Emitido com sucesso + conteúdo notas. ";
    std::string text;
    text.reserve(size + sentence.size());
    while (text.size() < size) {
        text += sentence;
    }
    return text;
}

void BM_Utf8ToCp1252(benchmark::State& state) {
    const std::string text = PortugueseText(static_cast<std::size_t>(state.range(0)) * kMiB);
    for (auto _ : state) {
        std::string decoded = Utf8ToCp1252(text);
        benchmark::DoNotOptimize(decoded.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Utf8ToCp1252)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

// A 32 MiB device log's field as the window decodes it: Base64, UTF-8 to
// Windows-1252 and line feeds widened in one pass, into a text whose memory
// is kept between calls (the decoding alone, no first touch).
void BM_AppendBase64PayloadDeviceLog(benchmark::State& state) {
    const std::string field = Base64Encode(DeviceLog(32 * kMiB));
    std::string shown;
    AppendBase64Payload(shown, field);
    for (auto _ : state) {
        shown.clear();
        const Base64Payload payload = AppendBase64Payload(shown, field);
        benchmark::DoNotOptimize(payload.size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * field.size()));
}
BENCHMARK(BM_AppendBase64PayloadDeviceLog)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- A whole DllExtrairLogs on a 32 MB answer ------------------------------

std::string gLogsAnswer;

const char* LogsAnswer(std::int32_t, const char*) {
    return gLogsAnswer.c_str();
}

class SilentUserInterface : public SatUserInterface {
public:
    int ShowMessageDialog(const std::string&) override { return 1; }
    void FechaAguarde() override {}
};

void BM_DllExtrairLogs(benchmark::State& state) {
    // A device log, one line per event, Base64 wrapped at 76 characters with
    // CR LF as some devices send it.
    std::string log;
    while (log.size() < 24 * kMiB) {
        log += "20150718154423|SAT|INFO|Consulta de status operacional realizada\n";
    }
    const std::string encoded = Base64Encode(log);
    gLogsAnswer = "000042|15000|Transferência completa|||";
    for (std::size_t i = 0; i < encoded.size(); i += 76) {
        gLogsAnswer.append(encoded, i, 76).append("\r\n");
    }

    SatEntryPoints entryPoints;
    entryPoints.ExtrairLogs = LogsAnswer;
    const auto library = MakeInProcessLibrary(entryPoints);
    SilentUserInterface ui;
    // Arg 0: a new session for every call (all memory touched afresh);
    // arg 1: one session for all calls, as the program keeps it.
    const bool reused = state.range(0) == 1;
    SatCallRecord keptRecord;
    std::string keptLastResponse;
    if (reused) {
        DllExtrairLogs({*library, ui, keptRecord}, keptLastResponse, 41, "12345678");
    }
    double peakRatio = 0;
    for (auto _ : state) {
        SatCallRecord freshRecord;
        std::string freshLastResponse;
        SatCallRecord& record = reused ? keptRecord : freshRecord;
        std::string& lastResponse = reused ? keptLastResponse : freshLastResponse;
        const std::size_t before = gHeapInUse.load();
        gHeapPeak = before;
        const bool result = DllExtrairLogs({*library, ui, record}, lastResponse, 42, "12345678");
        benchmark::DoNotOptimize(result);
        if (!result || lastResponse.size() < log.size()) {
            state.SkipWithError("the log was not decoded");
            break;
        }
        peakRatio = static_cast<double>(gHeapPeak.load() - before) /
                    static_cast<double>(gLogsAnswer.size());
    }
    state.counters["answer_MiB"] = static_cast<double>(gLogsAnswer.size()) / kMiB;
    state.counters["peak_extra_x_answer"] = peakRatio;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gLogsAnswer.size()));
}
BENCHMARK(BM_DllExtrairLogs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
