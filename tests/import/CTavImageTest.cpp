#include "import/CTavImage.h"

#include "import/PictureDecoder.h"
#include "tests/import/PictureTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 15, kHeight = 9;

struct FormatRow {
    const char* file;
    const char* reference; // reference_<name>.raw
    int type;
    int guessedType;     // the type found from the content alone
    double maxMeanError; // mean absolute difference per channel; 0 = exact
};

// Every format of the table, each written by Pillow or ImageMagick's convert.
const FormatRow kFormats[] = {
    {"pillow.bmp", "rgb", kFormatBmp, kFormatBmp, 0},
    {"pillow.gif", "rgb", kFormatGif, kFormatGif, 0},
    {"pillow.jpg", "rgb", kFormatJpg, kFormatJpg, 6},
    {"magick.jpeg", "rgb", kFormatJpg, kFormatJpg, 6},
    {"pillow.png", "rgb", kFormatPng, kFormatPng, 0},
    {"magick.ico", "rgb", kFormatIco, kFormatIco, 0},
    {"pillow.tif", "rgb", kFormatTif, kFormatTif, 0},
    {"pillow.tiff", "rgb", kFormatTif, kFormatTif, 0},
    {"pillow.tga", "rgb", kFormatTga, kFormatTga, 0},
    {"pillow_rle.tga", "rgb", kFormatTga, kFormatTga, 0},
    {"pillow.pcx", "rgb", kFormatPcx, kFormatPcx, 0},
    {"magick.wbmp", "bw", kFormatWbmp, kFormatWbmp, 0},
    {"pillow.jp2", "rgb", kFormatJp2, kFormatJp2, 0},
    {"pillow.j2k", "rgb", kFormatJp2, kFormatJpc, 0},
    {"pillow.jpc", "rgb", kFormatJpc, kFormatJpc, 0},
    {"pillow.j2c", "rgb", kFormatJpc, kFormatJpc, 0},
    {"written.pgx", "grey", kFormatPgx, kFormatPgx, 0},
    {"pillow.pnm", "rgb", kFormatPnm, kFormatPnm, 0},
    {"pillow.ppm", "rgb", kFormatPnm, kFormatPnm, 0},
    {"magick_ascii.ppm", "rgb", kFormatPnm, kFormatPnm, 0},
    {"pillow.pgm", "grey", kFormatPnm, kFormatPnm, 0},
    {"magick.ras", "rgb", kFormatRas, kFormatRas, 0},
};

// Mean absolute difference per channel between the picture and packed RGB rows, top first.
double meanError(const CxImage& picture, const QByteArray& reference) {
    double sum = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const RGBQUAD c = picture.GetPixelColor(x, kHeight - 1 - y, false);
            const char* r = reference.constData() + (y * kWidth + x) * 3;
            sum += std::abs(c.rgbRed - static_cast<std::uint8_t>(r[0])) +
                   std::abs(c.rgbGreen - static_cast<std::uint8_t>(r[1])) +
                   std::abs(c.rgbBlue - static_cast<std::uint8_t>(r[2]));
        }
    }
    return sum / (kWidth * kHeight * 3);
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

class CTavImageTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder().ok()) << "make_pictures.py failed"; }
    static const PictureFolder& folder() { return PictureFolder::instance(); }
    static QByteArray local(const QString& path) { return path.toLocal8Bit(); }
};

TEST_F(CTavImageTest, EveryFormatLoadsWithTheSourcePixelsByExtensionAndByContent) {
    for (const FormatRow& row : kFormats) {
        SCOPED_TRACE(row.file);
        const QByteArray reference = folder().read(QString("reference_%1.raw").arg(row.reference));
        ASSERT_EQ(reference.size(), kWidth * kHeight * 3);
        // By extension, then under a name whose extension means nothing (the type is guessed).
        const QString guessed =
            writeFile(folder().path(QString(row.file) + ".dat"), folder().read(row.file));
        for (const QString& path : {folder().path(row.file), guessed}) {
            const int type = path == guessed ? row.guessedType : row.type;
            CTavImage image;
            ASSERT_EQ(image.LoadPhoto(local(path).constData()), 1) << path.toStdString();
            const CxImage* picture = image.GetImage();
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(static_cast<int>(picture->GetType()), type);
            ASSERT_EQ(picture->GetWidth(), kWidth);
            ASSERT_EQ(picture->GetHeight(), kHeight);
            EXPECT_LE(meanError(*picture, reference), row.maxMeanError);
            EXPECT_GE(image.GetElapsedTime(), 0.0f);
        }
    }
}

