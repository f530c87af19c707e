// The GIF writer: the bytes of each file piece, the three compressors' code streams, failure
// texts, and every file we write read back by Pillow and gifsicle.
#include "gif/CxImageGIF.h"
#include "gif/CxIOFile.h"
#include "gif/CxMemFile.h"
#include "tests/gif/GifTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cstring>
#include <string>

using namespace giftest;

namespace {

// One image body split into its pieces, and the codes a decoder would read from it.
struct Body {
    int minCodeSize = 0;
    std::vector<int> blockSizes;
    std::vector<int> codes;
    std::vector<int> widths; // width each code was read with
    bool terminated = false;
};

// Parses the first image body after offset `from` (the 0x2C introducer) and walks its codes,
// tracking the code width exactly as a decoder must: after a clear the width is the initial
// one, every code after the first adds a table entry, the width grows when the table reaches
// 2^width (never past 12 bits).
Body parseBody(const Bytes& f, std::size_t at) {
    Body b;
    at += 10; // introducer and descriptor
    const std::uint8_t packed = f[at - 1];
    if (packed & 0x80) at += 3u * (1u << ((packed & 7) + 1));
    b.minCodeSize = f[at++];
    Bytes data;
    while (at < f.size()) {
        const int n = f[at++];
        if (n == 0) {
            b.terminated = true;
            break;
        }
        b.blockSizes.push_back(n);
        data.insert(data.end(), f.begin() + static_cast<long>(at),
                    f.begin() + static_cast<long>(at + n));
        at += static_cast<std::size_t>(n);
    }
    const int clear = 1 << b.minCodeSize;
    int width = b.minCodeSize + 1, slot = clear + 2;
    bool first = true;
    std::size_t bit = 0;
    while (bit + static_cast<std::size_t>(width) <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        b.codes.push_back(code);
        b.widths.push_back(width);
        if (code == clear) {
            width = b.minCodeSize + 1;
            slot = clear + 2;
            first = true;
            continue;
        }
        if (code == clear + 1) break;
        if (!first && slot < 4096) ++slot;
        first = false;
        if (slot == (1 << width) && width < 12) ++width;
    }
    return b;
}

std::size_t findImage(const Bytes& f, std::size_t from = 13) {
    // Walks blocks from after the screen descriptor (and global table) to the next image.
    std::size_t at = from;
    if (from == 13 && (f[10] & 0x80)) at += 3u * (1u << ((f[10] & 7) + 1));
    while (at < f.size() && f[at] == 0x21) {
        at += 2;
        while (f[at] != 0)
            at += f[at] + 1u;
        ++at;
    }
    return at;
}

Bytes encodeFrames(CxImageGIF& encoder, std::vector<CxImage*> frames, bool local) {
    CxMemFile out;
    EXPECT_TRUE(encoder.Encode(&out, frames.data(), static_cast<int>(frames.size()), local))
        << encoder.GetLastError();
    return out.bytes();
}

// The expected RGBA of a palette image as a viewer shows it (no transparency in these tests).
Bytes opaqueRgba(const CxImage& image) {
    Bytes v = rgbaOf(image);
    for (std::size_t i = 3; i < v.size(); i += 4)
        v[i] = 255;
    return v;
}

} // namespace

