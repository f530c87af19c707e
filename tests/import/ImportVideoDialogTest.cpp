// The import-video-frames dialog on the offscreen platform, over videos the ffmpeg program
// makes at test time: what it refuses, the pictures it appends (compared with seek grabs, with
// the command-line grab and with ffmpeg's own decoding), and the ruler's wiring.
#include "import/ui/ImportVideoDialog.h"

#include "document/LanguageTable.h"
#include "import/ui/FrameRangeBar.h"
#include "symbols/FrameLists.h"
#include "tests/ProgramRun.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"

#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kRate = 25;

// testsrc (a moving pattern with a frame counter) at 160 x 120, 25 pictures a second.
QString makeVideo(const QTemporaryDir& dir, const QString& name, const QStringList& codec,
                  int seconds = 2, QSize size = QSize(kWidth, kHeight)) {
    const QString path = dir.filePath(name);
    const QString source = QStringLiteral("testsrc=size=%1x%2:rate=%3:duration=%4")
                               .arg(size.width())
                               .arg(size.height())
                               .arg(kRate)
                               .arg(seconds);
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/ffmpeg",
        QStringList{"-v", "error", "-y", "-f", "lavfi", "-i", source} + codec + QStringList{path});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return path;
}

QImage argb(const QImage& picture) {
    return picture.convertToFormat(QImage::Format_ARGB32);
}

// Every picture of `path` as the ffmpeg program decodes it, packed RGB24.
std::vector<QImage> ffmpegPictures(const QString& path) {
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    std::vector<QImage> pictures;
    const qsizetype size = kWidth * kHeight * 3;
    for (qsizetype at = 0; run.ok() && at + size <= run.out.size(); at += size)
        pictures.push_back(argb(QImage(reinterpret_cast<const uchar*>(run.out.constData() + at),
                                       kWidth, kHeight, kWidth * 3, QImage::Format_RGB888)));
    return pictures;
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int k = 0; k < a.width() * 4; ++k)
            sum += std::abs(a.constScanLine(y)[k] - b.constScanLine(y)[k]);
    return sum / (a.width() * a.height() * 4.0);
}

// The picture ffmpeg shows at `seconds` (the reader counts whole microseconds), and how much
// nearer `picture` is to it than to its neighbours: the pattern changes from one to the next.
void expectShownPicture(const std::vector<QImage>& decoded, double seconds, const QImage& picture) {
    const auto index =
        static_cast<std::size_t>(static_cast<std::int64_t>(seconds * 1e6) * kRate / 1000000);
    ASSERT_LT(index, decoded.size());
    const double own = meanDifference(picture, decoded[index]);
    EXPECT_LT(own, 2.0) << "picture " << index;
    for (const std::size_t other : {index - 1, index + 1}) {
        if (other < decoded.size()) {
            EXPECT_LT(own * 3, meanDifference(picture, decoded[other])) << "picture " << index;
        }
    }
}

class ImportVideoDialogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    LanguageTable texts;
    RecordingMessageSink sink;
    FrameLists frames;
};

