#include "import/PictureDecoder.h"

#include "gif/CxImage.h"
#include "import/CTavImage.h"
#include "import/PictureAllocator.h"
#include "import/TiffRgbaReader.h"
#include "tests/import/PictureTestSupport.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

namespace {

// One line of variants.txt (make_variants.py): a file, its size and the RGBA rows it must give.
struct Variant {
    QString group, file, expected;
    int width = 0, height = 0, tolerance = 0;
};

std::vector<Variant> variants(const QString& group) {
    std::vector<Variant> rows;
    QFile list(PictureFolder::instance().path("variants/variants.txt"));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    while (!list.atEnd()) {
        const QStringList f = QString::fromUtf8(list.readLine()).split(' ', Qt::SkipEmptyParts);
        if (f.size() == 6 && f[0] == group)
            rows.push_back({f[0], f[1], f[4], f[2].toInt(), f[3].toInt(), f[5].toInt()});
    }
    return rows;
}

// Loads every variant of the group through the exported class (the extension picks the
// format) and compares red, green, blue and alpha with the expected rows.
void expectVariantsRead(const QString& group) {
    const std::vector<Variant> rows = variants(group);
    ASSERT_FALSE(rows.empty()) << "no variants of " << group.toStdString();
    const PictureFolder& folder = PictureFolder::instance();
    for (const Variant& v : rows) {
        SCOPED_TRACE(v.file.toStdString());
        const QString path = folder.path("variants/" + v.file);
        CTavImage image;
        if (image.LoadPhoto(path.toLocal8Bit().constData()) != 1) {
            std::string error;
            PictureDecoder::decode(folder.read("variants/" + v.file), 0, &error);
            ADD_FAILURE() << "not read: " << error;
            continue;
        }
        const CxImage* picture = image.GetImage();
        ASSERT_EQ(picture->GetWidth(), v.width);
        ASSERT_EQ(picture->GetHeight(), v.height);
        const QByteArray expected = folder.read("variants/" + v.expected);
        ASSERT_EQ(expected.size(), qsizetype{v.width} * v.height * 4);
        int wrong = 0;
        for (int y = 0; y < v.height; ++y) {
            for (int x = 0; x < v.width; ++x) {
                const RGBQUAD c = picture->GetPixelColor(x, v.height - 1 - y);
                const auto* e = reinterpret_cast<const std::uint8_t*>(expected.constData()) +
                                (qsizetype{y} * v.width + x) * 4;
                const int got[4] = {c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved};
                bool same = true;
                for (int i = 0; i < 4; ++i)
                    same = same && std::abs(got[i] - e[i]) <= v.tolerance;
                if (!same && wrong++ == 0)
                    ADD_FAILURE() << "first wrong pixel at " << x << "," << y
                                  << " (top row 0): " << got[0] << " " << got[1] << " " << got[2]
                                  << " " << got[3] << " instead of " << int(e[0]) << " "
                                  << int(e[1]) << " " << int(e[2]) << " " << int(e[3]);
            }
        }
        EXPECT_EQ(wrong, 0) << "wrong pixels";
    }
}

class PictureDecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PictureFolder::instance().ok()) << "make_pictures.py failed";
    }
};

// Every origin (bottom-left, bottom-right, top-left, top-right), raw and run-length packets
// that run on across rows, an image ID, 15- and 16-bit pixels with and without their alpha
// bit, grey with and without alpha, colour-mapped, and a file Pillow wrote.
TEST_F(PictureDecoderTest, TgaOfEveryOriginDepthAndPacking) {
    expectVariantsRead("tga");
}

// Orientation tags 1..8 as a viewer shows them; 16-bit planar, 12-bit, 32-bit integer and float
// grey, 8- and 16-bit CMYK, tiled 16-bit, alpha with a private tag, two pages.
TEST_F(PictureDecoderTest, TiffUprightByItsOrientationTagAtEveryDepth) {
    expectVariantsRead("tiff");
}

TEST_F(PictureDecoderTest, PngOneBitGreyKeepsItsTransparentShade) {
    expectVariantsRead("png");
}

// OS/2 palettes shorter than 2^bits, bit fields of 1 to 11 bits scaled to the full 0..255,
// alpha fields, top-down rows, indices past the palette.
TEST_F(PictureDecoderTest, BmpOs2PalettesAndBitFieldsScaledToFullRange) {
    expectVariantsRead("bmp");
}

// One plane is white on black; 4 planes take the header palette, or the EGA palette in files
// that carry none.
TEST_F(PictureDecoderTest, PcxPlanarPicturesInTheirColours) {
    expectVariantsRead("pcx");
}

TEST_F(PictureDecoderTest, PlainPbmWithOrWithoutSpacesBetweenDigits) {
    expectVariantsRead("pnm");
}

