// "Extrair Logs" (btn_04) on the queries page with a 32 MiB device log: from
// the click to the log painted in memo_retorno, paired with the SAT library's
// call alone (the ExtrairLogs export called directly, nothing decoded).
// The library is our emulator, whose answer is built from the device's event
// log; DVT_BENCH_LIBRARY=fake takes the tests' fake library, whose answer is
// ready before the call.
//
// Every figure counts the whole process: CPU time of all its threads (the
// library thread included) from CLOCK_PROCESS_CPUTIME_ID, and its resident
// memory (Linux). Each round starts from cold memory: the memo emptied, the
// library's big answer replaced by a small one, and the freed memory handed
// back to the system, so the click pays its page faults as a real one does.
// Memory while shown is the resident set over that idle state, the library's
// copy of the answer included, against the answer's size.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/device_log.h"
#include "bench/widget_benchmark_main.h"
#include "dialogs/Yancomp.h"
#include "sat/platform/dynamic_library.h"
#include "sat/un_funcoes_dll.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/network_page.h"
#include "ui/pages/queries_page.h"
#include "ui/result_memo.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr char kCode[] = "12345678";

// The window without dialogs: the outcome dialog would wait for a person.
class SilentWindow : public TFprincipal {
public:
    using TFprincipal::TFprincipal;
    int ShowMessageDialog(const std::string&) override { return 1; }
};

// A value of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMiB(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::stod(line.substr(key.size() + 1)) / 1024.0;
        }
    }
    return 0;
}

// Starts a new peak: VmHWM drops to the current resident set.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Page faults the process has taken so far (first touches of memory).
double MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt);
}

double WallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Fixture {
    Fixture() {
        const bool useFake = qEnvironmentVariable("DVT_BENCH_LIBRARY") == QStringLiteral("fake");
        TFprincipal::Options options;
        options.showSplash = false;
        // The library is loaded into the benchmark's own process, so that the
        // process's CPU clock counts the call, the decoding and the painting.
        options.libraryInProcess = true;
        options.settingsFilePath = folder.filePath(QStringLiteral("dravovexa.ini")).toStdString();
        if (useFake) {
            fake = std::make_unique<FakeSat>();
            options.satLibraryPath = fake->LibraryPath();
        } else {
            // A developer kit of its own, in the benchmark's folder.
            statePath = folder.filePath(QStringLiteral("state.txt")).toStdString();
            qputenv("DVT_SAT_STATE", QByteArray::fromStdString(statePath));
            qputenv("DVT_SAT_MODE", "kit");
            options.satLibraryPath = DVT_EMULATOR_LIBRARY;
        }
        // The same file the window loads: the same handle, the same device.
        const platform::LibraryLoadResult library =
            platform::LoadLibraryByPath(options.satLibraryPath);
        extrairLogs = reinterpret_cast<ExtrairLogsFn>(
            platform::FindLibraryExport(library.handle, "ExtrairLogs"));
        if (extrairLogs == nullptr) {
            qFatal("the SAT library has no ExtrairLogs");
        }
        window = std::make_unique<SilentWindow>(options);
        window->show();
        // No page reset in the middle of a run: showing the window arms it.
        window->Timer1->stop();
        // The queries page on screen, so its memo has its real width and
        // paints.
        window->PC->setCurrentIndex(TFprincipal::kPagesSheet);
        window->AdvPolyPager1->SetActivePageIndex(4);
        if (!window->Session().BindSatLibrary() || !window->Session().RunConsultarSAT()) {
            qFatal("the SAT library does not answer");
        }
        window->AdvPolyPage1->rede_status_sat->setCurrentIndex(TNetworkPage::kAtivado);
        window->AdvPolyPage1->rede_status_sat_ativacao->setText(QString::fromLatin1(kCode));
        SetLog(32 * kMiB);
        QApplication::processEvents();
        if (!Page().memo_retorno->isVisible()) {
            qFatal("the queries page's memo is not on screen");
        }
    }

    // The device's log becomes `logBytes` of events; answerMiB its answer's
    // size.
    void SetLog(std::size_t logBytes) {
        const std::string log = DeviceLog(logBytes);
        const std::string encoded = QByteArray::fromStdString(log).toBase64().toStdString();
        if (fake) {
            fake->SetAnswer("ExtrairLogs", "000001|15000|Transferência completa|||" + encoded);
        } else {
            std::ofstream(statePath + ".log", std::ios::binary | std::ios::trunc) << log;
        }
        answerMiB = static_cast<double>(encoded.size() + 40) / kMiB;
        logMiB = static_cast<double>(log.size()) / kMiB;
    }

    TQueriesPage& Page() const { return *window->AdvPolyPage5; }

    // Paints the memo now, as the screen would show it.
    void Show() const {
        Page().memo_retorno->viewport()->repaint();
        QApplication::processEvents();
    }

    // Memory as cold as a click finds it: nothing shown, the library holding
    // a small answer, freed memory given back.
    void ColdMemory() const {
        Page().memo_retorno->clear();
        window->Session().RunConsultarSAT();
        std::string().swap(window->Session().LastResponse);
        malloc_trim(0);
    }

    // The ExtrairLogs export called alone, on the thread the window calls
    // the library from; the answer is not read.
    void CallLibraryAlone() const {
        SatSession& session = window->Session();
        session.NextSessionNumber();
        const ExtrairLogsFn entry = extrairLogs;
        const int number = session.SessionNumber;
        window->RunLibraryCall([&] { benchmark::DoNotOptimize(entry(number, kCode)); });
    }

    QTemporaryDir folder;
    std::unique_ptr<FakeSat> fake;
    std::string statePath;
    ExtrairLogsFn extrairLogs = nullptr;
    std::unique_ptr<SilentWindow> window;
    double answerMiB = 0;
    double logMiB = 0;
};

