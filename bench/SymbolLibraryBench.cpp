// Library panel repaint: 60 visible symbols of 8 frames of 240 x 240 pixels, each repaint
// showing every symbol's next frame. Measured with every frame read and decoded from its
// symbol file on each repaint (no cache), with the thumbnail cache warmed up, and against a
// plain widget of the same size repainted in the same run. Thumbnails animate on a timer, so
// the goal is a repaint under 16 ms.
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/ProgramFolders.h"
#include "symbols/SymbolLibrary.h"
#include "symbols/ui/SymbolLibraryPanel.h"
#include "bench/PlainWidget.h"
#include "bench/RatioReporter.h"

#include <QApplication>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSymbols = 60;
constexpr int kFrames = 8;
constexpr int kSide = 240;
// Ten columns of six rows: every symbol visible.
const QSize kPanel(10 * 56, 6 * 56);

class SilentSink : public MessageSink {
public:
    MessageAnswer show(std::string_view, std::string_view, MessageIcon, MessageButtons) override {
        return MessageAnswer::No;
    }
};

// A painted frame: a shaded disc with a stripe that turns from frame to frame, on
// transparency (what a symbol drawn in the editor looks like to the PNG codec).
QImage paintedFrame(int symbol, int frame) {
    QImage picture(kSide, kSide, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(QPointF(90, 90), 150);
    fill.setColorAt(0, QColor::fromHsv((symbol * 37) % 360, 80, 255));
    fill.setColorAt(1, QColor::fromHsv((symbol * 37 + 60) % 360, 255, 160));
    p.setPen(QPen(Qt::black, 3));
    p.setBrush(fill);
    p.drawEllipse(QPointF(120, 120), 100, 100);
    p.translate(120, 120);
    p.rotate(frame * 45.0);
    p.setBrush(QColor(255, 255, 255, 180));
    p.drawRoundedRect(QRectF(-90, -14, 180, 28), 10, 10);
    return picture;
}

struct Library {
    QTemporaryDir root;
    ProgramFolders folders{root.path().toStdString()};
    LanguageTable texts;
    SilentSink sink;

    Library() {
        for (int s = 0; s < kSymbols; ++s) {
            std::vector<QImage> frames;
            for (int f = 0; f < kFrames; ++f)
                frames.push_back(paintedFrame(s, f));
            if (!SymbolLibrary::addSymbol(folders.actorsFolder(), frames))
                std::abort();
        }
    }
};

Library& library() {
    static Library shared;
    return shared;
}

template <typename Widget> void repaint(benchmark::State& state, Widget& widget, int warmUp) {
    widget.resize(kPanel);
    widget.show();
    QCoreApplication::processEvents();
    for (int i = 0; i < warmUp; ++i)
        widget.repaint();
    for (auto _ : state)
        widget.repaint();
}

void BM_RepaintLibraryDecodingEveryFrame(benchmark::State& state) {
    SymbolLibraryPanel panel(library().folders, library().texts, nullptr, library().sink);
    panel.library().setThumbnailCache(false);
    repaint(state, panel, 0);
}

void BM_RepaintLibraryCached(benchmark::State& state) {
    SymbolLibraryPanel panel(library().folders, library().texts, nullptr, library().sink);
    repaint(state, panel, kFrames); // every frame shown once
}

void BM_RepaintPlainWidget(benchmark::State& state) {
    PlainWidget widget;
    repaint(state, widget, 0);
}

BENCHMARK(BM_RepaintLibraryDecodingEveryFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintLibraryCached)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPlainWidget)->Unit(benchmark::kMillisecond);


} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double plain = reporter.time("BM_RepaintPlainWidget");
    const double decoding = reporter.time("BM_RepaintLibraryDecodingEveryFrame");
    const double cached = reporter.time("BM_RepaintLibraryCached");
    std::printf("\nlibrary repaint, %d symbols of %d frames of %d x %d: decoding every frame "
                "%.2f ms (%.1fx a plain widget), cached %.2f ms (%.1fx) - goal under 16 ms\n",
                kSymbols, kFrames, kSide, kSide, decoding, decoding / plain, cached,
                cached / plain);
    benchmark::Shutdown();
    return 0;
}
