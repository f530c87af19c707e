// The best GIF mode's choice of palette scope, measured on every bundled sample: one palette
// for the whole animation, one per group of 12 or 24 frames, one per frame, and the adaptive
// scope the export uses (the whole animation when its palette serves every frame, else
// halves, quarters... of similar frames), each at several frame-difference tolerances, so
// that sizes can be compared at equal quality. Each output is decoded by ffmpeg; the table
// gives size, mean and lowest frame PSNR and encoding time, with size and time as ratios to
// the global palette at the same tolerance.
//
//   build/bin/zentravo_gif_palette_bench
#include "bench/RatioReporter.h"
#include "bench/RenderedSample.h"
#include "export/GifExporter.h"

#include <QFile>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kSamples = 4;
constexpr int kTolerances[] = {0, 3, 8};

struct Scope {
    const char* name;
    BestGifEncoder::PaletteScope scope;
    int groupSize;
};
constexpr Scope kScopes[] = {{"global", BestGifEncoder::PaletteScope::Global, 0},
                             {"groups of 12", BestGifEncoder::PaletteScope::Groups, 12},
                             {"groups of 24", BestGifEncoder::PaletteScope::Groups, 24},
                             {"per frame", BestGifEncoder::PaletteScope::PerFrame, 1},
                             {"auto", BestGifEncoder::PaletteScope::Auto, 0}};

struct Figures {
    qint64 bytes = 0;
    double psnr = 0, lowest = 0;
};

RenderedSample& sample(int number) {
    static std::map<int, std::unique_ptr<RenderedSample>> samples;
    std::unique_ptr<RenderedSample>& s = samples[number];
    if (!s)
        s = std::make_unique<RenderedSample>(number);
    return *s;
}

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

std::map<std::string, Figures>& figures() { // benchmark name -> figures
    static std::map<std::string, Figures> f;
    return f;
}

std::string key(int number, int scope, int tolerance) {
    return "BM_Scope/" + std::to_string(number) + "/" + std::to_string(scope) + "/" +
           std::to_string(tolerance) + "/iterations:1";
}

// Arguments: sample number, index into kScopes, tolerance.
void BM_Scope(benchmark::State& state) {
    const int number = int(state.range(0));
    const Scope& scope = kScopes[state.range(1)];
    RenderedSample& rendered = sample(number);
    BestGifEncoder::Settings settings;
    settings.scope = scope.scope;
    settings.groupSize = scope.groupSize;
    settings.tolerance = int(state.range(2));
    const std::string name = key(number, int(state.range(1)), settings.tolerance);
    const QString out = folder().filePath(QString::fromStdString(name).replace('/', '_') + ".gif");
    for (auto _ : state) {
        GifExporter exporter(0, GifQuality::Best, settings);
        exporter.open(out.toStdString(), rendered.width, rendered.height, rendered.frameRate);
        for (std::size_t i = 0; i < rendered.frames.size(); ++i)
            exporter.writeFrame(rendered.frames[i], int(i));
        if (!exporter.finish())
            state.SkipWithError(exporter.error().c_str());
    }
    Figures& f = figures()[name];
    f.bytes = QFile(out).size();
    f.psnr = rendered.meanPsnr(out, &f.lowest);
    state.counters["kB"] = double(f.bytes) / 1000.0;
    state.counters["psnr_dB"] = f.psnr;
}

void arguments(benchmark::internal::Benchmark* b) {
    for (int number = 1; number <= kSamples; ++number)
        for (int scope = 0; scope < int(std::size(kScopes)); ++scope)
            for (int tolerance : kTolerances)
                b->Args({number, scope, tolerance});
}

BENCHMARK(BM_Scope)->Apply(arguments)->Unit(benchmark::kMillisecond)->Iterations(1);

void printTable(const RatioReporter& reporter) {
    std::printf("\n%-7s %-13s %4s %10s %9s %9s %10s %9s %9s\n", "sample", "scope", "tol", "bytes",
                "PSNR dB", "lowest", "size/glob", "ms", "ms/glob");
    for (int number = 1; number <= kSamples; ++number) {
        for (int tolerance : kTolerances) {
            const Figures& global = figures()[key(number, 0, tolerance)];
            const double globalTime = reporter.time(key(number, 0, tolerance));
            for (int scope = 0; scope < int(std::size(kScopes)); ++scope) {
                const Figures& f = figures()[key(number, scope, tolerance)];
                const double time = reporter.time(key(number, scope, tolerance));
                std::printf("%-7d %-13s %4d %10lld %9.2f %9.2f %10.3f %9.0f %9.2f\n", number,
                            kScopes[scope].name, tolerance, f.bytes, f.psnr, f.lowest,
                            global.bytes ? double(f.bytes) / double(global.bytes) : 0.0, time,
                            globalTime > 0 ? time / globalTime : 0.0);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (int number = 1; number <= kSamples; ++number)
        if (!sample(number).ok())
            return 1;
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(reporter);
    benchmark::Shutdown();
    return 0;
}