TEST_F(ImportVideoDialogTest, AFileNoReaderOpensIsRefusedWithTheMessage) {
    QFile notes(dir.filePath("notes.avi"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("these are not moving pictures");
    notes.close();
    QFile empty(dir.filePath("empty.mkv"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    for (const QString& path : {notes.fileName(), empty.fileName(), dir.filePath("absent.mp4")}) {
        SCOPED_TRACE(path.toStdString());
        sink.clear();
        ImportVideoDialog dialog(path, frames, texts, sink);
        EXPECT_FALSE(dialog.load());
        const RecordingMessageSink::Message message = sink.only();
        EXPECT_EQ(message.text, "Can not load this video file.");
        EXPECT_EQ(message.caption, "Load video failed");
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_FALSE(dialog.okButton()->isEnabled());

        sink.clear();
        EXPECT_FALSE(ImportVideoDialog::run(path, frames, texts, sink)); // never shown
        EXPECT_EQ(sink.messages.size(), 1u);
    }
    EXPECT_EQ(frames.count(), 0);
}

TEST_F(ImportVideoDialogTest, OkAppendsEverySampleOfATwoSecondVideoAsTheGrabAtItsTime) {
    struct Row {
        const char* name;
        QStringList codec;
        bool ffmpegReader;
        bool checkCli;
    };
    const Row rows[] = {
        {"mpeg4.avi", {"-c:v", "mpeg4", "-q:v", "3"}, true, true},
        {"bframes.avi", {"-c:v", "mpeg4", "-q:v", "3", "-bf", "2"}, true, false},
        {"mpeg4.mov", {"-c:v", "mpeg4", "-q:v", "3", "-g", "10"}, true, false},
        {"h264.mp4", {"-c:v", "libx264", "-pix_fmt", "yuv420p"}, false, true},
        {"h264.mkv", {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-bf", "3"}, false, false},
        {"vp8.webm", {"-c:v", "libvpx", "-b:v", "1M"}, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = makeVideo(dir, row.name, row.codec);
        VideoFrameSource reference;
        ASSERT_TRUE(reference.open(QFile::encodeName(path).toStdString()));
        EXPECT_EQ(reference.usesFfmpeg(), row.ffmpegReader);
        const std::vector<QImage> decoded = ffmpegPictures(path);
        ASSERT_EQ(decoded.size(), 50u);

        FrameLists imported;
        ImportVideoDialog dialog(path, imported, texts, sink);
        ASSERT_TRUE(dialog.load());
        EXPECT_EQ(dialog.model().total(), 24);
        EXPECT_EQ(dialog.model().end(), 24);
        dialog.show();
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.progress(), 100);
        ASSERT_EQ(imported.count(), 24);
        ASSERT_EQ(imported.added.size(), 24u);
        EXPECT_EQ(imported.flags, std::vector<std::uint32_t>(24, 0));
        for (int i = 0; i < 24; ++i) {
            SCOPED_TRACE(i);
            const QImage& frame = imported.edited[static_cast<std::size_t>(i)];
            ASSERT_EQ(frame.size(), QSize(kWidth, kHeight));
            EXPECT_EQ(frame.format(), QImage::Format_ARGB32);
            EXPECT_EQ(imported.added[static_cast<std::size_t>(i)], frame);
            const double seconds = i * 0.083333;
            EXPECT_EQ(frame, argb(reference.seekGrab(seconds)));
            expectShownPicture(decoded, seconds, frame);
            if (row.checkCli) {
                const QString png = dir.filePath(QStringLiteral("grab%1.png").arg(i));
                const ProgramRun grab = ProgramRun::of(
                    ZENTRAVO_CLI, {"grab", path, QString::number(seconds, 'g', 17), png});
                ASSERT_EQ(grab.exitCode, 0) << grab.err.toStdString();
                EXPECT_EQ(frame, argb(QImage(png)));
            }
        }
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST_F(ImportVideoDialogTest, DraggedMarkersChooseTheSamplesThatAreImported) {
    const QString path = makeVideo(dir, "clip.avi", {"-c:v", "mpeg4", "-q:v", "3"});
    VideoFrameSource reference;
    ASSERT_TRUE(reference.open(QFile::encodeName(path).toStdString()));
    ImportVideoDialog dialog(path, frames, texts, sink);
    ASSERT_TRUE(dialog.load());
    dialog.show();
    FrameRangeBar* ruler = dialog.ruler();
    QSignalSpy changes(ruler, &FrameRangeBar::rangeChanged);

    // Over a marker the pointer becomes the sizing arrow.
    QTest::mouseMove(ruler, QPoint(4, 28));
    EXPECT_EQ(ruler->cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(ruler, QPoint(60, 28));
    EXPECT_EQ(ruler->cursor().shape(), Qt::ArrowCursor);

    // start 0 -> 5, end 24 -> 15: samples 5..14.
    QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(4, 28));
    QTest::mouseMove(ruler, QPoint(27, 28));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(27, 28));
    QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(116, 28));
    QTest::mouseMove(ruler, QPoint(77, 28));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(77, 28));
    EXPECT_EQ(dialog.model().start(), 5);
    EXPECT_EQ(dialog.model().end(), 15);
    EXPECT_EQ(dialog.model().caption().toStdString(), "Import 10 frames");
    EXPECT_EQ(changes.count(), 2);
    // The previews show the first and the last picture the import will append.
    EXPECT_EQ(dialog.startPicture(), argb(reference.seekGrab(5 * 0.083333)));
    EXPECT_EQ(dialog.endPicture(), argb(reference.seekGrab(14 * 0.083333)));

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    ASSERT_EQ(frames.count(), 10);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(frames.edited[static_cast<std::size_t>(k)],
                  argb(reference.seekGrab((5 + k) * 0.083333)))
            << k;
}

TEST_F(ImportVideoDialogTest, TheScrollBarShiftsTheImportedSamplesByWholeSamples) {
    // 10 s: 120 samples, 600 pixels in a ruler of 522: the scroll bar goes to 78, which puts
    // sample 15 under the start marker.
    const QString path = makeVideo(dir, "long.mp4", {"-c:v", "libx264", "-pix_fmt", "yuv420p"}, 10);
    VideoFrameSource reference;
    ASSERT_TRUE(reference.open(QFile::encodeName(path).toStdString()));
    ImportVideoDialog dialog(path, frames, texts, sink);
    ASSERT_TRUE(dialog.load());
    dialog.show();
    EXPECT_EQ(dialog.model().caption().toStdString(), "Import 30 frames");
    const QImage firstPreview = dialog.startPicture();
    QSignalSpy changes(dialog.ruler(), &FrameRangeBar::rangeChanged);
    QScrollBar* bar = dialog.ruler()->scrollBar();
    EXPECT_EQ(bar->maximum(), 78);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(dialog.model().scroll(), 50);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(dialog.model().scroll(), 78);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_NE(dialog.startPicture(), firstPreview);
    EXPECT_EQ(dialog.startPicture(), argb(reference.seekGrab(15 * 0.083333)));

    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    ASSERT_EQ(frames.count(), 30);
    for (int k = 0; k < 30; ++k)
        EXPECT_EQ(frames.edited[static_cast<std::size_t>(k)],
                  argb(reference.seekGrab((15 + k) * 0.083333)))
            << k;
}

TEST_F(ImportVideoDialogTest, TheImportStopsAtTheFirstPictureThatCannotBeRead) {
    // The video's file is cut to nothing while the import runs (as when the disk that holds it
    // goes away): the frames read before stay, each the picture at its time, the import stops
    // at the first picture that cannot be read, and the user is told how many were read.
    // Pictures larger than what a reader keeps in memory, so that the cut shows at once.
    const QString path =
        makeVideo(dir, "going.avi", {"-c:v", "mpeg4", "-q:v", "1"}, 2, QSize(720, 576));
    const QString copy = dir.filePath("kept.avi");
    ASSERT_TRUE(QFile::copy(path, copy));
    VideoFrameSource reference;
    ASSERT_TRUE(reference.open(QFile::encodeName(copy).toStdString()));
    ImportVideoDialog dialog(path, frames, texts, sink);
    ASSERT_TRUE(dialog.load());
    ASSERT_EQ(dialog.model().end(), 24);
    dialog.show();

    // Runs while the import shows its progress after each frame.
    int cutAfter = -1;
    QTimer cutter;
    cutter.setInterval(0);
    QObject::connect(&cutter, &QTimer::timeout, [&] {
        if (cutAfter < 0 && frames.count() >= 4) {
            cutAfter = frames.count();
            QFile(path).resize(0);
        }
    });
    cutter.start();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    cutter.stop();
    ASSERT_GE(cutAfter, 4);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const int read = frames.count();
    EXPECT_GE(read, cutAfter); // a picture the reader still held in memory may follow
    ASSERT_LT(read, 24);
    EXPECT_EQ(frames.added.size(), std::size_t(read));
    EXPECT_EQ(frames.flags.size(), std::size_t(read));
    for (int k = 0; k < cutAfter; ++k)
        EXPECT_EQ(frames.edited[std::size_t(k)], argb(reference.seekGrab(k * 0.083333))) << k;
    for (const QImage& frame : frames.edited)
        EXPECT_EQ(frame.size(), QSize(720, 576));
    EXPECT_EQ(dialog.progress(), read * 100 / 24);
    const RecordingMessageSink::Message message = sink.only();
    EXPECT_EQ(message.text,
              QStringLiteral("Only %1 of the 24 frames could be read from this video file.")
                  .arg(read)
                  .toStdString());
    EXPECT_EQ(message.caption, "Load video failed");
    EXPECT_EQ(message.icon, MessageIcon::Exclamation);
}

TEST_F(ImportVideoDialogTest, OnlyOkImportsWhenRunAsAModalDialog) {
    const QString path = makeVideo(dir, "clip.avi", {"-c:v", "mpeg4", "-q:v", "3"});
    answerModal<ImportVideoDialog>([](ImportVideoDialog* dialog) {
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(ImportVideoDialog::run(path, frames, texts, sink));
    answerModal<ImportVideoDialog>([](ImportVideoDialog* dialog) {
        auto* close = dialog->findChild<QAbstractButton*>(QStringLiteral("closeButton"));
        ASSERT_NE(close, nullptr);
        QTest::mouseClick(close, Qt::LeftButton);
    });
    EXPECT_FALSE(ImportVideoDialog::run(path, frames, texts, sink));
    answerModal<ImportVideoDialog>(
        [](ImportVideoDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_FALSE(ImportVideoDialog::run(path, frames, texts, sink));
    EXPECT_EQ(frames.count(), 0);

    answerModal<ImportVideoDialog>(
        [](ImportVideoDialog* dialog) { QTest::mouseClick(dialog->okButton(), Qt::LeftButton); });
    EXPECT_TRUE(ImportVideoDialog::run(path, frames, texts, sink));
    EXPECT_EQ(frames.count(), 24);
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
