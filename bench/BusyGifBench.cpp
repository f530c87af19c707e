// GIF export of busy animations, where every frame changes almost everywhere (BusyProject:
// 640 x 480, 60 frames, 30 symbol objects crossing the whole stage), and of the bundled
// samples, side by side in one run: our best and classic exports (each drawing its frames and
// encoding them, as zentravo-cli export does) and the ffmpeg program with a palette per frame
// (palettegen stats_mode=single + paletteuse new=1 with Floyd-Steinberg) reading PNGs of the
// same frames. Each output is decoded by ffmpeg and compared with the rendered frames. The
// table gives wall time and processor time (every thread of ours, or ffmpeg's), each with its
// ratio to ffmpeg's, mean PSNR, size and the first bytes of the output's SHA-1 (to see whether
// an encoder change kept the bytes); then the best mode's goal on the busy project: no slower
// than ffmpeg's per-frame palettes, PSNR at or above it. On a machine that others keep busy,
// wall time depends on how much of it each program gets; processor time does not.
//
//   make bench-export    (or build/bin/zentravo_busy_gif_bench; --benchmark_filter=/0 for
//                         the busy project alone)
#include "bench/BusyProject.h"
#include "bench/RatioReporter.h"
#include "bench/RenderedSample.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"
#include "export/GifExporter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <QThread>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kProjects = 5; // 0 the busy project, 1..4 the bundled samples
constexpr int kIterations = 2;

struct Output {
    double psnr = 0;
    qint64 bytes = 0;
    QString sha1;
    double cpu = 0; // seconds of processor time per run, every thread (or the child) counted
};

// Processor time (user + system) of this process's threads, or of its waited-for children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

RenderedSample& project(int number) {
    static std::map<int, std::unique_ptr<RenderedSample>> projects;
    std::unique_ptr<RenderedSample>& p = projects[number];
    if (!p)
        p = number == 0 ? std::make_unique<RenderedSample>(&BusyProject::open)
                        : std::make_unique<RenderedSample>(number);
    return *p;
}

// One folder per project: its PNGs and the outputs. With ZENTRAVO_BENCH_KEEP set the folders
// stay after the run (their paths are printed), to look at or compare the outputs.
QTemporaryDir& folder(int number) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    std::unique_ptr<QTemporaryDir>& dir = folders[number];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        if (qEnvironmentVariableIsSet("ZENTRAVO_BENCH_KEEP")) {
            dir->setAutoRemove(false);
            std::printf("project %d: %s\n", number, qPrintable(dir->path()));
        }
        project(number).writePngs(*dir); // written once, outside every measurement
    }
    return *dir;
}

// Renders the project and writes its PNGs the first time a benchmark needs them.
bool ready(benchmark::State& state, int number) {
    if (project(number).ok() && folder(number).isValid())
        return true;
    state.SkipWithError("the project cannot be drawn (build the samples first)");
    return false;
}

std::map<std::string, Output>& outputs() { // "<row>/<project>" -> its figures
    static std::map<std::string, Output> o;
    return o;
}

std::string key(const char* row, int number) {
    return std::string(row) + "/" + std::to_string(number);
}

QString outputPath(const char* row, int number) {
    return folder(number).filePath(QString(row) + ".gif");
}

void record(benchmark::State& state, const char* row, int number, double cpu) {
    const QString file = outputPath(row, number);
    Output& out = outputs()[key(row, number)];
    out.cpu = cpu / double(state.iterations());
    out.psnr = project(number).meanPsnr(file);
    QFile gif(file);
    out.bytes = gif.size();
    if (gif.open(QIODevice::ReadOnly))
        out.sha1 = QString::fromLatin1(
            QCryptographicHash::hash(gif.readAll(), QCryptographicHash::Sha1).toHex().left(12));
    state.counters["psnr_dB"] = out.psnr;
    state.counters["kB"] = double(out.bytes) / 1000.0;
}

// The whole headless export as the command line runs it: drawing on every core, encoding in
// order on the calling thread.
void ourExport(benchmark::State& state, GifQuality quality, const char* row) {
    const int number = int(state.range(0));
    if (!ready(state, number))
        return;
    const std::string out = outputPath(row, number).toStdString();
    const double cpu = cpuSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        state.PauseTiming();
        Document document;
        project(number).open(document);
        state.ResumeTiming();
        GifExporter exporter(0, quality);
        const ExportJob::Result result =
            ExportJob::run(ExportSource::take(document), exporter, out, {});
        if (!result.completed) {
            state.SkipWithError(result.error.c_str());
            return;
        }
    }
    record(state, row, number, cpuSeconds(RUSAGE_SELF) - cpu);
}

