// From the SAT library's answer to the text shown: a 32 MB log extracted with
// "Extrair Logs" (btn_04) on the queries page, against the fake SAT library
// that answers at once. The whole button is timed, decoding and display, and
// then each half on its own: the operation (Base64 and code page decoding
// into LastResponse) and the memo (append and the first paint), and the
// memo's rows laid out again for a new width. The whole button runs too on
// logs of 1 to 64 MiB, to show its cost grows in line with the size. Memory is
// the process's resident set (Linux): its peak during the button over the
// answer's size, and what stays held once a small query has replaced the log.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "bench/widget_benchmark_main.h"
#include "dialogs/Yancomp.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/network_page.h"
#include "ui/pages/queries_page.h"
#include "ui/result_memo.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// The window without dialogs: the outcome dialog would wait for a person.
class SilentWindow : public TFprincipal {
public:
    using TFprincipal::TFprincipal;
    int ShowMessageDialog(const std::string&) override { return 1; }
};

// A device log of `size` bytes in the common form, one event per line.
std::string DeviceLog(std::size_t size) {
    std::mt19937 random(7);
    std::string log;
    log.reserve(size + 128);
    while (log.size() < size) {
        const unsigned event = random() % 100000;
        log += "20240131" + std::to_string(100000 + event % 900000) + "|SAT|info|Evento " +
               std::to_string(event) +
               ": comunicação com a SEFAZ concluída, documentos transmitidos\n";
    }
    log.resize(size);
    return log;
}

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

struct Fixture {
    Fixture() {
        TFprincipal::Options options;
        options.showSplash = false;
        options.satLibraryPath = fake.LibraryPath();
        options.libraryInProcess = true;
        options.settingsFilePath = folder.filePath(QStringLiteral("dravovexa.ini")).toStdString();
        window = std::make_unique<SilentWindow>(options);
        window->show();
        // No page reset in the middle of a run: showing the window arms it.
        window->Timer1->stop();
        // The queries page on screen, so its memo has its real width and
        // paints.
        window->PC->setCurrentIndex(TFprincipal::kPagesSheet);
        window->AdvPolyPager1->SetActivePageIndex(4);
        window->Session().BindSatLibrary();
        window->AdvPolyPage1->rede_status_sat->setCurrentIndex(TNetworkPage::kAtivado);
        window->AdvPolyPage1->rede_status_sat_ativacao->setText(QStringLiteral("12345678"));
        answerMiB = SetLog(32 * kMiB);
        QApplication::processEvents();
        if (!Page().memo_retorno->isVisible()) {
            qFatal("the queries page's memo is not on screen");
        }
    }

    // The library's answer to "Extrair Logs" becomes a log of logBytes; its
    // size in MiB.
    double SetLog(std::size_t logBytes) {
        const std::string answer =
            "000001|15000|Transferência completa|||" +
            QByteArray::fromStdString(DeviceLog(logBytes)).toBase64().toStdString();
        fake.SetAnswer("ExtrairLogs", answer);
        return static_cast<double>(answer.size()) / kMiB;
    }

    TQueriesPage& Page() const { return *window->AdvPolyPage5; }

    // Paints the memo now, as the screen would show it.
    void Show() const {
        Page().memo_retorno->viewport()->repaint();
        QApplication::processEvents();
    }

    FakeSat fake;
    QTemporaryDir folder;
    std::unique_ptr<SilentWindow> window;
    double answerMiB = 0;
};

// Made in main() after the application and gone before it: widgets must not
// outlive QApplication.
std::unique_ptr<Fixture> gFixture;

