// The window while the device takes 5 s to answer "Consulta SAT" (btn_01 of
// the queries page): every frame the busy wheel paints is timed, and the
// longest gap between two frames is reported (longest_gap_ms; the wheel
// steps every 80 ms, so anything near that means the window's thread never
// stalled). frames counts the wheel's paints during the call.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

#include "bench/widget_benchmark_main.h"
#include "sat/un_global.h"
#include "tests/fake_sat/fake_sat_control.h"
#include "ui/busy_wheel.h"
#include "ui/main_window.h"
#include "ui/page_set.h"
#include "ui/pages/queries_page.h"
#include "ui/wait_panel.h"

namespace {

constexpr int kCallMs = 5000;

// The window without dialogs: the outcome dialog would wait for a person.
class SilentWindow : public TFprincipal {
public:
    using TFprincipal::TFprincipal;
    int ShowMessageDialog(const std::string&) override { return 1; }
};

// Notes the time of every paint of the watched widget.
class FrameClock : public QObject {
public:
    explicit FrameClock(const QElapsedTimer& clock) : clock_(clock) {}
    std::vector<qint64> frames;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            frames.push_back(clock_.elapsed());
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
};

void BM_WheelDuringFiveSecondCall(benchmark::State& state) {
    FakeSat fake;
    QTemporaryDir folder;
    TFprincipal::Options options;
    options.showSplash = false;
    options.satLibraryPath = fake.LibraryPath();
    options.libraryInProcess = true;
    options.settingsFilePath = folder.filePath(QStringLiteral("dravovexa.ini")).toStdString();
    SilentWindow window(options);
    window.Timer1->stop(); // no page reset in the middle of a run
    window.show();
    window.Session().BindSatLibrary();
    window.PC->setCurrentIndex(TFprincipal::kPagesSheet);
    window.AdvPolyPager1->SetActivePageIndex(4);
    QApplication::processEvents();
    fake.SetDelay("ConsultarSAT", kCallMs);

    qint64 longestGap = 0;
    std::size_t frames = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        FrameClock frameClock(clock);
        window.AguardeGenPnl->gen_indicador->installEventFilter(&frameClock);
        window.AdvPolyPage5->btn_01Click();
        window.AguardeGenPnl->gen_indicador->removeEventFilter(&frameClock);
        // Only the frames of the call: the first paint comes with the panel.
        for (std::size_t i = 1; i < frameClock.frames.size(); ++i) {
            longestGap = std::max(longestGap, frameClock.frames[i] - frameClock.frames[i - 1]);
        }
        frames += frameClock.frames.size();
    }
    state.counters["longest_gap_ms"] = static_cast<double>(longestGap);
    state.counters["frames"] =
        static_cast<double>(frames) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WheelDuringFiveSecondCall)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
