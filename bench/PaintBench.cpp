// The painting canvas on a 1000 x 1000 picture: a 300-point brush stroke of size 20 (every
// third move draws all points again), a flood fill of the whole picture, and PushState of the
// picture into the canvas journal, against writing the same bytes to a file (the baseline).
// Prints each benchmark's time as a ratio to the baseline at the end, with the goals.
#include "symbols/CanvasJournal.h"
#include "symbols/FloodFill.h"
#include "symbols/JournalRecord.h"
#include "symbols/PaintCanvas.h"
#include "bench/RatioReporter.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kSide = 1000;
constexpr int kStrokePoints = 300;

struct Fixture {
    QTemporaryDir root;
    ProgramFolders folders{root.path().toStdString()};
    QImage picture{kSide, kSide, QImage::Format_ARGB32};

    Fixture() {
        for (int y = 0; y < kSide; ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < kSide; ++x)
                row[x] = qRgba(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF, 255);
        }
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

// The same bytes as one journal record, written to a new file in the same folder (the old one
// is removed outside the timing, as the journal's reset is below).
void BM_RawWriteOfTheRecordBytes(benchmark::State& state) {
    Fixture& f = fixture();
    const QString path = QString::fromStdString(f.folders.dataFolder() + "raw.bin");
    const QByteArray header(int(JournalRecord::kHeaderSize), '\0');
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        file.write(header);
        file.write(reinterpret_cast<const char*>(f.picture.constBits()), f.picture.sizeInBytes());
    }
}

// The first record after a reset: create the journal and append.
void BM_PushStateFirstRecord(benchmark::State& state) {
    Fixture& f = fixture();
    CanvasJournal journal(f.folders);
    for (auto _ : state) {
        state.PauseTiming();
        journal.ResetJournal();
        state.ResumeTiming();
        if (!journal.PushState(f.picture))
            state.SkipWithError("push failed");
    }
}

// A full journal (four 4 MB records pass the 12 MB bound): every push first copies the three
// newest records to the scratch file, then appends.
void BM_PushStateAtTheSizeBound(benchmark::State& state) {
    Fixture& f = fixture();
    CanvasJournal journal(f.folders);
    for (int i = 0; i < 4; ++i)
        journal.PushState(f.picture);
    for (auto _ : state) {
        if (!journal.PushState(f.picture))
            state.SkipWithError("push failed");
    }
}

void BM_FloodFillWholePicture(benchmark::State& state) {
    QImage picture(kSide, kSide, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 20, 30, 255));
    int i = 0;
    for (auto _ : state) {
        // Alternate two colours far apart: every pixel is replaced each time.
        const int replaced = FloodFill::apply(picture, QPoint(5, 5), ++i % 2 ? 0xFF8040 : 0x1E140A);
        benchmark::DoNotOptimize(replaced);
    }
}

void BM_BrushStroke300Points(benchmark::State& state) {
    Fixture& f = fixture();
    PaintCanvas canvas(f.folders);
    canvas.applyToolChange({20, PenShape::Round, PaintTool::Brush, FillType::Solid, 0x2F7FD8});
    QImage blank(kSide, kSide, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    for (auto _ : state) {
        state.PauseTiming();
        canvas.setPicture(blank);
        state.ResumeTiming();
        // A loose spiral over the picture.
        for (int i = 0; i < kStrokePoints; ++i) {
            const double t = i * 0.05;
            const QPoint point(500 + int(std::cos(t) * (100 + i)),
                               500 + int(std::sin(t) * (100 + i)));
            canvas.pointer(i == 0 ? PointerAction::Press : PointerAction::Move, point);
        }
        canvas.pointer(PointerAction::Release, QPoint());
    }
}

BENCHMARK(BM_RawWriteOfTheRecordBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PushStateFirstRecord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PushStateAtTheSizeBound)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FloodFillWholePicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BrushStroke300Points)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Each benchmark's real time in milliseconds and as a ratio to the raw write.
    const double baseline = reporter.time("BM_RawWriteOfTheRecordBytes/real_time");
    if (baseline > 0) {
        std::printf("\nRatio to writing the 4 MB record's bytes raw (%.2f ms):\n", baseline);
        for (const char* name :
             {"BM_BrushStroke300Points", "BM_FloodFillWholePicture", "BM_PushStateAtTheSizeBound",
              "BM_PushStateFirstRecord", "BM_RawWriteOfTheRecordBytes"}) {
            const std::string run = std::string(name) + "/real_time";
            const double time = reporter.time(run);
            std::printf("  %-40s %9.2f ms %8.2f\n", run.c_str(), time, time / baseline);
        }
        std::printf("Goals: PushStateFirstRecord within 2.0 of the raw write; flood fill under "
                    "10 ms; the brush stroke under 1000 ms.\n");
    }
    benchmark::Shutdown();
    return 0;
}