TEST_F(CTavImageTest, DamagedPicturesOfEveryFormatFailWithoutAPicture) {
    for (const FormatRow& row : kFormats) {
        const QByteArray good = folder().read(row.file);
        QByteArray wrongMagic = good;
        wrongMagic.replace(0, 4, "XXXX");
        const QByteArray damaged[] = {good.left(good.size() / 2), good.left(12), wrongMagic,
                                      QByteArray()};
        for (const QByteArray& bytes : damaged) {
            SCOPED_TRACE(std::string(row.file) + " damaged to " + std::to_string(bytes.size()));
            const QString path = writeFile(folder().path(QString("damaged_") + row.file), bytes);
            CTavImage image;
            EXPECT_EQ(image.LoadPhoto(local(path).constData()), 0);
            EXPECT_EQ(image.GetImage(), nullptr);
        }
    }
}

TEST_F(CTavImageTest, JpegWithUpperCaseExtensionLoadsAndReadsItsExif) {
    CTavImage image;
    ASSERT_EQ(image.LoadPhoto(local(folder().path("photo.JPG")).constData()), 1);
    EXPECT_EQ(image.GetImage()->GetType(), static_cast<std::uint32_t>(kFormatJpg));
    const ExifInfo& exif = image.GetExifInfo();
    EXPECT_TRUE(exif.isExif);
    EXPECT_EQ(exif.cameraMake, "ZenCam");
    EXPECT_EQ(exif.cameraModel, "Model 7");
    EXPECT_EQ(exif.dateTime, "2024:05:06 07:08:09");
    EXPECT_EQ(exif.orientation, 6);
    ASSERT_GE(exif.raw.size(), 8u);
    EXPECT_TRUE(exif.raw[0] == 'I' || exif.raw[0] == 'M'); // TIFF byte order mark

    // Loading another picture drops the old EXIF block.
    ASSERT_EQ(image.LoadPhoto(local(folder().path("pillow.png")).constData()), 1);
    EXPECT_FALSE(image.GetExifInfo().isExif);
}

TEST_F(CTavImageTest, ExtensionLookupFollowsTheLastDotAndExactCase) {
    EXPECT_STREQ(CTavImage::FindExtension("archive.tar.gz"), "gz");
    EXPECT_EQ(CTavImage::FindType(CTavImage::FindExtension("archive.tar.gz")), 0);
    EXPECT_STREQ(CTavImage::FindExtension("dir/noextension"), "");
    EXPECT_STREQ(CTavImage::FindExtension("ends."), "");
    const struct {
        const char* extension;
        int type;
    } rows[] = {{"bmp", 1},  {"gif", 2},  {"jpg", 3},  {"jpeg", 3}, {"png", 4},  {"ico", 5},
                {"tiff", 6}, {"tif", 6},  {"tga", 7},  {"pcx", 8},  {"wbmp", 9}, {"wmf", 10},
                {"emf", 10}, {"jp2", 11}, {"j2k", 11}, {"jpc", 12}, {"j2c", 12}, {"pgx", 13},
                {"pnm", 14}, {"pgm", 14}, {"ppm", 14}, {"ras", 15}, {"PNG", 0},  {"Jpg", 0},
                {"", 0},     {"gz", 0},   {"pbm", 0},  {"jp", 0},   {"bmpx", 0}};
    for (const auto& row : rows)
        EXPECT_EQ(CTavImage::FindType(row.extension), row.type) << row.extension;
}

TEST_F(CTavImageTest, PathWithoutDotKeepsThePictureAndTrailingDotGuesses) {
    CTavImage image;
    ASSERT_EQ(image.LoadPhoto(local(folder().path("pillow.png")).constData()), 1);
    const CxImage* held = image.GetImage();
    const QString noDot = writeFile(folder().path("nodot"), folder().read("pillow.png"));
    // The temporary folder's own name may hold a '.'; only a bare name is certain to have none.
    if (!noDot.contains('.')) {
        EXPECT_EQ(image.LoadPhoto(local(noDot).constData()), 0);
        EXPECT_EQ(image.GetImage(), held);
    }
    EXPECT_EQ(image.LoadPhoto("nodot-at-all"), 0);
    EXPECT_EQ(image.GetImage(), held);

    const QString trailing = writeFile(folder().path("png-named."), folder().read("pillow.png"));
    ASSERT_EQ(image.LoadPhoto(local(trailing).constData()), 1);
    EXPECT_EQ(image.GetImage()->GetType(), static_cast<std::uint32_t>(kFormatPng));
}

