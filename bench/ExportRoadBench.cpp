// The export road on the largest sample (640 x 480, 72 frames): the application's export
// command, through the real main window on the offscreen platform, against the command line's
// export of the same project into the same output; and every core against one drawing thread
// for the classic GIF, the best GIF and a Motion JPEG AVI. The outputs of each pair are
// compared byte for byte, and the ratios printed from times measured in the same run.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "bench/RatioReporter.h"
#include "dialogs/FileChooser.h"
#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "document/ProjectReader.h"
#include "export/AviExporter.h"
#include "export/ExportJob.h"
#include "export/ExportSource.h"
#include "export/GifExporter.h"
#include "stage/ui/StageView.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace {

const std::string kSample = ZENTRAVO_BINARY_DIR "/bin/template/template_1.vrn";

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString outputOf(const std::string& name, const char* extension) {
    return folder().filePath(QString::fromStdString(name) + extension);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Always answers with the next path it is given.
class FixedFileChooser : public FileChooser {
public:
    QString path;
    QString saveFile(QWidget*, const FileRequest&) override { return path; }
    QString openFile(QWidget*, const FileRequest&) override { return path; }
    QStringList openFiles(QWidget*, const FileRequest&) override { return {path}; }
};

enum class Kind { ClassicGif, BestGif, MotionJpeg };

std::unique_ptr<FrameExporter> exporterOf(Kind kind) {
    switch (kind) {
    case Kind::ClassicGif:
        return std::make_unique<GifExporter>(0, GifQuality::Classic);
    case Kind::BestGif:
        return std::make_unique<GifExporter>(0, GifQuality::Best);
    case Kind::MotionJpeg:
        break;
    }
    return std::make_unique<AviExporter>([] {
        AviCompressOptions options;
        options.codec = "mjpeg";
        return std::optional<AviCompressOptions>(options);
    });
}

const char* extensionOf(Kind kind) {
    return kind == Kind::MotionJpeg ? ".avi" : ".gif";
}

// The command line's export: the headless road, `threads` drawing threads (0: every core).
bool headlessExport(Kind kind, int threads, const QString& out) {
    std::optional<LoadedProject> loaded = ProjectReader::readFile(kSample);
    if (!loaded)
        return false;
    const ExportSource source =
        ExportSource::of(std::move(loaded->project), std::move(loaded->symbols));
    std::unique_ptr<FrameExporter> exporter = exporterOf(kind);
    ExportJob::Options options;
    options.threads = threads;
    return ExportJob::run(source, *exporter, out.toStdString(), options).completed;
}

void BM_CommandLineGif(benchmark::State& state) {
    const QString out = outputOf("BM_CommandLineGif", ".gif");
    for (auto _ : state)
        if (!headlessExport(Kind::ClassicGif, 0, out)) {
            state.SkipWithError("export failed");
            return;
        }
}

// The application's export command: file choice, loop answer, progress window, the export on
// its threads, the window closing when it ends.
void BM_ApplicationGif(benchmark::State& state) {
    QTemporaryDir root;
    Application application(ProgramFolders(root.path().toStdString()));
    FixedFileChooser files;
    MainWindowServices services;
    services.files = &files;
    services.exportAnswers.gifLoops = [] { return std::optional<int>(0); };
    MainWindow window(application, services);
    if (!window.openProjectFile(QString::fromStdString(kSample))) {
        state.SkipWithError("cannot open the sample");
        return;
    }
    files.path = outputOf("BM_ApplicationGif", ".gif");
    for (auto _ : state)
        if (!window.exportCommands().run(ExportKind::Gif)) {
            state.SkipWithError("export failed");
            return;
        }
    window.stage().worker().stop();
}

void threadsBench(benchmark::State& state, Kind kind, const char* name) {
    const int threads = static_cast<int>(state.range(0));
    const QString out =
        outputOf(std::string(name) + "_" + std::to_string(threads), extensionOf(kind));
    for (auto _ : state)
        if (!headlessExport(kind, threads, out)) {
            state.SkipWithError("export failed");
            return;
        }
    state.counters["threads"] = ExportJob::threadCount(threads);
}

void BM_ClassicGif(benchmark::State& state) {
    threadsBench(state, Kind::ClassicGif, "BM_ClassicGif");
}
void BM_BestGif(benchmark::State& state) {
    threadsBench(state, Kind::BestGif, "BM_BestGif");
}
void BM_MotionJpeg(benchmark::State& state) {
    threadsBench(state, Kind::MotionJpeg, "BM_MotionJpeg");
}

BENCHMARK(BM_CommandLineGif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ApplicationGif)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ClassicGif)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_BestGif)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_MotionJpeg)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

const char* same(const QString& a, const QString& b) {
    const QByteArray left = bytesOf(a);
    return !left.isEmpty() && left == bytesOf(b) ? "identical" : "DIFFERENT";
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Real);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nExport road, largest sample, %u cores:\n", std::thread::hardware_concurrency());
    const double cli = reporter.time("BM_CommandLineGif/iterations:5/real_time");
    const double window = reporter.time("BM_ApplicationGif/iterations:5/real_time");
    if (cli > 0 && window > 0)
        std::printf(
            "  application / command line (classic GIF): %.2fx (%.0f ms / %.0f ms), output %s\n",
            window / cli, window, cli,
            same(outputOf("BM_ApplicationGif", ".gif"), outputOf("BM_CommandLineGif", ".gif")));
    for (const auto& [name, extension] : std::map<std::string, const char*>{
             {"BM_ClassicGif", ".gif"}, {"BM_BestGif", ".gif"}, {"BM_MotionJpeg", ".avi"}}) {
        const double one = reporter.time(name + "/1/iterations:3/real_time");
        const double all = reporter.time(name + "/0/iterations:3/real_time");
        if (one > 0 && all > 0)
            std::printf(
                "  %-14s one drawing thread %.0f ms, every core %.0f ms: %.2fx faster, output %s\n",
                name.c_str() + 3, one, all, one / all,
                same(outputOf(name + "_1", extension), outputOf(name + "_0", extension)));
    }
    return 0;
}