// Made in main() after the application and gone before it: widgets must not
// outlive QApplication.
std::unique_ptr<Fixture> gFixture;

// Click to painted against the library's call alone, in alternating order,
// each from cold memory. Times are process CPU (all threads); the ratio is
// of the medians. Memory: the peak during the click and what stays resident
// while the log is shown, over the idle process, against the answer's size.
void BM_ClickAgainstCallPaired(benchmark::State& state) {
    Fixture& f = *gFixture;
    // The three arms: the call alone, the operation (the call and the
    // answer decoded into LastResponse, nothing shown), the whole click.
    enum Arm { kCall, kOperation, kClick, kArms };
    std::vector<double> cpu[kArms];
    std::vector<double> wall[kArms];
    std::vector<double> faults[kArms];
    std::vector<double> peak;
    std::vector<double> shown;
    int memoLines = 0;
    int first = 0;
    for (auto _ : state) {
        for (int step = 0; step < kArms; ++step) {
            const int arm = (first + step) % kArms;
            f.ColdMemory();
            const double idle = StatusMiB("VmRSS");
            ResetPeak();
            const double cpu0 = ProcessCpuSeconds();
            const double wall0 = WallSeconds();
            const double faults0 = MinorFaults();
            if (arm == kCall) {
                f.CallLibraryAlone();
            } else if (arm == kOperation) {
                f.window->Session().RunExtrairLogs();
            } else {
                f.Page().btn_04Click();
                f.Show();
            }
            cpu[arm].push_back(ProcessCpuSeconds() - cpu0);
            wall[arm].push_back(WallSeconds() - wall0);
            faults[arm].push_back(MinorFaults() - faults0);
            if (arm == kClick) {
                peak.push_back(StatusMiB("VmHWM") - idle);
                shown.push_back(StatusMiB("VmRSS") - idle);
                memoLines = f.Page().memo_retorno->LineCount();
            }
        }
        first = (first + 1) % kArms; // each arm takes each place in turn
    }
    const std::vector<double>& callCpu = cpu[kCall];
    const std::vector<double>& clickCpu = cpu[kClick];
    const std::vector<double>& callWall = wall[kCall];
    const std::vector<double>& clickWall = wall[kClick];
    state.counters["operation_cpu_ms"] = Median(cpu[kOperation]) * 1000;
    state.counters["operation_x_call_cpu"] = Median(cpu[kOperation]) / Median(callCpu);
    state.counters["log_MiB"] = f.logMiB;
    state.counters["answer_MiB"] = f.answerMiB;
    state.counters["call_cpu_ms"] = Median(callCpu) * 1000;
    state.counters["click_cpu_ms"] = Median(clickCpu) * 1000;
    state.counters["click_x_call_cpu"] = Median(clickCpu) / Median(callCpu);
    state.counters["call_wall_ms"] = Median(callWall) * 1000;
    state.counters["click_wall_ms"] = Median(clickWall) * 1000;
    state.counters["click_x_call_wall"] = Median(clickWall) / Median(callWall);
    state.counters["peak_x_answer"] = Median(peak) / f.answerMiB;
    state.counters["shown_x_answer"] = Median(shown) / f.answerMiB;
    state.counters["memo_lines"] = memoLines;
    state.counters["call_faults"] = Median(faults[kCall]);
    state.counters["operation_faults"] = Median(faults[kOperation]);
    state.counters["click_faults"] = Median(faults[kClick]);
}
BENCHMARK(BM_ClickAgainstCallPaired)->Unit(benchmark::kMillisecond)->Iterations(15);

// The 32 MiB log's rows counted again for a memo a few characters narrower or
// wider, and painted.
void BM_MemoNewWidth32MB(benchmark::State& state) {
    Fixture& f = *gFixture;
    TResultMemo& memo = *f.Page().memo_retorno;
    f.ColdMemory();
    f.Page().btn_04Click();
    f.Show();
    const QSize size = memo.size();
    state.counters["memo_columns"] = memo.Columns();
    bool narrow = false;
    for (auto _ : state) {
        narrow = !narrow;
        memo.resize(size.width() - (narrow ? 40 : 0), size.height());
        f.Show();
    }
    memo.resize(size);
    state.counters["memo_rows"] = memo.RowCount();
}
BENCHMARK(BM_MemoNewWidth32MB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The whole click on logs of 1 to 64 MiB, from cold memory: the time per MiB
// of answer should stay about the same.
void ExtrairLogsBySize(benchmark::State& state) {
    Fixture& f = *gFixture;
    f.SetLog(static_cast<std::size_t>(state.range(0)) * kMiB);
    for (auto _ : state) {
        state.PauseTiming();
        f.ColdMemory();
        state.ResumeTiming();
        f.Page().btn_04Click();
        f.Show();
    }
    state.counters["answer_MiB"] = f.answerMiB;
    state.counters["per_answer_MiB"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * f.answerMiB,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    f.SetLog(32 * kMiB);
}
BENCHMARK(ExtrairLogsBySize)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(4)
    ->Range(1, 64)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(
        argc, argv, [] { gFixture = std::make_unique<Fixture>(); }, [] { gFixture.reset(); });
}
