// Save and load of a project holding 50 MB of symbol pictures, against copying the same file
// with the operating system (the baseline). Prints each benchmark's time as a ratio to the
// copy at the end; the goal is to stay within 2x.
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"
#include "document/ProjectWriter.h"
#include "document/SymbolId.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

namespace {

constexpr int kFrames = 50;
constexpr int kSide = 512; // 512 x 512 x 4 bytes = 1 MiB per picture, 50 MiB in all

struct Fixture {
    QTemporaryDir folder;
    Project project = Project::unnamed("Bench");
    EmbeddedSymbolList symbols;
    std::string file;
    std::string copy;

    Fixture() {
        EmbeddedSymbol symbol;
        symbol.id = SymbolId::create();
        for (int f = 0; f < kFrames; ++f) {
            QImage frame(kSide, kSide, QImage::Format_ARGB32);
            for (int y = 0; y < kSide; ++y) {
                auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
                for (int x = 0; x < kSide; ++x)
                    row[x] = qRgba(x + f, y, x ^ y, 255 - f);
            }
            symbol.frames.append(frame);
        }
        AnimationObject object =
            AnimationObject::makeSymbolObject(QSize(kSide, kSide), project.header);
        project.appendLayer(object, symbol.id, "Symbol 1");
        symbols.records.append(std::move(symbol));
        file = folder.path().toStdString() + "/Bench.vrn";
        copy = folder.path().toStdString() + "/Copy.vrn";
        ProjectStore::writeFile(file, project, symbols);
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(std::filesystem::file_size(fixture().file)));
}

void BM_CopyFileWithTheOs(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        std::filesystem::copy_file(f.file, f.copy,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    setBytes(state);
}

void BM_SaveProject(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(ProjectStore::writeFile(f.copy, f.project, f.symbols));
    setBytes(state);
}

// The save without the temporary file, sync and rename: the cost of the format itself.
void BM_WriteProjectWithoutSync(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile out(QString::fromStdString(f.copy));
        out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        benchmark::DoNotOptimize(ProjectWriter::write(out, f.project, f.symbols));
    }
    setBytes(state);
}

void BM_LoadProject(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        QFile in(QString::fromStdString(f.file));
        in.open(QIODevice::ReadOnly);
        std::optional<LoadedProject> loaded = ProjectReader::read(in);
        if (!loaded) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded);
    }
    setBytes(state);
}

BENCHMARK(BM_CopyFileWithTheOs)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteProjectWithoutSync)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Each benchmark's real time as a ratio to copying the file with the OS.
    const double baseline = reporter.time("BM_CopyFileWithTheOs/real_time");
    if (baseline > 0) {
        std::printf("\nRatio to copying the %.1f MB file with the OS (goal: <= 2.0):\n",
                    double(std::filesystem::file_size(fixture().file)) / 1e6);
        for (const char* name : {"BM_SaveProject/real_time", "BM_WriteProjectWithoutSync/real_time",
                                 "BM_LoadProject/real_time"})
            std::printf("  %-40s %6.2f\n", name, reporter.time(name) / baseline);
    }
    benchmark::Shutdown();
    return 0;
}
