// What the library host costs beside the in-process call, on the same fake
// library and the same calls:
//   BM_ConsultarSAT/0 in process, /1 through the host: one ConsultarSAT per
//     iteration, 1,000 iterations, the session number varying;
//   BM_ExtrairLogs/0 and /1: a whole log extraction (call and decoding) of a
//     48 MiB answer, one session (and one host) for all calls; the counter
//     cpu_ms is this process's CPU plus the host's (host_cpu_ms, from /proc).

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "sat/library_access.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"

namespace {

class SilentUserInterface : public SatUserInterface {
public:
    int ShowMessageDialog(const std::string&) override { return 1; }
    void FechaAguarde() override {}
};

double CpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// CPU of this process's living children (the library host), from
// /proc/<pid>/stat: a host that lives across calls, as in the program.
double ChildrenCpuMs() {
    double total = 0;
    const long ticks = sysconf(_SC_CLK_TCK);
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream children(task.path() / "children");
        int pid = 0;
        while (children >> pid) {
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string line;
            std::getline(stat, line);
            // Fields after the command's closing parenthesis: state is field 3,
            // utime 14 and stime 15.
            std::istringstream rest(line.substr(line.rfind(')') + 2));
            std::string field;
            double utime = 0;
            double stime = 0;
            for (int i = 3; i <= 15 && rest >> field; ++i) {
                if (i == 14) {
                    utime = std::stod(field);
                } else if (i == 15) {
                    stime = std::stod(field);
                }
            }
            total += (utime + stime) * 1000.0 / static_cast<double>(ticks);
        }
    }
    return total;
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

void BM_ExtrairLogs(benchmark::State& state) {
    const bool hosted = state.range(0) == 1;
    FakeSat fake;
    const std::filesystem::path folder = WriteLogAnswer();
    setenv("DVT_FAKE_SAT_DIR", folder.c_str(), 1);
    SilentUserInterface ui;
    // One session and one host for all calls, as the program keeps them.
    SatSession session(ui, (folder / "dravovexa.ini").string(), fake.LibraryPath());
    if (hosted) {
        session.UseLibraryHost(DVT_SAT_HOST);
    }
    if (!session.BindSatLibrary()) {
        state.SkipWithError("the library was not loaded");
        return;
    }
    double self = 0;
    double host = 0;
    for (auto _ : state) {
        const double selfBefore = CpuMs(RUSAGE_SELF);
        const double hostBefore = ChildrenCpuMs();
        if (!session.RunExtrairLogs()) {
            state.SkipWithError("the log was not extracted");
            break;
        }
        benchmark::DoNotOptimize(session.LastResponse.data());
        self += CpuMs(RUSAGE_SELF) - selfBefore;
        host += ChildrenCpuMs() - hostBefore;
    }
    const auto perCall = [&](double total) {
        return total / static_cast<double>(state.iterations());
    };
    state.counters["cpu_ms"] = perCall(self + host);
    state.counters["host_cpu_ms"] = perCall(host);
    unsetenv("DVT_FAKE_SAT_DIR");
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExtrairLogs)->Arg(0)->Arg(1)->Iterations(8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
