#include "import/CTavImageEncoder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include "tests/ProgramRun.h"
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage testPicture(int width = 32, int height = 24) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 8, y * 10, (x + y) * 4));
    return image;
}

// Standard output of an outside program, trimmed.
QString run(const QString& program, const QStringList& arguments) {
    return QString::fromUtf8(ProgramRun::of(program, arguments, 60000).out).trimmed();
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(CTavImageEncoderTest, KeyPicksTheEncoderByExtensionOrMimeType) {
    const struct {
        const char* argument;
        const char* mimeType; // "" = no encoder
    } rows[] = {
        {"x.Png", "image/png"},
        {"image/jpeg", "image/jpeg"},
        {"Frame.TIF", "image/tiff"},
        {"dir.v2/a.jpeg", "image/jpeg"},
        {"pic.bmp", "image/bmp"},
        {"IMAGE/PNG", "image/png"},
        {"a.tar.tiff", "image/tiff"},
        {"x.gif", ""},
        {"image/webp", ""},
        {"noextension", ""},
        {"", ""},
        {"x.xyz", ""},
    };
    for (const auto& row : rows) {
        const CTavImageEncoder encoder(row.argument);
        EXPECT_EQ(encoder.GetMimeType(), row.mimeType) << row.argument;
        EXPECT_EQ(encoder.IsValid(), row.mimeType[0] != '\0') << row.argument;
    }
}

TEST(CTavImageEncoderTest, JpegDefaultsToQuality90AndTiffUsesLzwAsOutsideReadersSee) {
    QTemporaryDir dir;
    const QString jpeg90 = dir.filePath("default.jpg"), jpeg40 = dir.filePath("forty.jpg");
    const QString tiff = dir.filePath("frame.tif");
    ASSERT_EQ(CTavImageEncoder("image/jpeg").Save(testPicture(), jpeg90.toLocal8Bit().constData()),
              CTavImageEncoder::kOk);
    CTavImageEncoder forty("out.jpg");
    forty.SetJpgQuality(40);
    ASSERT_EQ(forty.Save(testPicture(), jpeg40.toLocal8Bit().constData()), CTavImageEncoder::kOk);
    ASSERT_EQ(CTavImageEncoder("x.tif").Save(testPicture(), tiff.toLocal8Bit().constData()),
              CTavImageEncoder::kOk);

    // ImageMagick estimates the quality from the quantisation tables.
    EXPECT_EQ(run("/usr/bin/identify", {"-format", "%Q", jpeg90}), "90");
    EXPECT_EQ(run("/usr/bin/identify", {"-format", "%Q", jpeg40}), "40");
    EXPECT_EQ(run("/usr/bin/python3",
                  {"-c",
                   "import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                   "print(im.info.get('compression'), im.size, im.getpixel((31, 23)))",
                   tiff}),
              "tiff_lzw (32, 24) (248, 230, 216)");
}

TEST(CTavImageEncoderTest, PngToAStreamAndToAPathReadBackExactly) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_EQ(CTavImageEncoder("image/png").Save(testPicture(), &buffer), CTavImageEncoder::kOk);
    EXPECT_TRUE(buffer.data().startsWith("\x89PNG"));
    EXPECT_EQ(QImage::fromData(buffer.data()).convertToFormat(QImage::Format_RGB32), testPicture());

    QTemporaryDir dir;
    const QString path = dir.filePath("Frame.PNG");
    ASSERT_EQ(CTavImageEncoder("Frame.PNG").Save(testPicture(), path.toLocal8Bit().constData()),
              CTavImageEncoder::kOk);
    EXPECT_EQ(
        run("/usr/bin/python3", {"-c",
                                 "import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                                 "print(im.format, im.size, im.getpixel((5, 7)))",
                                 path}),
        "PNG (32, 24) (40, 70, 48)");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Frame.PNG"});
}

TEST(CTavImageEncoderTest, UnknownFormatReturnsGenericErrorAndTouchesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.gif");
    writeAll(path, "old contents");
    CTavImageEncoder encoder("keep.gif");
    EXPECT_EQ(encoder.Save(testPicture(), path.toLocal8Bit().constData()),
              CTavImageEncoder::kGenericError);
    EXPECT_EQ(readAll(path), "old contents");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(encoder.Save(testPicture(), &buffer), CTavImageEncoder::kGenericError);
    EXPECT_TRUE(buffer.data().isEmpty());
    const QString absent = dir.filePath("absent.xyz");
    EXPECT_EQ(CTavImageEncoder("absent.xyz").Save(testPicture(), absent.toLocal8Bit().constData()),
              CTavImageEncoder::kGenericError);
    EXPECT_FALSE(QFile::exists(absent));
}

// Regression: the target used to be deleted before writing, so a failed save lost it.
TEST(CTavImageEncoderTest, FailingSaveLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("old.jpg");
    ASSERT_EQ(CTavImageEncoder("image/jpeg").Save(testPicture(), path.toLocal8Bit().constData()),
              CTavImageEncoder::kOk);
    const QByteArray before = readAll(path);
    // JPEG cannot hold a row longer than 65,535 pixels: the writer fails half way.
    QImage tooWide(70000, 1, QImage::Format_RGB32);
    tooWide.fill(Qt::red);
    EXPECT_NE(CTavImageEncoder("image/jpeg").Save(tooWide, path.toLocal8Bit().constData()),
              CTavImageEncoder::kOk);
    EXPECT_EQ(CTavImageEncoder("image/jpeg").Save(QImage(), path.toLocal8Bit().constData()),
              CTavImageEncoder::kInvalidParameter);
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.jpg"}); // no leftovers

    // A folder that does not exist: the file cannot be made.
    EXPECT_EQ(CTavImageEncoder("image/png")
                  .Save(testPicture(), dir.filePath("missing/x.png").toLocal8Bit().constData()),
              CTavImageEncoder::kWin32Error);
}

} // namespace