TEST(GifEncoder, HeaderTablesAndFirstCodeFollowTheDepth) {
    struct Row {
        int bpp;
        std::uint8_t packed;
        int tableBytes;
        int minCodeSize;
    };
    // 8 bits: 0xF7 with 768 table bytes; 1 bit: minimum code size 2, not 1.
    const Row rows[] = {{8, 0xF7, 768, 8}, {4, 0xB3, 48, 4}, {1, 0x80, 6, 2}, {2, 0x91, 12, 2}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.bpp);
        CxImage image =
            makeImage(5, 3, r.bpp, [&](int x, int y) { return (x + y) % (1 << r.bpp); });
        CxImageGIF gif;
        gif.Ghost(&image);
        const Bytes f = encodeOne(gif);
        ASSERT_GT(f.size(), 13u);
        EXPECT_EQ(std::string(f.begin(), f.begin() + 6), "GIF89a");
        EXPECT_EQ(f[6] | f[7] << 8, 5);
        EXPECT_EQ(f[8] | f[9] << 8, 3);
        EXPECT_EQ(f[10], r.packed);
        EXPECT_EQ(f[11], 0);
        EXPECT_EQ(f[12], 0);
        EXPECT_EQ(f[13], image.GetPaletteColor(0).rgbRed); // entry 0: red, green, blue
        EXPECT_EQ(f[14], image.GetPaletteColor(0).rgbGreen);
        EXPECT_EQ(f[15], image.GetPaletteColor(0).rgbBlue);
        EXPECT_EQ(f[16], image.GetPaletteColor(1).rgbRed); // red, green, blue of entry 1
        EXPECT_EQ(f[17], image.GetPaletteColor(1).rgbGreen);
        EXPECT_EQ(f[18], image.GetPaletteColor(1).rgbBlue);
        const std::size_t img = findImage(f);
        ASSERT_EQ(img, 13u + r.tableBytes + 8); // graphic control extension in between
        const Body b = parseBody(f, img);
        EXPECT_EQ(b.minCodeSize, r.minCodeSize);
        ASSERT_FALSE(b.codes.empty());
        EXPECT_EQ(b.codes.front(), 1 << r.minCodeSize); // clear first ...
        EXPECT_EQ(b.widths.front(), r.minCodeSize + 1); // ... in initial width bits
        EXPECT_EQ(b.codes.back(), (1 << r.minCodeSize) + 1);
        EXPECT_TRUE(b.terminated);
        EXPECT_EQ(f.back(), ';');
    }
}

TEST(GifEncoder, ExtensionsCarryLoopsDisposalTransparencyAndComment) {
    CxImage image = makeImage(4, 4, 8, [](int x, int y) { return x * 4 + y; });
    struct Row {
        int loops;
        int disposal;
        int trans;
        std::string comment;
        bool loopExtension;
        int loopValue;
        std::uint8_t gcePacked;
        std::size_t commentLength;
    };
    const std::string longComment(300, 'c');
    const Row rows[] = {
        {1, 0, -1, "", false, 0, 0x00, 0},        // play once: no loop extension
        {0, 2, -1, "Zentravo", true, 0, 0x08, 8}, // forever
        {5, 2, 7, "", true, 4, 0x09, 0},          // five times: 4 more
        {3, 1, -1, longComment, true, 2, 0x04, 255},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.loops);
        image.SetTransIndex(r.trans);
        image.SetFrameDelay(0x1234);
        CxImageGIF encoder;
        encoder.SetLoops(r.loops);
        encoder.SetDisposalMethod(r.disposal);
        encoder.SetComment(r.comment.c_str());
        const Bytes f = encodeFrames(encoder, {&image}, false);
        std::size_t at = 13 + 768;
        if (r.loopExtension) {
            const Bytes want = {0x21,
                                0xFF,
                                0x0B,
                                'N',
                                'E',
                                'T',
                                'S',
                                'C',
                                'A',
                                'P',
                                'E',
                                '2',
                                '.',
                                '0',
                                0x03,
                                0x01,
                                static_cast<std::uint8_t>(r.loopValue),
                                0x00,
                                0x00};
            ASSERT_EQ(
                Bytes(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at) + 19),
                want);
            at += 19;
        }
        const Bytes gce = {
            0x21, 0xF9, 0x04, r.gcePacked, 0x34, 0x12, static_cast<std::uint8_t>(r.trans & 0xFF),
            0x00};
        ASSERT_EQ(Bytes(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at) + 8),
                  gce);
        at += 8;
        if (r.commentLength) {
            ASSERT_EQ(f[at], 0x21);
            ASSERT_EQ(f[at + 1], 0xFE);
            ASSERT_EQ(f[at + 2], r.commentLength);
            EXPECT_EQ(f[at + 3 + r.commentLength], 0x00);
            at += 4 + r.commentLength;
        }
        EXPECT_EQ(f[at], 0x2C);

        // gifsicle reads the same loop count, disposal, delay and transparency.
        QTemporaryDir dir;
        const std::string path = dir.filePath("ext.gif").toStdString();
        writeFile(path, f);
        const std::string info = run("/usr/bin/gifsicle", {"-I", path});
        EXPECT_EQ(info.find("loop forever") != std::string::npos,
                  r.loopExtension && r.loopValue == 0)
            << info;
        if (r.loopValue > 0) {
            EXPECT_NE(info.find("loop count " + std::to_string(r.loopValue)), std::string::npos)
                << info;
        }
        EXPECT_NE(info.find("delay 46.60s"), std::string::npos) << info;
        EXPECT_EQ(info.find("disposal background") != std::string::npos, r.disposal == 2) << info;
        EXPECT_EQ(info.find("transparent 7") != std::string::npos, r.trans == 7) << info;
        // Our own reader agrees.
        CxImageGIF back;
        ASSERT_TRUE(decode(f, back));
        EXPECT_EQ(back.GetLoops(), r.loopValue);
        EXPECT_EQ(back.GetDisposalMethod(), r.disposal);
        EXPECT_EQ(std::strlen(back.comment()), r.commentLength);
        EXPECT_EQ(back.GetFrameDelay(), 0x1234u);
    }
}

