// GIF export speed, quality and size on the largest bundled sample (640 x 480, 72 frames),
// side by side in one run: our classic and best exports (each drawing its frames and encoding
// them, as zentravo-cli export does), ffmpeg with one palette for the whole animation
// (palettegen + paletteuse, defaults), ffmpeg with one palette per frame (palettegen
// stats_mode=single + paletteuse new=1 with Floyd-Steinberg); ffmpeg reads the rendered frames
// as raw video. Each output is decoded by ffmpeg and compared with the rendered frames. The
// table at the end gives wall time (and its ratio to ffmpeg's global-palette run), mean PSNR
// and size, and checks the best mode's goals: no slower than ffmpeg's global palette, drawing
// included, and better in PSNR and size than both ffmpeg outputs.
//
//   make bench-export    (or build/bin/zentravo_export_bench)
#include "bench/BenchOutputs.h"
#include "bench/RatioReporter.h"
#include "bench/RenderedSample.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"
#include "export/GifExporter.h"

#include <QFile>
#include <QGuiApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

namespace {

RenderedSample& sample() {
    static RenderedSample s(1);
    return s;
}

QTemporaryDir& folder() {
    return outputFolder();
}

void record(benchmark::State& state, const char* name, const QString& file) {
    recordOutput(state, name, file, sample().meanPsnr(file));
}

// The whole headless export as the command line runs it: drawing on every core, encoding in
// order on the calling thread.
void ourExport(benchmark::State& state, GifQuality quality, const char* name) {
    const QString out = folder().filePath(QString(name) + ".gif");
    for (auto _ : state) {
        state.PauseTiming();
        Document document;
        sample().open(document);
        state.ResumeTiming();
        GifExporter exporter(0, quality);
        const ExportJob::Result result =
            ExportJob::run(ExportSource::take(document), exporter, out.toStdString(), {});
        if (!result.completed) {
            state.SkipWithError(result.error.c_str());
            return;
        }
    }
    record(state, name, out);
}

void BM_Classic(benchmark::State& state) {
    ourExport(state, GifQuality::Classic, "BM_Classic");
}

void BM_Best(benchmark::State& state) {
    ourExport(state, GifQuality::Best, "BM_Best");
}

void runTool(benchmark::State& state, const char* name, const QString& program,
             const QStringList& arguments) {
    if (runEachIteration(state, program, arguments))
        record(state, name, folder().filePath(QString(name) + ".gif"));
}

QStringList ffmpegInput() {
    return {"-v",
            "error",
            "-y",
            "-f",
            "rawvideo",
            "-pix_fmt",
            "rgb24",
            "-s",
            sample().size(),
            "-r",
            QString::number(sample().frameRate),
            "-i",
            RenderedSample::rawPath(folder())};
}

void BM_FfmpegGlobalPalette(benchmark::State& state) {
    runTool(state, "BM_FfmpegGlobalPalette", "/usr/bin/ffmpeg",
            ffmpegInput() << "-filter_complex"
                          << "split[a][b];[a]palettegen[p];[b][p]paletteuse"
                          << folder().filePath("BM_FfmpegGlobalPalette.gif"));
}

void BM_FfmpegFramePalettes(benchmark::State& state) {
    runTool(state, "BM_FfmpegFramePalettes", "/usr/bin/ffmpeg",
            ffmpegInput() << "-filter_complex"
                          << "split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse="
                             "new=1:dither=floyd_steinberg"
                          << folder().filePath("BM_FfmpegFramePalettes.gif"));
}

BENCHMARK(BM_Classic)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Best)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FfmpegGlobalPalette)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FfmpegFramePalettes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void printTable(const RatioReporter& reporter) {
    struct Row {
        const char* label;
        const char* benchmark;
    };
    const Row rows[] = {{"classic (draw + encode)", "BM_Classic"},
                        {"best (draw + encode)", "BM_Best"},
                        {"ffmpeg, global palette", "BM_FfmpegGlobalPalette"},
                        {"ffmpeg, per-frame palettes", "BM_FfmpegFramePalettes"}};
    auto time = [&reporter](const char* name) {
        return reporter.time(std::string(name) + "/iterations:3/real_time");
    };
    const double ffmpeg = time("BM_FfmpegGlobalPalette");
    std::printf("\n%-28s %10s %14s %10s %11s\n", "output", "time ms", "/ ffmpeg glob", "PSNR dB",
                "size bytes");
    for (const Row& row : rows) {
        const BenchOutput& out = outputs()[row.benchmark];
        const double t = time(row.benchmark);
        std::printf("%-28s %10.0f %14.2f %10.2f %11lld\n", row.label, t,
                    ffmpeg > 0 ? t / ffmpeg : 0.0, out.psnr, out.bytes);
    }
    const BenchOutput& best = outputs()["BM_Best"];
    const BenchOutput& global = outputs()["BM_FfmpegGlobalPalette"];
    const BenchOutput& perFrame = outputs()["BM_FfmpegFramePalettes"];
    const double bestTime = time("BM_Best");
    std::printf("\nbest-mode goals: time <= ffmpeg global palette: %s (ratio %.2f); PSNR above "
                "both ffmpeg outputs: %s (%.2f vs %.2f, %.2f); size below both: %s (%lld vs "
                "%lld, %lld)\n",
                bestTime <= ffmpeg ? "met" : "MISSED", ffmpeg > 0 ? bestTime / ffmpeg : 0.0,
                best.psnr > std::max(global.psnr, perFrame.psnr) ? "met" : "MISSED", best.psnr,
                global.psnr, perFrame.psnr,
                best.bytes < std::min(global.bytes, perFrame.bytes) ? "met" : "MISSED", best.bytes,
                global.bytes, perFrame.bytes);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!sample().ok())
        return 1;
    sample().writeFiles(folder()); // rendered once, outside every measurement
    runAndPrint(printTable);
    benchmark::Shutdown();
    return 0;
}
