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
