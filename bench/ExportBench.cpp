// GIF export speed and quality on the largest bundled sample (640 x 480, 72 frames), side by
// side in one run with ffmpeg (one palette per frame: palettegen stats_mode=single +
// paletteuse new=1 with Floyd-Steinberg) and, when its binary is given in $GIFSKI, gifski, all
// on the same rendered frames. Each output is decoded by ffmpeg and compared with the rendered
// frames: the mean PSNR is reported beside the frames per second.
//
//   make bench-export    (installs gifski from npm into build/bench-tools and runs this)
#include "document/LoadedProject.h"
#include "document/ProjectReader.h"
#include "export/BatchExport.h"
#include "export/GifExporter.h"
#include "document/Document.h"
#include "document/ProjectEditor.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const char* kSample = ZENTRAVO_BINARY_DIR "/bin/template/template_1.vrn";

struct Frames {
    QTemporaryDir dir;
    std::vector<QImage> pictures; // RGB32, as the export hands them to the encoder
    int width = 0, height = 0, frameRate = 0;
};

std::optional<LoadedProject> loadSample() {
    return ProjectReader::readFile(kSample);
}

Frames& frames() {
    static Frames f = [] {
        Frames out;
        std::optional<LoadedProject> sample = loadSample();
        if (!sample) {
            std::fprintf(stderr, "cannot load %s (build the samples first)\n", kSample);
            std::exit(1);
        }
        const ProjectHeader& h = sample->project.header;
        out.width = h.width;
        out.height = h.height;
        out.frameRate = h.frameRate;
        Document document;
        ProjectEditor(document).openLoaded(std::move(sample->project), std::move(sample->symbols));
        QFile raw(out.dir.filePath("frames.rgb"));
        raw.open(QIODevice::WriteOnly);
        BatchExport::drawExportFrames(document, 1.0f, [&](QImage frame, int f) {
            out.pictures.push_back(frame);
            const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
            for (int y = 0; y < rgb.height(); ++y)
                raw.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
            rgb.save(out.dir.filePath(QString::asprintf("frame_%03d.png", f)));
            return true;
        });
        return out;
    }();
    return f;
}

// Mean PSNR of a GIF's frames (decoded by ffmpeg) against the rendered frames.
double meanPsnr(const QString& gif) {
    const Frames& f = frames();
    QProcess ffmpeg;
    ffmpeg.start("/usr/bin/ffmpeg",
                 {"-v", "error", "-i", gif, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    ffmpeg.waitForFinished(600000);
    const QByteArray decoded = ffmpeg.readAllStandardOutput();
    const qsizetype size = qsizetype(f.width) * f.height * 3;
    double total = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < f.pictures.size() && qsizetype(i + 1) * size <= decoded.size();
         ++i) {
        const QImage rgb = f.pictures[i].convertToFormat(QImage::Format_RGB888);
        const auto* d = reinterpret_cast<const unsigned char*>(decoded.constData()) + i * size;
        double squared = 0;
        for (int y = 0; y < f.height; ++y) {
            const uchar* line = rgb.constScanLine(y);
            for (int x = 0; x < f.width * 3; ++x) {
                const double e = double(line[x]) - d[y * f.width * 3 + x];
                squared += e * e;
            }
        }
        const double mse = squared / double(size);
        total += mse == 0 ? 100.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
        ++count;
    }
    return count == f.pictures.size() ? total / double(count) : 0.0;
}

std::map<std::string, std::pair<double, double>>& results() { // name -> (fps, psnr)
    static std::map<std::string, std::pair<double, double>> r;
    return r;
}

void report(benchmark::State& state, const std::string& name, const QString& gif) {
    const double seconds = state.iterations() > 0 ? 1.0 : 0.0;
    (void)seconds;
    const double psnr = meanPsnr(gif);
    state.counters["fps"] = benchmark::Counter(
        double(frames().pictures.size() * state.iterations()), benchmark::Counter::kIsRate);
    state.counters["psnr_dB"] = psnr;
    results()[name].second = psnr;
}

// Our encoder on the rendered frames: palette, error diffusion and LZW per frame.
void BM_OurGifEncoder(benchmark::State& state) {
    Frames& f = frames();
    const QString out = f.dir.filePath("ours.gif");
    for (auto _ : state) {
        GifExporter exporter(0);
        exporter.open(out.toStdString(), f.width, f.height, f.frameRate);
        for (std::size_t i = 0; i < f.pictures.size(); ++i)
            exporter.writeFrame(f.pictures[i], int(i));
        exporter.finish();
    }
    report(state, "ours (encode)", out);
}

// The whole headless export: drawing and encoding on two threads.
void BM_OurWholeExport(benchmark::State& state) {
    Frames& f = frames();
    const QString out = f.dir.filePath("whole.gif");
    for (auto _ : state) {
        std::optional<LoadedProject> sample = loadSample();
        Document document;
        ProjectEditor(document).openLoaded(std::move(sample->project), std::move(sample->symbols));
        GifExporter exporter(0);
        std::string error;
        BatchExport::run(document, exporter, out.toStdString(), {}, error);
    }
    report(state, "ours (draw + encode)", out);
}

void runTool(benchmark::State& state, const std::string& name, const QString& program,
             const QStringList& arguments, const QString& out) {
    for (auto _ : state) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            state.SkipWithError((program + " failed").toStdString().c_str());
            return;
        }
    }
    report(state, name, out);
}

void BM_Ffmpeg(benchmark::State& state) {
    Frames& f = frames();
    const QString out = f.dir.filePath("ffmpeg.gif");
    runTool(state, "ffmpeg", "/usr/bin/ffmpeg",
            {"-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
             QString("%1x%2").arg(f.width).arg(f.height), "-r", QString::number(f.frameRate), "-i",
             f.dir.filePath("frames.rgb"), "-filter_complex",
             "split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither="
             "floyd_steinberg",
             out},
            out);
}

void BM_Gifski(benchmark::State& state) {
    const char* gifski = std::getenv("GIFSKI");
    if (!gifski || !QFile::exists(gifski)) {
        state.SkipWithError("set GIFSKI to the gifski binary (make bench-export does)");
        return;
    }
    Frames& f = frames();
    const QString out = f.dir.filePath("gifski.gif");
    QStringList arguments{"-q", "-o", out, "--fps", QString::number(f.frameRate)};
    for (std::size_t i = 0; i < f.pictures.size(); ++i)
        arguments << f.dir.filePath(QString::asprintf("frame_%03d.png", int(i)));
    runTool(state, "gifski", gifski, arguments, out);
}

BENCHMARK(BM_OurGifEncoder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OurWholeExport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Ffmpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Gifski)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    frames(); // rendered once, outside every measurement
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
