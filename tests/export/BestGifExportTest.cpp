// The best GIF mode: every bundled sample read back by Pillow, gifsicle and our decoder (frames,
// delays, loop count, disposal, the comment, and every shown frame against the rendered one),
// a still project that costs a few bytes a frame, and frames of another size refused.
#include "export/GifExporter.h"

#include "document/ProjectReader.h"
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "tests/ProgramRun.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/export/ExportFrames.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The frames an export of `document` draws, and the same frames as raw RGB for Pillow.
std::vector<QImage> renderedFrames(Document& document, const QString& raw) {
    std::vector<QImage> frames;
    QFile file(raw);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    for (QImage& frame : exportFrames(document)) {
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
        frames.push_back(std::move(frame));
    }
    return frames;
}

QJsonObject pillowReport(const QString& gif, const QString& raw) {
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/python3", {ZENTRAVO_SOURCE_DIR "/tests/export/gif_psnr.py", gif, raw});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).object();
}

std::vector<double> numbers(const QJsonValue& value) {
    std::vector<double> out;
    for (const QJsonValue& v : value.toArray())
        out.push_back(v.toDouble());
    return out;
}

// What gifsicle reads: images, loop ("forever", a count, or "" without a loop extension),
// and per image "disposal delay" as it prints them ("asis 0.04s").
struct GifsicleInfo {
    int images = 0;
    QString loop;
    QStringList frames;
};

GifsicleInfo gifsicleInfo(const QString& gif) {
    const ProgramRun run = ProgramRun::of("/usr/bin/gifsicle", {"--info", gif});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    GifsicleInfo info;
    const QString text = QString::fromUtf8(run.out);
    const QRegularExpressionMatch images = QRegularExpression(R"((\d+) images)").match(text);
    info.images = images.hasMatch() ? images.captured(1).toInt() : 0;
    const QRegularExpressionMatch loop =
        QRegularExpression(R"(\n\s+loop (forever|count \d+))").match(text);
    info.loop = loop.hasMatch() ? loop.captured(1) : QString();
    auto frames = QRegularExpression(R"(disposal (\w+) delay ([\d.]+s))").globalMatch(text);
    while (frames.hasNext()) {
        const QRegularExpressionMatch m = frames.next();
        info.frames << m.captured(1) + " " + m.captured(2);
    }
    return info;
}

double psnr(const CxImage& decoded, const QImage& rendered) {
    if (decoded.GetWidth() != rendered.width() || decoded.GetHeight() != rendered.height())
        return 0;
    double squares = 0;
    for (int y = 0; y < rendered.height(); ++y)
        for (int x = 0; x < rendered.width(); ++x) {
            const RGBQUAD c = decoded.GetPixelColor(x, decoded.GetHeight() - 1 - y, true);
            const QRgb r = rendered.pixel(x, y);
            const int d[3] = {c.rgbRed - qRed(r), c.rgbGreen - qGreen(r), c.rgbBlue - qBlue(r)};
            squares += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        }
    if (squares == 0)
        return 100;
    return 10 * std::log10(255.0 * 255.0 * 3 * rendered.width() * rendered.height() / squares);
}

// Our decoder's frames, delays (hundredths), loop count and each frame's PSNR against the
// rendered one (each frame is decoded from the start of the file, as the decoder composes).
struct OurReading {
    int frames = 0;
    int loops = -1;
    std::vector<unsigned> delays;
    std::vector<double> psnr;
};

OurReading ourReading(const QString& gif, const std::vector<QImage>& rendered) {
    QFile file(gif);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    OurReading reading;
    CxImageGIF first;
    CxMemFile firstFile(data, std::size_t(bytes.size()));
    EXPECT_TRUE(first.Decode(&firstFile)) << first.GetLastError();
    reading.frames = first.GetNumFrames();
    for (int n = 0; n < reading.frames; ++n) {
        CxImageGIF frame;
        CxMemFile frameFile(data, std::size_t(bytes.size()));
        frame.SetFrame(n);
        EXPECT_TRUE(frame.Decode(&frameFile)) << n << ": " << frame.GetLastError();
        reading.delays.push_back(frame.GetFrameDelay());
        reading.loops = frame.GetLoops();
        if (std::size_t(n) < rendered.size())
            reading.psnr.push_back(psnr(frame, rendered[std::size_t(n)]));
    }
    return reading;
}

