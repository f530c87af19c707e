// The application window: start-up to the first painted main window (empty library, a fresh
// program folder), and one repaint of the whole window at 1920 x 1080, each against a baseline
// in the same run: a plain widget of the same size shown and painted by the same Qt platform.
// Goals: start-up under 400 ms, a full repaint under 8 ms.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "stage/ui/StageView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "bench/PlainWidget.h"
#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void showAndWaitForPaint(QWidget& widget) {
    PaintCounter counter;
    widget.installEventFilter(&counter);
    widget.show();
    while (counter.paints == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    widget.removeEventFilter(&counter);
}

void BM_StartMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir root;
        state.ResumeTiming();
        Application application(ProgramFolders(root.path().toStdString()));
        MainWindow window(application);
        showAndWaitForPaint(window);
        state.PauseTiming();
        window.hide();
        window.stage().worker().stop();
        state.ResumeTiming();
    }
}

void BM_StartPlainWidget(benchmark::State& state) {
    for (auto _ : state) {
        PlainWidget widget;
        widget.resize(1100, 760);
        showAndWaitForPaint(widget);
    }
}

template <typename Window> void repaintAt1080(benchmark::State& state, Window& window) {
    window.resize(1920, 1080);
    showAndWaitForPaint(window);
    for (auto _ : state)
        window.repaint(); // paints synchronously: the whole window, every child
}

void BM_RepaintMainWindow(benchmark::State& state) {
    QTemporaryDir root;
    Application application(ProgramFolders(root.path().toStdString()));
    MainWindow window(application);
    repaintAt1080(state, window);
}

void BM_RepaintPlainWidget(benchmark::State& state) {
    PlainWidget widget;
    repaintAt1080(state, widget);
}

BENCHMARK(BM_StartMainWindow)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartPlainWidget)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RepaintMainWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPlainWidget)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double start = reporter.time("BM_StartMainWindow/iterations:10");
    const double repaint = reporter.time("BM_RepaintMainWindow");
    std::printf("\nstart-up to the first painted main window: %.1f ms (%.1fx a plain widget)"
                " - goal under 400 ms\n",
                start, start / reporter.time("BM_StartPlainWidget/iterations:10"));
    std::printf("repaint of the whole window at 1920 x 1080: %.2f ms (%.1fx a plain widget)"
                " - goal under 8 ms\n",
                repaint, repaint / reporter.time("BM_RepaintPlainWidget"));
    benchmark::Shutdown();
    return 0;
}