// Raw pixels: rows bottom first, blue-green-red, packed. Widths 1..5 cover every BMP row
// padding (3, 2, 1, 0 bytes).
TEST_F(CTavImageTest, RawPixelsOfEveryRowPaddingLoadBottomRowFirst) {
    for (int width = 1; width <= 5; ++width) {
        for (int height : {1, 3}) {
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 3));
            for (std::size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
            CTavImage image;
            ASSERT_EQ(image.LoadPhoto(pixels.data(), width, height), 1);
            const CxImage* picture = image.GetImage();
            ASSERT_EQ(picture->GetWidth(), width);
            ASSERT_EQ(picture->GetHeight(), height);
            EXPECT_EQ(picture->GetType(), static_cast<std::uint32_t>(kFormatBmp));
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t* p = &pixels[static_cast<std::size_t>((y * width + x) * 3)];
                    const RGBQUAD c = picture->GetPixelColor(x, y); // y counts from the bottom
                    EXPECT_EQ(c.rgbBlue, p[0]);
                    EXPECT_EQ(c.rgbGreen, p[1]);
                    EXPECT_EQ(c.rgbRed, p[2]);
                }
            }
        }
    }
    CTavImage image;
    const std::uint8_t one[3] = {1, 2, 3};
    EXPECT_EQ(image.LoadPhoto(one, 0, 1), 0);
    EXPECT_EQ(image.LoadPhoto(one, 1, -1), 0);
    EXPECT_EQ(image.LoadPhoto(nullptr, 1, 1), 0);
    EXPECT_EQ(image.LoadPhoto(one, 1 << 20, 1 << 20), 0); // over the pixel limit, no overflow
    EXPECT_EQ(image.GetImage(), nullptr);
}

// Copies share one picture; it is freed once, after the last holder lets go (ASan checks).
TEST_F(CTavImageTest, CopiesSharePictureAndFreeItOnce) {
    auto original = std::make_unique<CTavImage>();
    ASSERT_EQ(original->LoadPhoto(local(folder().path("pillow.bmp")).constData()), 1);
    CTavImage copy(*original);
    CTavImage assigned;
    ASSERT_EQ(assigned.LoadPhoto(local(folder().path("pillow.png")).constData()), 1);
    assigned = *original; // drops its own picture
    assigned = assigned;
    EXPECT_EQ(copy.GetImage(), original->GetImage());
    EXPECT_EQ(assigned.GetImage(), original->GetImage());
    original.reset();
    ASSERT_NE(copy.GetImage(), nullptr);
    EXPECT_EQ(copy.GetImage()->GetWidth(), kWidth);
    EXPECT_EQ(copy.LoadPhoto(local(folder().path("pillow.gif")).constData()), 1);
    EXPECT_EQ(assigned.GetImage()->GetType(), static_cast<std::uint32_t>(kFormatBmp));
}

//   Nearest-pixel resample of a 2 x 1 picture to 4 x 2: each pixel becomes a 2 x 2 block.
TEST_F(CTavImageTest, ResampleScalesTheHeldPictureInPlace) {
    CTavImage empty;
    empty.Resample(10, 10); // nothing held: nothing happens
    EXPECT_EQ(empty.GetImage(), nullptr);

    const std::uint8_t pixels[] = {10, 20, 30, 40, 50, 60}; // left BGR, right BGR
    CTavImage image;
    ASSERT_EQ(image.LoadPhoto(pixels, 2, 1), 1);
    image.Resample(4, 2);
    const CxImage* picture = image.GetImage();
    ASSERT_EQ(picture->GetWidth(), 4);
    ASSERT_EQ(picture->GetHeight(), 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            const RGBQUAD c = picture->GetPixelColor(x, y);
            EXPECT_EQ(c.rgbBlue, x < 2 ? 10 : 40);
            EXPECT_EQ(c.rgbRed, x < 2 ? 30 : 60);
        }
    }
}

} // namespace
