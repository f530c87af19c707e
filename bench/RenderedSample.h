#pragma once

#include "document/Document.h"
#include "document/LoadedProject.h"
#include "document/ProjectEditor.h"
#include "document/ProjectReader.h"
#include "export/ExportSource.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// RenderedSample: one bundled sample project (or a project built in code) with the frames its
// export draws, rendered once, and the quality of a GIF made from them: every frame decoded by
// ffmpeg (an independent decoder that composes frames as viewers do) and compared with the rendered
// frame.
class RenderedSample {
public:
    // template_<number>.vrn of the build's sample folder.
    static std::string path(int number) {
        return ZENTRAVO_BINARY_DIR "/bin/template/template_" + std::to_string(number) + ".vrn";
    }

    explicit RenderedSample(int number) : m_path(path(number)) {
        if (!load()) {
            std::fprintf(stderr, "cannot load %s (build the samples first)\n", m_path.c_str());
            return;
        }
        render();
    }

    // A project built in code: `build` opens it in the document it is given.
    explicit RenderedSample(std::function<void(Document&)> build) : m_build(std::move(build)) {
        render();
    }

    bool ok() const { return !frames.empty(); }

    // A fresh copy of the project, for an export that draws its own frames.
    std::optional<LoadedProject> load() const { return ProjectReader::readFile(m_path); }
    void open(Document& document) const {
        if (m_build) {
            m_build(document);
            return;
        }
        std::optional<LoadedProject> sample = load();
        ProjectEditor(document).openLoaded(std::move(sample->project), std::move(sample->symbols));
    }

    // The frames as raw RGB24, for ffmpeg, in `dir`.
    void writeFiles(const QTemporaryDir& dir) const {
        QFile raw(rawPath(dir));
        if (!raw.open(QIODevice::WriteOnly))
            return;
        for (std::size_t f = 0; f < frames.size(); ++f) {
            const QImage rgb = frames[f].convertToFormat(QImage::Format_RGB888);
            for (int y = 0; y < rgb.height(); ++y)
                raw.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
        }
    }
    static QString rawPath(const QTemporaryDir& dir) { return dir.filePath("frames.rgb"); }
    QString size() const { return QString("%1x%2").arg(width).arg(height); }

    // Mean PSNR (dB) over the frames of `gif` decoded by ffmpeg; 0 when frames are missing.
    // `lowest` receives the worst frame's PSNR.
    double meanPsnr(const QString& gif, double* lowest = nullptr) const {
        QProcess ffmpeg;
        ffmpeg.start("/usr/bin/ffmpeg",
                     {"-v", "error", "-i", gif, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
        ffmpeg.waitForFinished(600000);
        return meanPsnrOf(ffmpeg.readAllStandardOutput(), lowest);
    }

    // Mean PSNR (dB) of `decoded` (the frames as raw RGB24, one after the other) against the
    // rendered frames; 0 when frames are missing.
    double meanPsnrOf(const QByteArray& decoded, double* lowest = nullptr) const {
        const qsizetype bytes = qsizetype(width) * height * 3;
        if (frames.empty() || decoded.size() < bytes * qsizetype(frames.size()))
            return 0.0;
        double total = 0;
        double worst = 1e9;
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const QImage rgb = frames[i].convertToFormat(QImage::Format_RGB888);
            const auto* d =
                reinterpret_cast<const unsigned char*>(decoded.constData()) + qsizetype(i) * bytes;
            double squared = 0;
            for (int y = 0; y < height; ++y) {
                const uchar* line = rgb.constScanLine(y);
                const uchar* out = d + qsizetype(y) * width * 3;
                for (int x = 0; x < width * 3; ++x) {
                    const double e = double(line[x]) - out[x];
                    squared += e * e;
                }
            }
            const double mse = squared / double(bytes);
            const double psnr = mse == 0 ? 100.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
            total += psnr;
            worst = std::min(worst, psnr);
        }
        if (lowest)
            *lowest = worst;
        return total / double(frames.size());
    }

    std::vector<QImage> frames; // RGB32, as the export hands them to the encoder
    int width = 0, height = 0, frameRate = 0;

    // The frames as PNG files frame_000.png, frame_001.png ... in `dir` (ffmpeg's pattern
    // pngPattern()).
    void writePngs(const QTemporaryDir& dir) const {
        for (std::size_t f = 0; f < frames.size(); ++f)
            frames[f].save(dir.filePath(QString::asprintf("frame_%03d.png", int(f))), "PNG");
    }
    static QString pngPattern(const QTemporaryDir& dir) { return dir.filePath("frame_%03d.png"); }

private:
    void render() {
        Document document;
        open(document);
        {
            auto lock = document.lock();
            const ProjectHeader& h = lock.project().header;
            width = h.width;
            height = h.height;
            frameRate = h.frameRate;
        }
        const ExportSource source = ExportSource::take(document);
        for (int f = 0; f < source.duration(); ++f)
            frames.push_back(source.drawFrame(f));
    }

    std::string m_path;
    std::function<void(Document&)> m_build; // set for a project built in code
};