TEST(GifEncoder, CompressorsRoundTripThroughOurDecoderAndPillow) {
    struct Content {
        const char* name;
        int w, h, bpp;
        int (*pixel)(int x, int y);
    };
    const Content contents[] = {
        {"1x1", 1, 1, 8, [](int, int) { return 200; }},
        {"one bit", 33, 9, 1, [](int x, int y) { return (x / 3 + y) % 2; }},
        {"four bit", 31, 17, 4, [](int x, int y) { return (x * y) % 16; }},
        {"runs", 300, 40, 8, [](int x, int y) { return (x / 37 + y / 5) % 3; }},
        {"long run", 400, 300, 8, [](int, int) { return 9; }},
        {"noise", 211, 197, 8,
         [](int x, int y) {
             return static_cast<int>(noise(static_cast<std::uint32_t>(y * 211 + x)) & 255);
         }},
        {"gradient", 256, 256, 8, [](int x, int y) { return (x + y / 8) & 255; }},
        {"three bit", 20, 20, 3, [](int x, int y) { return (x ^ y) & 7; }},
    };
    QTemporaryDir dir;
    for (const Content& c : contents) {
        for (int option : {0, 1, 2}) {
            SCOPED_TRACE(std::string(c.name) + " option " + std::to_string(option));
            CxImage image = makeImage(c.w, c.h, c.bpp, c.pixel);
            image.SetCodecOption(static_cast<std::uint32_t>(option), CxImage::kFormatGif);
            CxImageGIF gif;
            gif.Ghost(&image);
            const Bytes f = encodeOne(gif);
            const Body body = parseBody(f, findImage(f));
            for (std::size_t i = 0; i < body.blockSizes.size(); ++i)
                EXPECT_LE(body.blockSizes[i], option == 2 ? 255 : 254);
            for (int w : body.widths)
                EXPECT_LE(w, 12);
            EXPECT_TRUE(body.terminated);

            CxImageGIF back;
            ASSERT_TRUE(decode(f, back)) << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), c.bpp <= 1 ? 1 : (c.bpp <= 4 ? 4 : 8));
            EXPECT_EQ(indicesOf(back), indicesOf(image));

            const std::string path =
                dir.filePath(QString("%1-%2.gif").arg(c.name).arg(option)).toStdString();
            writeFile(path, f);
            const auto frames = pillowFrames(path);
            ASSERT_EQ(frames.size(), 1u);
            EXPECT_EQ(frames[0].substr(frames[0].rfind(' ') + 1), hex(opaqueRgba(image)));
        }
    }
}

TEST(GifEncoder, FullCodeTableIsClearedAndWidthReturnsToInitial) {
    // Noise fills the 4096-entry table many times over.
    CxImage image = makeImage(300, 300, 8, [](int x, int y) {
        return static_cast<int>(noise(static_cast<std::uint32_t>(y * 300 + x)) & 255);
    });
    for (int option : {0, 1, 2}) {
        SCOPED_TRACE(option);
        image.SetCodecOption(static_cast<std::uint32_t>(option));
        CxImageGIF gif;
        gif.Ghost(&image);
        const Bytes f = encodeOne(gif);
        const Body b = parseBody(f, findImage(f));
        int clears = 0;
        for (std::size_t i = 1; i < b.codes.size(); ++i) {
            if (b.codes[i] != 256) continue;
            ++clears;
            if (i + 1 < b.codes.size()) {
                EXPECT_EQ(b.widths[i + 1], 9);
            }
        }
        EXPECT_GT(clears, 5);
        EXPECT_EQ(b.codes.back(), 257) << "end code reached with the decoder's widths";
        int maxWidth = 0;
        for (int w : b.widths)
            maxWidth = std::max(maxWidth, w);
        if (option != 2) {
            EXPECT_EQ(maxWidth, 12); // LZW and literal codes reach the widest codes
        }
        EXPECT_LE(maxWidth, 12);
    }
    // Run-length data fills whole 255-byte sub-blocks.
    image.SetCodecOption(2);
    CxImageGIF gif;
    gif.Ghost(&image);
    const Bytes f = encodeOne(gif);
    EXPECT_EQ(parseBody(f, findImage(f)).blockSizes.front(), 255);
    image.SetCodecOption(0);
    gif.Ghost(&image);
    const Bytes g = encodeOne(gif);
    EXPECT_EQ(parseBody(g, findImage(g)).blockSizes.front(), 254);
}