// The picture library's readers leave the alpha of a picture without alpha unwritten; run with
// MALLOC_PERTURB_ (see CMakeLists.txt) fresh memory is not zero and shows it.
TEST_F(PictureDecoderTest, PicturesWithoutAlphaAreOpaque) {
    expectVariantsRead("opaque");
}

// Run-length bitmaps of 8 and 4 bits a pixel (Qt got 4-bit runs wrong), delta codes that skip
// pixels (palette entry 0), and damaged data: runs past a row or the last row, data cut off, a
// delta past the edges. Every undamaged file agrees with ImageMagick's reading.
TEST_F(PictureDecoderTest, BmpRunLengthOfBothDepthsWithDeltasAndDamage) {
    expectVariantsRead("bmp_rle");
}

// Qt refused a planes field other than 1, which means nothing in a file.
TEST_F(PictureDecoderTest, BmpPlanesFieldIsIgnored) {
    expectVariantsRead("bmp_planes");
}

// 2- and 4-bit grey with photometric min-is-white came out inverted.
TEST_F(PictureDecoderTest, TiffMinIsWhiteGreyAtTwoAndFourBits) {
    expectVariantsRead("tiff_grey");
}

// The largest picture of an icon, not the first; PNG pictures whose directory size is wrong.
TEST_F(PictureDecoderTest, IcoGivesItsLargestPictureAndPngsOfAnySize) {
    expectVariantsRead("ico");
}

// 9-bit samples scaled to 0..255 by their own maximum (511).
TEST_F(PictureDecoderTest, Jpeg2000NineBitSamplesScaledByTheirRange) {
    expectVariantsRead("jp2_deep");
}

// Old-style JPEG (compression 6) came out in wrong colours throughout: a whole JPEG stream
// behind its interchange-format tag at every orientation, and the tables form.
TEST_F(PictureDecoderTest, TiffOldStyleJpegInItsColoursAtEveryOrientation) {
    expectVariantsRead("tiff_ojpeg");
}

// Tiled CMYK whose tiles are JPEG was refused ("Can not read scanlines from a tiled image").
TEST_F(PictureDecoderTest, TiffTiledCmykJpegIsRead) {
    expectVariantsRead("tiff_cmyk_jpeg");
}

// JPEG data that ends early is refused, as a cut-off JPEG is, instead of the rest shown grey:
// an old-style JPEG strip and a CMYK JPEG tile each holding half their data.
TEST_F(PictureDecoderTest, TiffJpegDataCutOffIsRefused) {
    for (const char* name : {"ojpeg_tables_cut_off.tif", "cmyk_jpeg_tiled_cut_off.tif"}) {
        SCOPED_TRACE(name);
        const QByteArray bytes = PictureFolder::instance().read(QString("variants/") + name);
        ASSERT_FALSE(bytes.isEmpty());
        std::string error;
        EXPECT_EQ(PictureDecoder::decode(bytes, kFormatTif, &error), nullptr);
        EXPECT_FALSE(error.empty());
    }
}

// libtiff's RGBA reader, the second chance of every TIFF MagickCore refuses, on the plain TIFF
// variants: every orientation tag (Pillow's files), planar, tiled 16-bit, CMYK, palette,
// min-is-white grey, unassociated alpha, two pages. It hands colours over multiplied by alpha,
// so a pixel of alpha a keeps them within 255 / 2a; under alpha 0 they do not show.
TEST_F(PictureDecoderTest, TiffSecondChanceReaderGivesThePlainVariants) {
    const PictureFolder& folder = PictureFolder::instance();
    QStringList unread;
    for (const char* group : {"tiff", "tiff_grey", "opaque"}) {
        for (const Variant& v : variants(group)) {
            if (!v.file.endsWith(".tif"))
                continue;
            SCOPED_TRACE(v.file.toStdString());
            const auto picture = TiffRgbaReader::decode(folder.read("variants/" + v.file));
            if (!picture) {
                unread << v.file;
                continue;
            }
            ASSERT_EQ(picture->GetWidth(), v.width);
            ASSERT_EQ(picture->GetHeight(), v.height);
            const QByteArray expected = folder.read("variants/" + v.expected);
            ASSERT_EQ(expected.size(), qsizetype{v.width} * v.height * 4);
            const auto* e = reinterpret_cast<const std::uint8_t*>(expected.constData());
            int wrong = 0;
            for (int y = 0; y < v.height; ++y) {
                for (int x = 0; x < v.width; ++x, e += 4) {
                    const RGBQUAD c = picture->GetPixelColor(x, v.height - 1 - y);
                    const int got[4] = {c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved};
                    const int colourTolerance = v.tolerance + (e[3] ? 255 / (2 * e[3]) : 255);
                    bool same = std::abs(got[3] - e[3]) <= v.tolerance;
                    for (int i = 0; i < 3; ++i)
                        same = same && std::abs(got[i] - e[i]) <= colourTolerance;
                    if (!same && wrong++ == 0)
                        ADD_FAILURE() << "first wrong pixel at " << x << "," << y << ": " << got[0]
                                      << " " << got[1] << " " << got[2] << " " << got[3]
                                      << " instead of " << int(e[0]) << " " << int(e[1]) << " "
                                      << int(e[2]) << " " << int(e[3]);
                }
            }
            EXPECT_EQ(wrong, 0) << "wrong pixels";
        }
    }
    // Samples of 12 and 32 bits, floating-point samples and 16-bit CMYK are beyond libtiff's
    // RGBA reader.
    EXPECT_EQ(unread.join(' ').toStdString(), "grey12.tif grey32.tif grey_float.tif cmyk16.tif");
}

