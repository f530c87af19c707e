// zentravo-cli library: building, listing, extracting and deleting symbols with the real
// executable, the results read back as JSON and as PNG files.
#include "tests/ProgramRun.h"
#include "tests/symbols/SymbolTestSupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <filesystem>

using namespace symboltest;

namespace {

ProgramRun library(QStringList arguments, const QString& dir) {
    arguments.prepend("library");
    arguments << "--dir" << dir;
    return ProgramRun::of(ZENTRAVO_CLI, arguments, 60000);
}

QJsonArray listed(const QString& dir) {
    const ProgramRun run = library({"list"}, dir);
    EXPECT_TRUE(run.ok()) << run.err.toStdString();
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return json["symbols"].toArray();
}

} // namespace

TEST(LibraryCommandTest, AddsListsWritesFramesAndDeletes) {
    QTemporaryDir temporary;
    const QString dir = temporary.filePath("Actors");
    EXPECT_TRUE(listed(dir).isEmpty()); // no library yet: an empty list

    const std::string base = temporary.path().toStdString() + "/";
    writeAnimatedGif(base + "eight.gif", 8);
    frame(3, 2000, 1000).save(QString::fromStdString(base + "large.png"));
    frame(5, 30, 20).save(QString::fromStdString(base + "small.png"));

    const ProgramRun first =
        library({temporary.filePath("large.png"), temporary.filePath("eight.gif")}, dir);
    EXPECT_EQ(first.exitCode, 2); // "add" missing: usage
    const ProgramRun added =
        library({"add", temporary.filePath("large.png"), temporary.filePath("eight.gif")}, dir);
    ASSERT_TRUE(added.ok()) << added.err.toStdString();
    const QString id = QString::fromLatin1(added.out.trimmed());
    EXPECT_EQ(id.size(), 32);
    const ProgramRun second = library({"add", temporary.filePath("small.png")}, dir);
    ASSERT_TRUE(second.ok());
    const QString secondId = QString::fromLatin1(second.out.trimmed());

    const QJsonArray symbols = listed(dir);
    ASSERT_EQ(symbols.size(), 2);
    EXPECT_EQ(symbols[0]["id"].toString(), id);
    EXPECT_EQ(symbols[1]["id"].toString(), secondId);
    EXPECT_EQ(symbols[0]["frames"].toInt(), 9);
    const QJsonArray sizes = symbols[0]["sizes"].toArray();
    ASSERT_EQ(sizes.size(), 9);
    EXPECT_EQ(sizes[0].toArray(), (QJsonArray{978, 489})); // shrunk to about 480000 pixels
    for (int k = 1; k < 9; ++k)
        EXPECT_EQ(sizes[k].toArray(), (QJsonArray{24, 16}));
    EXPECT_TRUE(std::filesystem::exists(dir.toStdString() + "/" + id.toStdString() + ".sbl"));

    const QString out = temporary.filePath("frames");
    const ProgramRun frames = library({"frames", id, out}, dir);
    ASSERT_TRUE(frames.ok()) << frames.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 9);
    EXPECT_EQ(QImage(out + "/frame_000.png").size(), QSize(978, 489));
    for (int k = 0; k < 8; ++k) { // the GIF's frame k: palette entry k
        const QImage picture(out + QString("/frame_%1.png").arg(k + 1, 3, 10, QChar('0')));
        EXPECT_EQ(picture.pixel(3, 3), qRgba(k * 13 + 1, 255 - k, k * 7 + 3, 255)) << k;
    }

    ASSERT_TRUE(library({"delete", id}, dir).ok());
    const QJsonArray left = listed(dir);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0]["id"].toString(), secondId);
    EXPECT_FALSE(std::filesystem::exists(dir.toStdString() + "/" + id.toStdString() + ".sbl"));
}