TEST(GifEncoder, AnimationWithLocalTablesReadsBackInEveryDecoder) {
    // Three frames, each with its own palette, as the animated export writes them.
    std::vector<CxImage> frames;
    for (int n = 0; n < 3; ++n) {
        CxImage f = makeImage(24, 16, 8, [n](int x, int y) { return (x + y * 3 + n * 50) & 255; });
        for (std::uint32_t i = 0; i < 256; ++i)
            f.SetPaletteColor(i, RGBQUAD{static_cast<std::uint8_t>(i),
                                         static_cast<std::uint8_t>(n * 80),
                                         static_cast<std::uint8_t>(255 - i), 0});
        f.SetFrameDelay(static_cast<std::uint32_t>(8 + n));
        frames.push_back(f);
    }
    CxImageGIF encoder;
    encoder.SetLoops(3);
    encoder.SetDisposalMethod(2);
    encoder.SetComment("Zentravo");
    const Bytes f = encodeFrames(encoder, {&frames[0], &frames[1], &frames[2]}, true);

    QTemporaryDir dir;
    const std::string path = dir.filePath("anim.gif").toStdString();
    writeFile(path, f);
    const std::string info = run("/usr/bin/gifsicle", {"-I", path});
    EXPECT_NE(info.find("3 images"), std::string::npos) << info;
    EXPECT_NE(info.find("loop count 2"), std::string::npos) << info;
    EXPECT_NE(info.find("global color table [256]"), std::string::npos) << info;
    // Images 2 and 3 carry local tables, image 1 uses the global one.
    std::size_t localTables = 0;
    for (std::size_t p = info.find("local color table [256]"); p != std::string::npos;
         p = info.find("local color table [256]", p + 1))
        ++localTables;
    EXPECT_EQ(localTables, 2u) << info;
    EXPECT_NE(info.find("disposal background"), std::string::npos) << info;

    const auto pillow = pillowFrames(path);
    ASSERT_EQ(pillow.size(), 3u);
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(pillow[static_cast<std::size_t>(n)].substr(
                      0, pillow[static_cast<std::size_t>(n)].find(' ')),
                  std::to_string((8 + n) * 10));
        EXPECT_EQ(pillow[static_cast<std::size_t>(n)].substr(
                      pillow[static_cast<std::size_t>(n)].rfind(' ') + 1),
                  hex(opaqueRgba(frames[static_cast<std::size_t>(n)])));
        CxImageGIF back;
        ASSERT_TRUE(decode(f, back, n));
        EXPECT_EQ(back.GetNumFrames(), 3);
        EXPECT_EQ(back.GetFrameDelay(), static_cast<std::uint32_t>(8 + n));
        EXPECT_EQ(back.GetDisposalMethod(), 2);
        EXPECT_EQ(back.GetLoops(), 2);
        EXPECT_STREQ(back.comment(), "Zentravo");
        EXPECT_EQ(opaqueRgba(back), opaqueRgba(frames[static_cast<std::size_t>(n)]));
    }
    // ImageMagick counts the same frames.
    EXPECT_EQ(run("/usr/bin/identify", {"-format", "%s %T %wx%h\\n", path}),
              "0 8 24x16\n1 9 24x16\n2 10 24x16\n");
}

