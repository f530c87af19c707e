// zentravo-cli grab: the real executable on videos made by the ffmpeg tool, compared with the
// picture ffmpeg itself decodes at the same time.
#include <QImage>
#include <QTemporaryDir>

#include "tests/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int k = 0; k < x.width() * 3; ++k)
            sum += std::abs(x.constScanLine(row)[k] - y.constScanLine(row)[k]);
    return sum / (x.width() * x.height() * 3.0);
}

TEST(GrabCommandTest, GrabsThePictureAtATimeFromEitherReader) {
    QTemporaryDir dir;
    // MPEG-4 part 2 and a raw MPEG-2 elementary stream, which states neither duration nor bit
    // rate (the FFmpeg reader), and FFV1 in Matroska (the fallback reader): a moving test
    // pattern, 4 s at 10 fps.
    struct Video {
        const char* name;
        QStringList codec;
    };
    const Video videos[] = {
        {"mpeg4.avi", {"-c:v", "mpeg4", "-q:v", "2"}},
        {"raw.m2v", {"-c:v", "mpeg2video", "-q:v", "2", "-bf", "2", "-f", "mpeg2video"}},
        {"other.mkv", {"-c:v", "ffv1"}}};
    for (const Video& video : videos) {
        SCOPED_TRACE(video.name);
        const QString path = dir.filePath(video.name);
        ASSERT_EQ(
            ProgramRun::of("/usr/bin/ffmpeg", QStringList{"-v", "error", "-f", "lavfi", "-i",
                                                          "testsrc=size=96x64:rate=10:duration=4"} +
                                                  video.codec + QStringList{path})
                .exitCode,
            0);
        const QString grabbed = dir.filePath(QString(video.name) + ".png");
        const ProgramRun grab = ProgramRun::of(ZENTRAVO_CLI, {"grab", path, "2.35", grabbed});
        ASSERT_EQ(grab.exitCode, 0) << grab.err.toStdString();
        // Frame 23 is shown from 2.3 s to 2.4 s.
        const QString reference = dir.filePath(QString(video.name) + ".ref.png");
        ASSERT_EQ(
            ProgramRun::of("/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-vf",
                                               "select=eq(n\\,23)", "-frames:v", "1", reference})
                .exitCode,
            0);
        const QImage mine(grabbed), theirs(reference);
        ASSERT_EQ(mine.size(), QSize(96, 64));
        ASSERT_EQ(theirs.size(), QSize(96, 64));
        EXPECT_LT(meanDifference(mine, theirs), 2.0);

        const ProgramRun late = ProgramRun::of(ZENTRAVO_CLI, {"grab", path, "4.5", grabbed + "x"});
        EXPECT_EQ(late.exitCode, 1);
        EXPECT_TRUE(late.err.contains("outside")) << late.err.toStdString();
    }

    QFile notVideo(dir.filePath("notes.avi"));
    ASSERT_TRUE(notVideo.open(QIODevice::WriteOnly));
    notVideo.write("these are not moving pictures");
    notVideo.close();
    const ProgramRun refused =
        ProgramRun::of(ZENTRAVO_CLI, {"grab", notVideo.fileName(), "0", dir.filePath("no.png")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.trimmed(), "Can not load this video file.");
}

TEST(GrabCommandTest, WidthsBetweenConverterBlocksKeepEveryColumnAndTheHeap) {
    // Widths of an MPEG-4 AVI where the conversion to RGB lost its last columns (322) or wrote
    // past the picture buffer (328, 330: "free(): invalid next size"; ctest runs these tests
    // with glibc's heap checking). The same converter as ffmpeg's: equal pixels.
    QTemporaryDir dir;
    for (const int width : {322, 328, 330}) {
        SCOPED_TRACE(width);
        const QString path = dir.filePath(QString("w%1.avi").arg(width));
        ASSERT_EQ(ProgramRun::of("/usr/bin/ffmpeg",
                                 {"-v", "error", "-f", "lavfi", "-i",
                                  QString("testsrc=size=%1x120:rate=10:duration=0.3").arg(width),
                                  "-c:v", "mpeg4", "-q:v", "2", path})
                      .exitCode,
                  0);
        const QString grabbed = path + ".png";
        const ProgramRun grab = ProgramRun::of(ZENTRAVO_CLI, {"grab", path, "0.15", grabbed});
        ASSERT_EQ(grab.exitCode, 0) << grab.err.toStdString();
        const QString reference = path + ".ref.png";
        ASSERT_EQ(
            ProgramRun::of("/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-vf", "select=eq(n\\,1)",
                                               "-frames:v", "1", reference})
                .exitCode,
            0);
        const QImage mine = QImage(grabbed).convertToFormat(QImage::Format_RGB888);
        const QImage theirs = QImage(reference).convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(mine.size(), QSize(width, 120));
        EXPECT_TRUE(mine == theirs);
    }
}

} // namespace