TEST(LibraryCommandTest, RefusesWhatItCannotDo) {
    QTemporaryDir temporary;
    const QString dir = temporary.filePath("Actors");
    writeAll(temporary.filePath("text.png").toStdString(), "not a picture");
    struct Row {
        QStringList arguments;
        int exitCode;
    };
    const Row rows[] = {
        {{"add", temporary.filePath("text.png")}, 1},
        {{"add", temporary.filePath("missing.png")}, 1},
        {{"add"}, 2},
        {{"frames", "0123456789abcdef0123456789abcdef", temporary.filePath("out")}, 1},
        {{"delete", "0123456789abcdef0123456789abcdef"}, 1},
        {{"delete", "not-an-id"}, 2},
        {{"list", "extra"}, 2},
        {{"shuffle"}, 2},
        {{"list", "--zoom", "2"}, 2},
    };
    for (const Row& row : rows) {
        const ProgramRun run = library(row.arguments, dir);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    // A picture that cannot be loaded adds nothing, not even an index.
    EXPECT_FALSE(std::filesystem::exists(dir.toStdString() + "/Actors.sbg"));
}

// GIF files whose frames would take far more memory than they are large, made at test time
// (make_large_gifs.py), imported by the real command with its address space limited to
// 768 MiB: the ordinary one (100 frames of 4000 x 3000, 4.8 GB at full size) imports with every
// frame shrunk to 800 x 600; the one that declares a 16000 x 16000 screen for 20 frames of
// 4 x 4 pixels is refused with a message before anything is decoded.
TEST(LibraryCommandTest, LargeGifsImportWithinBoundedMemoryOrAreRefusedWithAReason) {
    QTemporaryDir temporary;
    const ProgramRun made = ProgramRun::of(
        "/usr/bin/python3",
        {ZENTRAVO_SOURCE_DIR "/tests/tools/make_large_gifs.py", temporary.path()}, 60000);
    ASSERT_TRUE(made.ok()) << made.err.toStdString();
    const QString dir = temporary.filePath("Actors");
    constexpr qint64 kAddressSpace = qint64{768} << 20;
    auto add = [&](const QString& file) {
        return ProgramRun::of(ZENTRAVO_CLI,
                              {"library", "add", temporary.filePath(file), "--dir", dir}, 120000,
                              QProcessEnvironment::systemEnvironment(), kAddressSpace);
    };

    const ProgramRun ordinary = add("ordinary.gif");
    ASSERT_TRUE(ordinary.ok()) << ordinary.exitCode << " " << ordinary.err.toStdString();
    const QString id = QString::fromLatin1(ordinary.out.trimmed());
    const QString out = temporary.filePath("frames");
    ASSERT_TRUE(library({"frames", id, out}, dir).ok());
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 100);
    // Frame k shows the blocks of frames 1..k (kept, disposal 1) on grey, shrunk by 5:
    // block k lies at (k x 37, k x 29) / 5 in palette colour 1 + k mod 3 (red, green, blue).
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 255)}; // by k mod 3
    for (int k : {0, 1, 2, 50, 99}) {
        SCOPED_TRACE(k);
        const QImage picture(out + QString("/frame_%1.png").arg(k, 3, 10, QChar('0')));
        ASSERT_EQ(picture.size(), QSize(800, 600));
        EXPECT_EQ(picture.pixel(790, 590), qRgb(128, 128, 128));
        for (int block = 1; block <= 99; block += 49) {
            const QRgb at = picture.pixel(block * 37 / 5 + 4, block * 29 / 5 + 3);
            EXPECT_EQ(at, block <= k ? colours[block % 3] : qRgb(128, 128, 128)) << block;
        }
    }

    const ProgramRun screen = add("screen16000.gif");
    EXPECT_EQ(screen.exitCode, 1); // refused, not killed
    EXPECT_TRUE(screen.err.contains("16000 x 16000")) << screen.err.toStdString();
    EXPECT_TRUE(screen.err.contains("MiB")) << screen.err.toStdString();
    EXPECT_EQ(listed(dir).size(), 1);
}