void BM_Best(benchmark::State& state) {
    ourExport(state, GifQuality::Best, "BM_Best");
}

void BM_Classic(benchmark::State& state) {
    ourExport(state, GifQuality::Classic, "BM_Classic");
}

void BM_FfmpegFramePalettes(benchmark::State& state) {
    const int number = int(state.range(0));
    if (!ready(state, number))
        return;
    const RenderedSample& p = project(number);
    const QStringList arguments = {
        "-v",
        "error",
        "-y",
        "-framerate",
        QString::number(p.frameRate),
        "-i",
        RenderedSample::pngPattern(folder(number)),
        "-filter_complex",
        "split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither="
        "floyd_steinberg",
        outputPath("BM_FfmpegFramePalettes", number)};
    const double cpu = cpuSeconds(RUSAGE_CHILDREN);
    for (auto _ : state) {
        QProcess ffmpeg;
        ffmpeg.start("/usr/bin/ffmpeg", arguments);
        if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    record(state, "BM_FfmpegFramePalettes", number, cpuSeconds(RUSAGE_CHILDREN) - cpu);
}

BENCHMARK(BM_Best)
    ->DenseRange(0, kProjects - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(kIterations);
BENCHMARK(BM_Classic)
    ->DenseRange(0, kProjects - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(kIterations);
BENCHMARK(BM_FfmpegFramePalettes)
    ->DenseRange(0, kProjects - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(kIterations);

std::string loadAverage() {
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toStdString() : "?";
}

void printTable(const RatioReporter& reporter) {
    struct Row {
        const char* label;
        const char* benchmark;
    };
    const Row rows[] = {{"best (draw + encode)", "BM_Best"},
                        {"classic (draw + encode)", "BM_Classic"},
                        {"ffmpeg, per-frame palettes", "BM_FfmpegFramePalettes"}};
    auto time = [&reporter](const char* row, int number) {
        return reporter.time(key(row, number) + "/iterations:" + std::to_string(kIterations) +
                             "/real_time");
    };
    std::printf("\n%-8s %-28s %9s %9s %7s %9s %9s %11s %13s\n", "project", "output", "time ms",
                "/ ffmpeg", "CPU s", "/ ffmpeg", "PSNR dB", "size bytes", "sha1");
    for (int number = 0; number < kProjects; ++number) {
        const double ffmpeg = time("BM_FfmpegFramePalettes", number);
        const double ffmpegCpu = outputs()[key("BM_FfmpegFramePalettes", number)].cpu;
        for (const Row& row : rows) {
            const double t = time(row.benchmark, number);
            if (t <= 0)
                continue;
            const Output& out = outputs()[key(row.benchmark, number)];
            std::printf("%-8s %-28s %9.0f %9.2f %7.2f %9.2f %9.2f %11lld %13s\n",
                        number == 0 ? "busy" : ("sample " + std::to_string(number)).c_str(),
                        row.label, t, ffmpeg > 0 ? t / ffmpeg : 0.0, out.cpu,
                        ffmpegCpu > 0 ? out.cpu / ffmpegCpu : 0.0, out.psnr, out.bytes,
                        qPrintable(out.sha1));
        }
    }
    const double best = time("BM_Best", 0), ffmpeg = time("BM_FfmpegFramePalettes", 0);
    if (best > 0 && ffmpeg > 0) {
        const Output& ours = outputs()[key("BM_Best", 0)];
        const Output& theirs = outputs()[key("BM_FfmpegFramePalettes", 0)];
        std::printf("\nbusy project, best-mode goals: time <= ffmpeg per-frame palettes: %s "
                    "(ratio %.2f; processor time %.2f); PSNR at or above it: %s (%.2f vs %.2f "
                    "dB)\n",
                    best <= ffmpeg ? "met" : "MISSED", best / ffmpeg,
                    theirs.cpu > 0 ? ours.cpu / theirs.cpu : 0.0,
                    ours.psnr >= theirs.psnr ? "met" : "MISSED", ours.psnr, theirs.psnr);
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const std::string before = loadAverage();
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(reporter);
    std::printf("load average (1, 5, 15 min) before: %s, after: %s, on %d cores\n", before.c_str(),
                loadAverage().c_str(), QThread::idealThreadCount());
    benchmark::Shutdown();
    return 0;
}
