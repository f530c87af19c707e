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
        run(cli, {"gif-frames", gif, outDir}, &status);
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
        run(cli, {"gif-frames", gif, outDir}, &status, true);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("not a GIF file"), std::string::npos) << err;
}

TEST(GifFramesCommand, CommentIsShownAsUtf8WithLatin1AsTheFallback) {
    // Comment bytes, and the JSON string gif-frames prints for them (ASCII, \u escapes).
    struct Row {
        const char* bytes;
        const char* json;
    };
    const Row rows[] = {
        {"caf\xC3\xA9", "\"caf\\u00e9\""},          // UTF-8
        {"\xE2\x82\xAC 5", "\"\\u20ac 5\""},        // UTF-8, three bytes
        {"\xF0\x9F\x98\x80", "\"\\ud83d\\ude00\""}, // UTF-8 beyond 16 bits: a surrogate pair
        {"caf\xE9", "\"caf\\u00e9\""},              // not UTF-8: Latin-1
        {"\xC3\x28", "\"\\u00c3(\""},               // a broken sequence: Latin-1 throughout
        {"tab\there \"q\"", "\"tab\\u0009here \\\"q\\\"\""},
    };
    const std::string cli = std::string(ZENTRAVO_BINARY_DIR) + "/bin/zentravo-cli";
    QTemporaryDir dir;
    const std::string gif = dir.filePath("comment.gif").toStdString();
    const std::string outDir = dir.filePath("frames").toStdString();
    CxImage image = makeImage(2, 2, 1, [](int x, int y) { return (x + y) & 1; });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        CxImageGIF encoder;
        encoder.Ghost(&image);
        encoder.SetComment(row.bytes);
        writeFile(gif, encodeOne(encoder));
        int status = -1;
        const std::string json =
            run(cli, {"gif-frames", gif, outDir}, &status);
        EXPECT_EQ(status, 0);
        const std::string key = "\"comment\": ";
        const std::size_t at = json.find(key);
        ASSERT_NE(at, std::string::npos) << json;
        const std::size_t end = json.find(", \"delays\"", at);
        EXPECT_EQ(json.substr(at + key.size(), end - at - key.size()), row.json);
    }
}
