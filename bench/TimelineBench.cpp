// Timeline repaint: 200 layers of 5 objects each over 2000 frames, 1920 pixels wide (the
// timeline strip of a full-HD window), against a plain widget of the same size repainted in
// the same run. Scrubbing repaints on every mouse move; the goal is under 8 ms.
#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "document/ui/TimelinePanel.h"

#include <QApplication>

#include "bench/PlainWidget.h"
#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

constexpr int kLayers = 200;
constexpr int kObjectsPerLayer = 5;
constexpr int kFrames = 2000;

// Opens a project made in place (no snapshot per object): each layer holds five spans of 400
// frames, every other one with a motion.
void buildTimeline(ProjectEditor& editor) {
    Project project = Project::create();
    project.header.duration = kFrames;
    project.header.width = 640;
    project.header.height = 480;
    for (int k = 0; k < kLayers; ++k) {
        for (int n = 0; n < kObjectsPerLayer; ++n) {
            AnimationObject object =
                AnimationObject::makeSymbolObject(QSize(32, 32), project.header);
            object.record.startFrame = object.record.motionStartFrame = n * 400;
            object.record.endFrame = object.record.motionEndFrame = n * 400 + 390;
            object.record.motionKind = n % 2 ? kLinerMotion : kNoMotion;
            object.record.selected = k == 3 && n == 2;
            if (n == 0) {
                project.appendLayer(std::move(object), SymbolId{}, "Layer " + std::to_string(k));
            } else {
                project.objects.append(std::move(object));
                project.symbolIds.append(SymbolId{});
                ++project.layerCounts[static_cast<std::uint32_t>(k)];
            }
        }
    }
    editor.openLoaded(std::move(project), EmbeddedSymbolList());
}

template <typename Widget> void repaint(benchmark::State& state, Widget& widget) {
    widget.resize(1920, 360);
    widget.show();
    QCoreApplication::processEvents();
    for (auto _ : state)
        widget.repaint();
}

void BM_RepaintTimeline(benchmark::State& state) {
    Document document;
    ProjectEditor editor(document);
    buildTimeline(editor);
    TimelinePanel panel(editor, nullptr);
    panel.setRulerLength(kFrames);
    panel.model().setScroll(4000, 26 * 50); // somewhere in the middle
    repaint(state, panel);
}

void BM_RepaintPlainWidget(benchmark::State& state) {
    PlainWidget widget;
    repaint(state, widget);
}

BENCHMARK(BM_RepaintTimeline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPlainWidget)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double timeline = reporter.time("BM_RepaintTimeline");
    std::printf("\ntimeline repaint, %d layers x %d objects over %d frames at 1920 pixels: %.2f ms"
                " (%.1fx a plain widget) - goal under 8 ms\n",
                kLayers, kObjectsPerLayer, kFrames, timeline,
                timeline / reporter.time("BM_RepaintPlainWidget"));
    benchmark::Shutdown();
    return 0;
}
