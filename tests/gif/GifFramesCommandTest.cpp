// zentravo-cli gif-frames: PNG per frame and the JSON summary, and a refused file.
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "tests/gif/GifTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace giftest;

TEST(GifFramesCommand, WritesEveryFrameAndSummary) {
    std::vector<CxImage> frames;
    for (int n = 0; n < 2; ++n)
        frames.push_back(makeImage(5, 4, 8, [n](int x, int y) { return x + y * 5 + n * 20; }));
    frames[0].SetFrameDelay(8);
    frames[1].SetFrameDelay(9);
    frames[1].SetTransIndex(25); // pixel (0, 1) of frame 1 is transparent: frame 0 shows
    CxImage* list[] = {&frames[0], &frames[1]};
    CxImageGIF encoder;
    encoder.SetLoops(0);
    encoder.SetDisposalMethod(1);
    encoder.SetComment("Zen \"travo\"");
    CxMemFile out;
    ASSERT_TRUE(encoder.Encode(&out, list, 2, true));
    QTemporaryDir dir;
    const std::string gif = dir.filePath("in.gif").toStdString();
    writeFile(gif, out.bytes());
    const std::string cli = std::string(ZENTRAVO_BINARY_DIR) + "/bin/zentravo-cli";
    const std::string outDir = dir.filePath("frames").toStdString();
    int status = -1;
    const std::string json =
        run("'" + cli + "' gif-frames '" + gif + "' '" + outDir + "'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(json, "{\"width\": 5, \"height\": 4, \"frames\": 2, \"loops\": 0, \"comment\": "
                    "\"Zen \\\"travo\\\"\", \"delays\": [8, 9], \"disposal\": [1, 1]}\n");
    const QImage f1(QString::fromStdString(outDir + "/frame_001.png"));
    ASSERT_FALSE(f1.isNull());
    EXPECT_TRUE(f1.hasAlphaChannel());
    // Frame 1 composed: its transparent pixel shows frame 0's pixel (index 5).
    const RGBQUAD under = frames[0].GetPaletteColor(5);
    EXPECT_EQ(f1.pixelColor(0, 1).red(), under.rgbRed);
    EXPECT_EQ(f1.pixelColor(0, 1).alpha(), 255);
    const RGBQUAD own = frames[1].GetPaletteColor(21);
    EXPECT_EQ(f1.pixelColor(1, 0).blue(), own.rgbBlue);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(outDir + "/frame_000.png")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(outDir + "/frame_002.png")));

    writeFile(gif, Bytes{'n', 'o', 't', ' ', 'a', ' ', 'g', 'i', 'f'});
    const std::string err =
        run("'" + cli + "' gif-frames '" + gif + "' '" + outDir + "' 2>&1", &status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("not a GIF file"), std::string::npos) << err;
}