std::string samplePath(int number) {
    return ZENTRAVO_BINARY_DIR "/bin/template/template_" + std::to_string(number) + ".vrn";
}

TEST(BestGifExportTest, EverySampleReadsAlikeEverywhereAndEveryFrameIsWithin45Db) {
    struct Row {
        int sample;
        int loops; // the export's loop setting
        QJsonValue pillowLoop;
        const char* gifsicleLoop;
        int ourLoops;
    };
    const Row rows[] = {
        {1, 0, 0, "forever", 0},
        {2, 1, QJsonValue(), "", 0},
        {3, 3, 2, "count 2", 2},
        {4, 0, 0, "forever", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.sample);
        std::optional<LoadedProject> sample = ProjectReader::readFile(samplePath(row.sample));
        ASSERT_TRUE(sample.has_value()) << "build the samples first";
        const ProjectHeader header = sample->project.header;
        Document document;
        ProjectEditor(document).openLoaded(std::move(sample->project), std::move(sample->symbols));
        QTemporaryDir dir;
        const QString raw = dir.filePath("rendered.rgb");
        const std::vector<QImage> rendered = renderedFrames(document, raw);
        const int count = int(rendered.size());
        ASSERT_EQ(count, header.duration);

        // The rendered frames handed to the exporter, as an export hands them over.
        const QString gif = dir.filePath("best.gif");
        GifExporter exporter(row.loops, GifQuality::Best);
        ASSERT_TRUE(
            exporter.open(gif.toStdString(), header.width, header.height, header.frameRate));
        for (int f = 0; f < count; ++f)
            ASSERT_TRUE(exporter.writeFrame(rendered[std::size_t(f)], f)) << exporter.error();
        ASSERT_TRUE(exporter.finish()) << exporter.error();
        const unsigned delay = GifExporter::frameDelay(header.frameRate);

        const QJsonObject pillow = pillowReport(gif, raw);
        EXPECT_EQ(pillow["frames"].toInt(), count);
        EXPECT_EQ(numbers(pillow["delays"]), std::vector<double>(std::size_t(count), delay * 10.0));
        EXPECT_EQ(pillow["loop"], row.pillowLoop);
        EXPECT_EQ(numbers(pillow["disposal"]), std::vector<double>(std::size_t(count), 1.0));
        EXPECT_EQ(pillow["comment"].toString(), "Zentravo");
        const std::vector<double> pillowPsnr = numbers(pillow["psnr"]);
        ASSERT_EQ(pillowPsnr.size(), std::size_t(count));
        for (int f = 0; f < count; ++f)
            EXPECT_GE(pillowPsnr[std::size_t(f)], 45.0) << "frame " << f;

        const GifsicleInfo gifsicle = gifsicleInfo(gif);
        EXPECT_EQ(gifsicle.images, count);
        EXPECT_EQ(gifsicle.loop, QString::fromLatin1(row.gifsicleLoop));
        EXPECT_EQ(gifsicle.frames,
                  QStringList(count, QString::asprintf("asis %.2fs", delay / 100.0)));

        const OurReading ours = ourReading(gif, rendered);
        EXPECT_EQ(ours.frames, count);
        EXPECT_EQ(ours.loops, row.ourLoops);
        EXPECT_EQ(ours.delays, std::vector<unsigned>(std::size_t(count), delay));
        EXPECT_EQ(ours.psnr.size(), std::size_t(count));
        for (std::size_t i = 0; i < ours.psnr.size(); ++i)
            EXPECT_GE(ours.psnr[i], 45.0) << "decoded frame " << i;
    }
}

