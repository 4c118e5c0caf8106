// From the SAT library's answer to the text shown: a 32 MB log extracted with
// "Extrair Logs" (btn_04) on the queries page, against the fake SAT library
// that answers at once. The whole button is timed, decoding and display, and
// then each half on its own: the operation (copy, Base64 and code page
// decoding into LastResponse) and the memo (append and the first paint).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <random>
#include <string>

#include "dialogs/Yancomp.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/network_page.h"
#include "ui/pages/queries_page.h"

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

struct Fixture {
    Fixture() {
        TFprincipal::Options options;
        options.showSplash = false;
        options.satLibraryPath = fake.LibraryPath();
        options.settingsFilePath = folder.filePath(QStringLiteral("dravovexa.ini")).toStdString();
        window = std::make_unique<SilentWindow>(options);
        window->Timer1->stop(); // no page reset in the middle of a run
        window->show();
        window->AdvPolyPager1->SetActivePageIndex(4);
        window->Session().BindSatLibrary();
        window->AdvPolyPage1->rede_status_sat->setCurrentIndex(TNetworkPage::kAtivado);
        window->AdvPolyPage1->rede_status_sat_ativacao->setText(QStringLiteral("12345678"));
        const std::string log = DeviceLog(32 * kMiB);
        fake.SetAnswer("ExtrairLogs", "000001|15000|Transferência completa|||" +
                                          QByteArray::fromStdString(log).toBase64().toStdString());
        QApplication::processEvents();
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
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_ExtrairLogsButton32MB(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        f.Page().btn_04Click();
        f.Show();
    }
    state.counters["memo_MB"] =
        static_cast<double>(f.Page().memo_retorno->document()->characterCount()) / kMiB;
    state.counters["paragraphs"] = f.Page().memo_retorno->document()->blockCount();
}
BENCHMARK(BM_ExtrairLogsButton32MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExtrairLogsOperation32MB(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        f.window->Session().RunExtrairLogs();
        benchmark::DoNotOptimize(f.window->Session().LastResponse.data());
    }
}
BENCHMARK(BM_ExtrairLogsOperation32MB)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MemoAppendAndPaint32MB(benchmark::State& state) {
    Fixture& f = Shared();
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