//   camera.jpg, 6000 x 4000:   red   | green
//                              ------+------
//                              blue  | white
TEST_F(PictureDecoderTest, CameraSizedJpegLoads) {
    CTavImage image;
    ASSERT_EQ(image.LoadPhoto(PictureFolder::instance().path("camera.jpg").toLocal8Bit()), 1);
    const CxImage* picture = image.GetImage();
    ASSERT_EQ(picture->GetWidth(), 6000);
    ASSERT_EQ(picture->GetHeight(), 4000);
    const struct {
        int x, yFromTop, red, green, blue;
    } samples[] = {{10, 10, 220, 30, 30},
                   {5990, 10, 30, 200, 30},
                   {10, 3990, 30, 30, 220},
                   {5990, 3990, 250, 250, 250}};
    for (const auto& s : samples) {
        const RGBQUAD c = picture->GetPixelColor(s.x, 4000 - 1 - s.yFromTop);
        EXPECT_NEAR(c.rgbRed, s.red, 4) << s.x << "," << s.yFromTop;
        EXPECT_NEAR(c.rgbGreen, s.green, 4) << s.x << "," << s.yFromTop;
        EXPECT_NEAR(c.rgbBlue, s.blue, 4) << s.x << "," << s.yFromTop;
        EXPECT_EQ(c.rgbReserved, 255);
    }
}

QByteArray le16(int v) {
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

// Headers that promise more pixels than a picture may hold are refused before any pixel is
// allocated, each with a reason.
TEST_F(PictureDecoderTest, OversizedPicturesAreRefusedWithAReason) {
    // PNG 20000 x 20000 (make_variants.py).
    const QByteArray png = PictureFolder::instance().read("variants/oversized.png");
    // GIF logical screen 65535 x 65535, no table, then a trailer.
    const QByteArray gif = "GIF89a" + le16(65535) + le16(65535) + QByteArray("\0\0\0;", 4);
    // TGA 65535 x 65535, 24-bit run-length, one packet.
    const QByteArray tga = QByteArray("\0\0\x0A\0\0\0\0\0\0\0\0\0", 12) + le16(65535) +
                           le16(65535) + QByteArray("\x18\x20\xFF\1\2\3", 6);
    const struct {
        const char* name;
        QByteArray bytes;
        int format;
        const char* reason; // a part of the error text
    } rows[] = {{"png", png, kFormatPng, "larger than the largest picture"},
                {"gif", gif, kFormatGif, "larger than the largest picture"},
                {"tga", tga, kFormatTga, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        EXPECT_EQ(PictureDecoder::decode(row.bytes, row.format, &error), nullptr);
        EXPECT_FALSE(error.empty());
        EXPECT_NE(error.find(row.reason), std::string::npos) << error;
    }
}

// Sizes are checked without overflowing: products far past 64 bits are refused.
TEST_F(PictureDecoderTest, PictureSizesAreCheckedWithoutOverflow) {
    constexpr std::int64_t kBig = std::numeric_limits<std::int64_t>::max();
    const std::int64_t limit = PictureAllocator::pixelLimit();
    const struct {
        std::int64_t width, height;
        bool fits;
    } rows[] = {{1, 1, true},          {6000, 4000, true},  {limit + 1, 1, false},
                {1, limit + 1, false}, {kBig, kBig, false}, {kBig, 2, false},
                {0, 5, false},         {-1, -1, false},     {1 << 20, 1 << 20, false}};
    for (const auto& row : rows) {
        std::string error;
        EXPECT_EQ(PictureAllocator::fits(row.width, row.height, 4, &error), row.fits)
            << row.width << " x " << row.height;
        EXPECT_EQ(error.empty(), row.fits) << error;
    }
}

} // namespace
