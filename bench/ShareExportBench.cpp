// The share formats on the largest bundled sample (640 x 480, 72 frames), side by side in one
// run: our MP4, WebM, APNG, lossy and lossless WebP exports (each drawing its frames on every
// core and encoding them, as zentravo-cli export does) against the ffmpeg program encoding the
// same frames from PNG files with the same encoder settings, and against the best GIF mode.
// Each output is decoded (ffmpeg; Pillow for WebP) and compared with the rendered frames. The
// table gives wall time, mean PSNR and size, and the goals: MP4 and WebM no slower than ffmpeg,
// the MP4 at >= 40 dB, the APNG no larger than ffmpeg's, the lossy WebP no larger than the best
// GIF at a higher PSNR.
//
//   build/bin/zentravo_share_bench
#include "bench/BenchOutputs.h"
#include "bench/RatioReporter.h"
#include "bench/RenderedSample.h"
#include "export/ApngExporter.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"
#include "export/GifExporter.h"
#include "export/Mp4Exporter.h"
#include "export/WebmExporter.h"
#include "export/WebpExporter.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

RenderedSample& sample() {
    static RenderedSample s(1);
    return s;
}

int threads() {
    return ExportJob::threadCount(0);
}

// The frames of an animated WebP as Pillow shows them at each frame's start, as raw RGB24.
QByteArray webpFrames(const QString& webp) {
    const QString raw = outputFolder().filePath("webp.rgba");
    QProcess python;
    python.start("/usr/bin/python3",
                 {ZENTRAVO_SOURCE_DIR "/tests/export/anim_frames.py", raw, webp});
    python.waitForFinished(600000);
    const QJsonArray files = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QFile file(raw);
    if (files.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray rgba = file.readAll();
    const qsizetype pixels = qsizetype(sample().width) * sample().height;
    QByteArray rgb;
    double end = 0; // where the file's frame k ends, in ms
    int k = -1;
    const QJsonArray durations = files[0].toObject()["durations"].toArray();
    for (std::size_t n = 0; n < sample().frames.size(); ++n) {
        const int start = WebpExporter::timestamp(int(n), sample().frameRate);
        while (start >= end && k + 1 < durations.size())
            end += durations[++k].toDouble();
        for (qsizetype p = 0; p < pixels && (k + 1) * pixels * 4 <= rgba.size(); ++p)
            rgb.append(rgba.constData() + (k * pixels + p) * 4, 3);
    }
    return rgb;
}

void record(benchmark::State& state, const char* name, const QString& file) {
    recordOutput(state, name, file,
                 file.endsWith(".webp") ? sample().meanPsnrOf(webpFrames(file))
                                        : sample().meanPsnr(file));
}

// The whole headless export on every core: drawing and encoding.
void ourExport(benchmark::State& state, const char* name, const char* extension,
               const std::function<std::unique_ptr<FrameExporter>()>& make) {
    const QString out = outputFolder().filePath(QString(name) + extension);
    for (auto _ : state) {
        state.PauseTiming();
        Document document;
        sample().open(document);
        std::unique_ptr<FrameExporter> exporter = make();
        state.ResumeTiming();
        const ExportJob::Result result =
            ExportJob::run(ExportSource::take(document), *exporter, out.toStdString(), {});
        if (!result.completed) {
            state.SkipWithError(result.error.c_str());
            return;
        }
    }
    record(state, name, out);
}

// The ffmpeg program on the rendered frames as PNG files, into `name` + `extension`.
void ffmpegExport(benchmark::State& state, const char* name, const char* extension,
                  const QStringList& settings) {
    const QString out = outputFolder().filePath(QString(name) + extension);
    const QStringList arguments = QStringList{"-v",
                                              "error",
                                              "-y",
                                              "-framerate",
                                              QString::number(sample().frameRate),
                                              "-i",
                                              outputFolder().filePath("frame_%04d.png")} +
                                  settings +
                                  QStringList{"-threads", QString::number(threads()), out};
    if (runEachIteration(state, "/usr/bin/ffmpeg", arguments))
        record(state, name, out);
}

// Our settings, as ffmpeg's options.
const QStringList kX264 = {"-c:v",     "libx264", "-crf",       "18",
                           "-preset",  "medium",  "-profile:v", "high",
                           "-pix_fmt", "yuv420p", "-movflags",  "+faststart"};
const QStringList kVp9 = {"-c:v", "libvpx-vp9", "-crf", "31",      "-b:v", "0",        "-deadline",
                          "good", "-cpu-used",  "4",    "-row-mt", "1",    "-pix_fmt", "yuv420p"};

void BM_Mp4(benchmark::State& state) {
    ourExport(state, "BM_Mp4", ".mp4", [] { return std::make_unique<Mp4Exporter>(); });
}
void BM_FfmpegMp4(benchmark::State& state) {
    ffmpegExport(state, "BM_FfmpegMp4", ".mp4", kX264);
}
void BM_Webm(benchmark::State& state) {
    ourExport(state, "BM_Webm", ".webm", [] { return std::make_unique<WebmExporter>(); });
}
void BM_FfmpegWebm(benchmark::State& state) {
    ffmpegExport(state, "BM_FfmpegWebm", ".webm", kVp9);
}
void BM_Apng(benchmark::State& state) {
    ourExport(state, "BM_Apng", ".png", [] { return std::make_unique<ApngExporter>(); });
}
void BM_FfmpegApng(benchmark::State& state) {
    ffmpegExport(state, "BM_FfmpegApng", ".apng", {"-f", "apng", "-plays", "0"});
}
void BM_WebpLossy(benchmark::State& state) {
    ourExport(state, "BM_WebpLossy", ".webp", [] { return std::make_unique<WebpExporter>(); });
}
void BM_WebpLossless(benchmark::State& state) {
    ourExport(state, "BM_WebpLossless", ".webp", [] {
        ExportSettings settings;
        settings.lossless = true;
        return std::make_unique<WebpExporter>(settings);
    });
}
void BM_BestGif(benchmark::State& state) {
    ourExport(state, "BM_BestGif", ".gif",
              [] { return std::make_unique<GifExporter>(0, GifQuality::Best); });
}

// Pairs measured back to back, so that a change of the machine's load hits both alike.
BENCHMARK(BM_Mp4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FfmpegMp4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Webm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FfmpegWebm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Apng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_FfmpegApng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_WebpLossy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_WebpLossless)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_BestGif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

void printTable(const RatioReporter& reporter) {
    auto time = [&reporter](const std::string& name) {
        for (const char* iterations : {"/iterations:3/real_time", "/iterations:1/real_time"})
            if (const double t = reporter.time(name + iterations); t > 0)
                return t;
        return 0.0;
    };
    const char* rows[][2] = {{"MP4 (ours)", "BM_Mp4"},
                             {"MP4 (ffmpeg from PNG)", "BM_FfmpegMp4"},
                             {"WebM (ours)", "BM_Webm"},
                             {"WebM (ffmpeg from PNG)", "BM_FfmpegWebm"},
                             {"APNG (ours)", "BM_Apng"},
                             {"APNG (ffmpeg -f apng)", "BM_FfmpegApng"},
                             {"WebP lossy (ours)", "BM_WebpLossy"},
                             {"WebP lossless (ours)", "BM_WebpLossless"},
                             {"GIF best (ours)", "BM_BestGif"}};
    std::printf("\n%-24s %10s %10s %11s\n", "output", "time ms", "PSNR dB", "size bytes");
    for (const auto& row : rows) {
        const BenchOutput& out = outputs()[row[1]];
        std::printf("%-24s %10.0f %10.2f %11lld\n", row[0], time(row[1]), out.psnr, out.bytes);
    }
    const double mp4 = time("BM_Mp4") / std::max(time("BM_FfmpegMp4"), 1e-9);
    const double webm = time("BM_Webm") / std::max(time("BM_FfmpegWebm"), 1e-9);
    const BenchOutput& apng = outputs()["BM_Apng"];
    const BenchOutput& ffApng = outputs()["BM_FfmpegApng"];
    const BenchOutput& webp = outputs()["BM_WebpLossy"];
    const BenchOutput& gif = outputs()["BM_BestGif"];
    std::printf("\ngoals:\n");
    std::printf("  MP4 time / ffmpeg's <= 1.0: %.2f %s\n", mp4, verdict(mp4 <= 1.0));
    std::printf("  WebM time / ffmpeg's <= 1.0: %.2f %s\n", webm, verdict(webm <= 1.0));
    std::printf("  MP4 mean PSNR >= 40 dB: %.2f %s\n", outputs()["BM_Mp4"].psnr,
                verdict(outputs()["BM_Mp4"].psnr >= 40));
    std::printf("  APNG size / ffmpeg's <= 1.0: %.3f %s (PSNR %.2f / %.2f)\n",
                double(apng.bytes) / double(std::max<qint64>(ffApng.bytes, 1)),
                verdict(apng.bytes <= ffApng.bytes), apng.psnr, ffApng.psnr);
    std::printf("  lossy WebP size / best GIF's <= 1.0: %.3f %s; PSNR above the GIF's: %.2f vs "
                "%.2f %s\n",
                double(webp.bytes) / double(std::max<qint64>(gif.bytes, 1)),
                verdict(webp.bytes <= gif.bytes), webp.psnr, gif.psnr,
                verdict(webp.psnr > gif.psnr));
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!sample().ok())
        return 1;
    // ffmpeg's input, written once outside every measurement.
    for (std::size_t n = 0; n < sample().frames.size(); ++n)
        sample().frames[n].save(
            outputFolder().filePath(QString::asprintf("frame_%04d.png", int(n))));
    runAndPrint(printTable);
    benchmark::Shutdown();
    return 0;
}