// First, while the library holds no log yet. Memory after the log, once a small query has cleared the memo and
// replaced LastResponse: compared with the idle process plus the answer the
// library still holds.
void BM_MemoryAfterSmallQuery(benchmark::State& state) {
    Fixture& f = *gFixture;
    f.Page().memo_retorno->clear();
    f.window->Session().RunConsultarSAT();
    const double idle = StatusMiB("VmRSS");
    double held = 0;
    for (auto _ : state) {
        f.Page().btn_04Click();
        f.Show();
        f.Page().btn_01Click();
        f.Show();
        held = StatusMiB("VmRSS");
    }
    state.counters["idle_MiB"] = idle;
    state.counters["after_small_query_MiB"] = held;
    state.counters["over_idle_plus_answer"] = held / (idle + f.answerMiB);
}
BENCHMARK(BM_MemoryAfterSmallQuery)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExtrairLogsButton32MB(benchmark::State& state) {
    Fixture& f = *gFixture;
    double peakOverIdle = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.Page().memo_retorno->clear();
        const double idle = StatusMiB("VmRSS");
        ResetPeak();
        state.ResumeTiming();
        f.Page().btn_04Click();
        f.Show();
        peakOverIdle = std::max(peakOverIdle, StatusMiB("VmHWM") - idle);
    }
    state.counters["memo_lines"] = f.Page().memo_retorno->LineCount();
    state.counters["answer_MiB"] = f.answerMiB;
    state.counters["peak_over_idle_x_answer"] = peakOverIdle / f.answerMiB;
}
BENCHMARK(BM_ExtrairLogsButton32MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExtrairLogsOperation32MB(benchmark::State& state) {
    Fixture& f = *gFixture;
    for (auto _ : state) {
        f.window->Session().RunExtrairLogs();
        benchmark::DoNotOptimize(f.window->Session().LastResponse.data());
    }
}
BENCHMARK(BM_ExtrairLogsOperation32MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MemoAppendAndPaint32MB(benchmark::State& state) {
    Fixture& f = *gFixture;
    f.window->Session().RunExtrairLogs();
    const std::string result = f.window->Session().LastResponse;
    for (auto _ : state) {
        state.PauseTiming();
        f.Page().memo_retorno->clear();
        state.ResumeTiming();
        f.Page().AppendRetorno(result);
        f.Show();
    }
}
BENCHMARK(BM_MemoAppendAndPaint32MB)->Unit(benchmark::kMillisecond)->Iterations(5);

// The 32 MB log's rows counted again for a memo a few characters narrower or
// wider, and painted.
void BM_MemoNewWidth32MB(benchmark::State& state) {
    Fixture& f = *gFixture;
    TResultMemo& memo = *f.Page().memo_retorno;
    memo.clear();
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
BENCHMARK(BM_MemoNewWidth32MB)->Unit(benchmark::kMillisecond)->Iterations(10);

// The whole button, the operation alone and the memo alone on logs of 1 to
// 64 MiB: the time per MiB of answer should stay about the same.
enum class Part { kWholeButton, kOperation, kMemo };

void ExtrairLogsBySize(benchmark::State& state, Part part) {
    Fixture& f = *gFixture;
    f.Page().memo_retorno->clear();
    const double answerMiB = f.SetLog(static_cast<std::size_t>(state.range(0)) * kMiB);
    std::string result;
    if (part == Part::kMemo) {
        f.window->Session().RunExtrairLogs();
        result = f.window->Session().LastResponse;
    }
    for (auto _ : state) {
        state.PauseTiming();
        f.Page().memo_retorno->clear();
        state.ResumeTiming();
        if (part == Part::kWholeButton) {
            f.Page().btn_04Click();
            f.Show();
        } else if (part == Part::kOperation) {
            f.window->Session().RunExtrairLogs();
        } else {
            f.Page().AppendRetorno(result);
            f.Show();
        }
    }
    state.counters["answer_MiB"] = answerMiB;
    state.counters["per_answer_MiB"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * answerMiB,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    f.answerMiB = f.SetLog(32 * kMiB);
}
BENCHMARK_CAPTURE(ExtrairLogsBySize, Button, Part::kWholeButton)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(4)
    ->Range(1, 64)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExtrairLogsBySize, Operation, Part::kOperation)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(4)
    ->Range(1, 64)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(ExtrairLogsBySize, Memo, Part::kMemo)
    ->Unit(benchmark::kMillisecond)
    ->RangeMultiplier(4)
    ->Range(1, 64)
    ->Iterations(3)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(
        argc, argv, [] { gFixture = std::make_unique<Fixture>(); }, [] { gFixture.reset(); });
}
