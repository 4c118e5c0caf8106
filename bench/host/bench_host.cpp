// What the library host costs beside the in-process call, on the same fake
// library and the same calls:
//   BM_ConsultarSAT/0 in process, /1 through the host: one ConsultarSAT per
//     iteration, 1,000 iterations, the session number varying;
//   BM_ExtrairLogs/0 and /1: a whole log extraction (call and decoding) of a
//     48 MiB answer, one session (and one host) for all calls; the counter
//     cpu_ms is this process's CPU plus the host's (host_cpu_ms);
//   BM_ExtrairLogsPaired: the same two extractions, one of each per
//     iteration (in turn first), so that both meet the same load; the
//     counters are medians per extraction, and ratio the median of the
//     iterations' host / in-process ratios.
// CPU is the kernel's running time of every thread, read from the process's
// CPU clock (the host's from its own, by its pid).

#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "sat/library_access.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"

namespace {

class SilentUserInterface : public SatUserInterface {
public:
    int ShowMessageDialog(const std::string&) override { return 1; }
    void FechaAguarde() override {}
};

double CpuMs(clockid_t clock) {
    timespec now{};
    if (clock_gettime(clock, &now) != 0) {
        return 0;
    }
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double SelfCpuMs() {
    return CpuMs(CLOCK_PROCESS_CPUTIME_ID);
}

// CPU of this process's living children (the library host): a host that
// lives across calls, as in the program.
double ChildrenCpuMs() {
    double total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream children(task.path() / "children");
        pid_t pid = 0;
        while (children >> pid) {
            clockid_t clock{};
            if (clock_getcpuclockid(pid, &clock) == 0) {
                total += CpuMs(clock);
            }
        }
    }
    return total;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::unique_ptr<SatLibraryAccess> MakeLibrary(bool hosted) {
    return hosted ? MakeHostedLibrary(DVT_SAT_HOST) : MakeInProcessLibrary();
}

void BM_ConsultarSAT(benchmark::State& state) {
    const bool hosted = state.range(0) == 1;
    FakeSat fake; // no script folder: the default answer echoes the session
    unsetenv("DVT_FAKE_SAT_DIR");
    auto library = MakeLibrary(hosted);
    std::string error;
    if (!library->Load(fake.LibraryPath(), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::int32_t session = 1;
    for (auto _ : state) {
        const SatArgument arguments[] = {SatArgument::Number(session++)};
        const SatLibraryAnswer answer = library->Call(SatExport::ConsultarSAT, arguments);
        benchmark::DoNotOptimize(answer.text.data());
        if (!answer.present) {
            state.SkipWithError("no answer");
            break;
        }
    }
}
BENCHMARK(BM_ConsultarSAT)->Arg(0)->Arg(1)->Iterations(1000)->Unit(benchmark::kMicrosecond);

// A 48 MiB ExtrairLogs answer, Base64 wrapped at 76 characters with CR LF.
std::filesystem::path WriteLogAnswer() {
    const auto folder =
        std::filesystem::temp_directory_path() / ("bench_host." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::mt19937 random(7);
    std::string log;
    while (log.size() < 36u * 1024 * 1024) {
        log += "20240131101500|SAT|INFO|Evento " + std::to_string(random() % 100000) +
               ": comunicação com a SEFAZ concluída\r\n";
    }
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    std::size_t column = 0;
    const auto put = [&](char c) {
        encoded.push_back(c);
        if (++column == 76) {
            encoded += "\r\n";
            column = 0;
        }
    };
    for (std::size_t i = 0; i + 2 < log.size(); i += 3) {
        const auto a = static_cast<unsigned char>(log[i]);
        const auto b = static_cast<unsigned char>(log[i + 1]);
        const auto c = static_cast<unsigned char>(log[i + 2]);
        put(kAlphabet[a >> 2]);
        put(kAlphabet[((a & 3) << 4) | (b >> 4)]);
        put(kAlphabet[((b & 15) << 2) | (c >> 6)]);
        put(kAlphabet[c & 63]);
    }
    std::ofstream(folder / "ExtrairLogs.answer", std::ios::binary)
        << "000001|15000|Transferência completa|||" << encoded;
    return folder;
}

// One extraction's CPU: this process's and the host's.
struct ExtractionCpu {
    double self = 0;
    double host = 0;
    double Total() const { return self + host; }
};

bool Extract(SatSession& session, ExtractionCpu& cpu) {
    const double selfBefore = SelfCpuMs();
    const double hostBefore = ChildrenCpuMs();
    const bool extracted = session.RunExtrairLogs();
    benchmark::DoNotOptimize(session.LastResponse.data());
    cpu.self = SelfCpuMs() - selfBefore;
    cpu.host = ChildrenCpuMs() - hostBefore;
    return extracted;
}

// The answer's folder and the sessions that extract it, as the program keeps
// them: one session, and one host, for all calls.
class LogExtraction {
public:
    LogExtraction() : folder_(WriteLogAnswer()) { setenv("DVT_FAKE_SAT_DIR", folder_.c_str(), 1); }
    ~LogExtraction() {
        sessions_.clear();
        unsetenv("DVT_FAKE_SAT_DIR");
        std::filesystem::remove_all(folder_);
    }
    LogExtraction(const LogExtraction&) = delete;
    LogExtraction& operator=(const LogExtraction&) = delete;

    // Null when the library cannot be loaded.
    SatSession* Session(bool hosted) {
        const auto settings = folder_ / (hosted ? "hosted.ini" : "in_process.ini");
        auto session = std::make_unique<SatSession>(ui_, settings.string(), fake_.LibraryPath());
        if (hosted) {
            session->UseLibraryHost(DVT_SAT_HOST);
        }
        if (!session->BindSatLibrary()) {
            return nullptr;
        }
        sessions_.push_back(std::move(session));
        return sessions_.back().get();
    }

private:
    FakeSat fake_;
    SilentUserInterface ui_;
    std::filesystem::path folder_;
    std::vector<std::unique_ptr<SatSession>> sessions_;
};

void BM_ExtrairLogs(benchmark::State& state) {
    const bool hosted = state.range(0) == 1;
    LogExtraction extraction;
    SatSession* session = extraction.Session(hosted);
    if (session == nullptr) {
        state.SkipWithError("the library was not loaded");
        return;
    }
    double self = 0;
    double host = 0;
    for (auto _ : state) {
        ExtractionCpu cpu;
        if (!Extract(*session, cpu)) {
            state.SkipWithError("the log was not extracted");
            break;
        }
        self += cpu.self;
        host += cpu.host;
    }
    const auto perCall = [&](double total) {
        return total / static_cast<double>(state.iterations());
    };
    state.counters["cpu_ms"] = perCall(self + host);
    state.counters["host_cpu_ms"] = perCall(host);
}
BENCHMARK(BM_ExtrairLogs)->Arg(0)->Arg(1)->Iterations(8)->Unit(benchmark::kMillisecond);

void BM_ExtrairLogsPaired(benchmark::State& state) {
    LogExtraction extraction;
    SatSession* inProcess = extraction.Session(false);
    SatSession* hosted = extraction.Session(true);
    if (inProcess == nullptr || hosted == nullptr) {
        state.SkipWithError("the library was not loaded");
        return;
    }
    std::vector<double> inProcessMs;
    std::vector<double> hostedMs;
    std::vector<double> hostOwnMs;
    std::vector<double> ratios;
    bool hostedFirst = false;
    for (auto _ : state) {
        ExtractionCpu local;
        ExtractionCpu remote;
        const bool extracted = hostedFirst ? Extract(*hosted, remote) && Extract(*inProcess, local)
                                           : Extract(*inProcess, local) && Extract(*hosted, remote);
        if (!extracted) {
            state.SkipWithError("the log was not extracted");
            break;
        }
        hostedFirst = !hostedFirst;
        inProcessMs.push_back(local.Total());
        hostedMs.push_back(remote.Total());
        hostOwnMs.push_back(remote.host);
        ratios.push_back(remote.Total() / local.Total());
    }
    state.counters["in_process_ms"] = Median(inProcessMs);
    state.counters["hosted_ms"] = Median(hostedMs);
    state.counters["host_cpu_ms"] = Median(hostOwnMs);
    state.counters["ratio"] = Median(ratios);
}
BENCHMARK(BM_ExtrairLogsPaired)->Iterations(16)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