TEST(GifEncoder, TrueColourImageIsWrittenAsTiles) {
    CxImage rgb;
    ASSERT_TRUE(rgb.Create(40, 20, 24));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            rgb.SetPixelColor(x, y,
                              RGBQUAD{static_cast<std::uint8_t>(x * 6),
                                      static_cast<std::uint8_t>(y * 12),
                                      static_cast<std::uint8_t>((x * y) & 255), 255});
    CxImageGIF gif;
    gif.Ghost(&rgb);
    const Bytes f = encodeOne(gif);
    EXPECT_EQ(f[10], 0x11);
    QTemporaryDir dir;
    const std::string path = dir.filePath("rgb.gif").toStdString();
    writeFile(path, f);
    const std::string info = run("/usr/bin/gifsicle", {"-I", path});
    EXPECT_NE(info.find("6 images"), std::string::npos) << info;
    for (const char* tile : {"#0 17x15\n", "17x15 at 17,0", "6x15 at 34,0", "17x5 at 0,15",
                             "17x5 at 17,15", "6x5 at 34,15"})
        EXPECT_NE(info.find(tile), std::string::npos) << tile << "\n" << info;
    std::size_t localTables = 0;
    for (std::size_t p = info.find("local color table [256]"); p != std::string::npos;
         p = info.find("local color table [256]", p + 1))
        ++localTables;
    EXPECT_EQ(localTables, 6u);
    // Composed, the tiles give the picture back exactly (ImageMagick flattens them).
    const std::string raw =
        run("/usr/bin/convert", {path, "-coalesce", "-delete", "0--2", "-depth", "8", "rgba:-"});
    const std::string pixels = hex(Bytes(raw.begin(), raw.end()));
    Bytes want = rgbaOf(rgb);
    EXPECT_EQ(pixels, hex(want));
    // Our reader composes the tiles of a file without a global table in true colour.
    CxImageGIF back;
    ASSERT_TRUE(decode(f, back, 5));
    EXPECT_EQ(back.GetNumFrames(), 6);
    EXPECT_EQ(back.GetBpp(), 32);
    EXPECT_EQ(rgbaOf(back), want);
}

TEST(GifEncoder, FailuresAreReportedWithTheirTexts) {
    CxImage image = makeImage(2, 2, 8, [](int x, int) { return x; });
    CxImage* one[] = {&image};
    CxImage* withNull[] = {&image, nullptr};
    CxMemFile out;
    struct Row {
        CxFile* fp;
        CxImage** images;
        int count;
        const char* text;
    };
    const Row rows[] = {
        {nullptr, one, 1, "invalid file pointer"},
        {&out, nullptr, 1, "multipage GIF, no images!"},
        {&out, one, 0, "multipage GIF, no images!"},
        {&out, withNull + 1, 1, "multipage GIF, no images!"},
        {&out, withNull, 2, "Bad image pointer"},
    };
    for (const Row& r : rows) {
        CxImageGIF gif;
        EXPECT_FALSE(gif.Encode(r.fp, r.images, r.count, false));
        EXPECT_STREQ(gif.GetLastError(), r.text);
    }
    CxImageGIF empty;
    EXPECT_FALSE(empty.Encode(static_cast<CxFile*>(nullptr)));
    EXPECT_FALSE(empty.Encode(&out)); // no image

    // A full disk shows at the end of the body; the file operation itself still succeeds.
    CxImage big = makeImage(64, 64, 8, [](int x, int y) { return (x * y) & 255; });
    for (int option : {0, 1, 2}) {
        big.SetCodecOption(static_cast<std::uint32_t>(option));
        CxMemFile full;
        full.setSizeLimit(900);
        CxImageGIF gif;
        gif.Ghost(&big);
        EXPECT_TRUE(gif.Encode(&full));
        EXPECT_TRUE(full.Error());
        EXPECT_STREQ(gif.GetLastError(), "Write Error in GIF file");
    }
}

TEST(GifEncoder, StandardFileStreamIsLeftOpenAndGhostKeepsTheSource) {
    CxImage image = makeImage(3, 3, 4, [](int x, int y) { return x + y; });
    QTemporaryDir dir;
    const std::string path = dir.filePath("file.gif").toStdString();
    std::FILE* fp = std::fopen(path.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    {
        CxImageGIF gif;
        gif.Ghost(&image);
        ASSERT_TRUE(gif.Encode(fp));
    }                                    // releasing the ghost frees nothing of the source
    EXPECT_EQ(std::fputc('X', fp), 'X'); // still open
    std::fclose(fp);
    Bytes f = readFile(path);
    ASSERT_EQ(f.back(), 'X');
    f.pop_back();
    EXPECT_EQ(image.GetPixelIndex(2, 0), 4); // source intact: bottom row, x + 2
    CxImageGIF back;
    ASSERT_TRUE(decode(f, back));
    EXPECT_EQ(indicesOf(back), indicesOf(image));

    // Comments keep at most 255 characters in and out.
    CxImageGIF gif;
    const std::string text(300, 'z');
    gif.SetComment(text.c_str());
    gif.SetComment(nullptr);
    char buffer[256];
    gif.GetComment(buffer);
    EXPECT_EQ(std::string(buffer), std::string(255, 'z'));
}