TEST(BestGifExportTest, AStillProjectCostsAFewBytesAFrameAfterTheFirst) {
    TestEditor editor;
    ProjectProperties properties;
    properties.name = "Still";
    properties.width = 120;
    properties.height = 80;
    properties.duration = 12;
    properties.frameRate = 12;
    properties.backgroundColor = 0x305070;
    editor.newProject(properties);
    QImage picture(60, 40, QImage::Format_ARGB32);
    QPainter painter(&picture);
    QLinearGradient fill(0, 0, 60, 40);
    fill.setColorAt(0, Qt::yellow);
    fill.setColorAt(1, Qt::darkMagenta);
    painter.fillRect(picture.rect(), fill);
    painter.end();
    editor.insertLibrarySymbol(SymbolId::create(), {picture}); // placed, never moved

    QTemporaryDir dir;
    const QString raw = dir.filePath("rendered.rgb");
    renderedFrames(editor.document(), raw);
    const QString gif = dir.filePath("still.gif");
    GifExporter exporter(0, GifQuality::Best);
    std::string error;
    ASSERT_TRUE(exportDocument(editor.document(), exporter, gif.toStdString(), error)) << error;
    const QJsonObject report = pillowReport(gif, raw);
    EXPECT_EQ(report["frames"].toInt(), 12);
    const std::vector<double> bytes = numbers(report["imageBytes"]);
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_GT(bytes[0], 1000); // the whole first frame
    for (std::size_t f = 1; f < bytes.size(); ++f)
        EXPECT_LE(bytes[f], 30) << f; // control block, a 1 x 1 image, no table
    for (double frame : numbers(report["psnr"]))
        EXPECT_GE(frame, 45.0);
}

TEST(BestGifExportTest, EveryPaletteScopeShowsTheFramesExactly) {
    // Six frames of 36 colours each, in hues that change from frame to frame, under a still
    // strip: one palette holds every colour, so what a viewer shows is the frame itself
    // whatever frames share a palette (Auto told to split down to single frames, too).
    std::vector<QImage> frames;
    for (int f = 0; f < 6; ++f) {
        QImage frame(48, 34, QImage::Format_RGB32);
        for (int y = 0; y < 34; ++y)
            for (int x = 0; x < 48; ++x)
                frame.setPixel(x, y,
                               y < 4 ? qRgb(240, 240, 240)
                                     : qRgb((x / 8) * 40 + f * 5, (y - 4) / 5 * 40, f * 40));
        frames.push_back(frame);
    }
    QTemporaryDir dir;
    const QString raw = dir.filePath("frames.rgb");
    QFile file(raw);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (const QImage& frame : frames) {
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            file.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    }
    file.close();

    using Scope = BestGifEncoder::PaletteScope;
    struct Row {
        const char* name;
        Scope scope;
        int groupSize, minGroup;
        double maxFrameError;
    };
    const Row rows[] = {{"global", Scope::Global, 0, 6, 6.0},
                        {"groups of 4", Scope::Groups, 4, 6, 6.0},
                        {"per frame", Scope::PerFrame, 1, 6, 6.0},
                        {"auto, split to single frames", Scope::Auto, 0, 1, -1.0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BestGifEncoder::Settings settings;
        settings.scope = row.scope;
        settings.groupSize = row.groupSize;
        settings.minGroup = row.minGroup;
        settings.maxFrameError = row.maxFrameError;
        const QString gif = dir.filePath(QString(row.name) + ".gif");
        GifExporter exporter(0, GifQuality::Best, settings);
        ASSERT_TRUE(exporter.open(gif.toStdString(), 48, 34, 12));
        for (int f = 0; f < 6; ++f)
            ASSERT_TRUE(exporter.writeFrame(frames[std::size_t(f)], f)) << exporter.error();
        ASSERT_TRUE(exporter.finish()) << exporter.error();
        const QJsonObject report = pillowReport(gif, raw);
        EXPECT_EQ(numbers(report["psnr"]), std::vector<double>(6, 100.0));
    }
}

TEST(BestGifExportTest, FramesOfAnotherSizeAreRefused) {
    QTemporaryDir dir;
    GifExporter exporter(0, GifQuality::Best);
    ASSERT_TRUE(exporter.open(dir.filePath("sizes.gif").toStdString(), 30, 20, 12));
    QImage frame(30, 20, QImage::Format_RGB32);
    frame.fill(Qt::red);
    ASSERT_TRUE(exporter.writeFrame(frame, 0));
    QImage wider(31, 20, QImage::Format_RGB32);
    wider.fill(Qt::red);
    EXPECT_FALSE(exporter.writeFrame(wider, 1));
    EXPECT_EQ(exporter.error(), "The frames of a GIF must all have one size.");
    exporter.abort();
}

} // namespace
