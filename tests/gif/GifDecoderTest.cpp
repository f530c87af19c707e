// The GIF reader on hand-made files: interlacing, frame selection and composition, extensions,
// damaged data and cancellation.
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"
#include "tests/gif/GifTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>

using namespace giftest;

namespace {

// Builds GIF files piece by piece; image data comes from our encoder's LZW body.
struct GifBuilder {
    Bytes b;

    GifBuilder(int w, int h, int globalBits = 2) {
        const char* sig = "GIF89a";
        b.assign(sig, sig + 6);
        word(w);
        word(h);
        b.push_back(static_cast<std::uint8_t>(0x80 | (globalBits - 1)));
        b.push_back(0);
        b.push_back(0);
        for (int i = 0; i < (1 << globalBits); ++i)
            b.insert(b.end(), {static_cast<std::uint8_t>(i * 60), static_cast<std::uint8_t>(i * 20),
                               static_cast<std::uint8_t>(255 - i * 60)});
    }
    void word(int v) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    GifBuilder& gce(int disposal, int trans, int delay = 0) {
        b.insert(b.end(), {0x21, 0xF9, 0x04,
                           static_cast<std::uint8_t>((disposal << 2) | (trans >= 0 ? 1 : 0))});
        word(delay);
        b.push_back(static_cast<std::uint8_t>(trans >= 0 ? trans : 0));
        b.push_back(0);
        return *this;
    }
    GifBuilder& raw(const Bytes& bytes) {
        b.insert(b.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // Image descriptor at (l, t) and LZW data of the given indices (top row first).
    GifBuilder& image(int l, int t, int w, int h, const std::vector<int>& indices,
                      const Bytes& localTable = {}, bool interlaced = false) {
        CxImage img = makeImage(
            w, h, 8, [&](int x, int y) { return indices[static_cast<std::size_t>(y * w + x)]; });
        CxImageGIF enc;
        enc.Ghost(&img);
        CxMemFile out;
        enc.EncodeBody(&out, false);
        Bytes body = out.bytes();
        b.push_back(0x2C);
        word(l);
        word(t);
        word(w);
        word(h);
        std::uint8_t packed = interlaced ? 0x40 : 0;
        if (!localTable.empty()) {
            int bits = 1;
            while ((3 << bits) < static_cast<int>(localTable.size()))
                ++bits;
            packed |= static_cast<std::uint8_t>(0x80 | (bits - 1));
        }
        b.push_back(packed);
        b.insert(b.end(), localTable.begin(), localTable.end());
        b.insert(b.end(), body.begin() + 10, body.end()); // code size, sub-blocks, terminator
        return *this;
    }
    // Image descriptor at (l, t) followed by image data made elsewhere (lzwData).
    GifBuilder& rawImage(int l, int t, int w, int h, const Bytes& data, bool interlaced = false) {
        b.push_back(0x2C);
        word(l);
        word(t);
        word(w);
        word(h);
        b.push_back(interlaced ? 0x40 : 0x00);
        b.insert(b.end(), data.begin(), data.end());
        return *this;
    }
    Bytes done() {
        b.push_back(0x3B);
        return b;
    }
};

// Image data written by the format's rules, independently of our encoder: minimum code size,
// a clear code, the code of the longest known string at each step, the end code, all in
// sub-blocks of 255 bytes and a 0 terminator. The code width grows when the next table entry
// needs another bit. Once the table holds 4096 codes it either starts again with a clear code
// or, with deferClear, goes on using the full table as it is (the deferred clear).
Bytes lzwData(const std::vector<int>& pixels, int minCodeSize, bool deferClear = false) {
    const int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    int next = clear + 2;
    std::map<std::pair<int, int>, int> table;
    Bytes codes;
    std::uint32_t acc = 0;
    int bits = 0;
    auto put = [&](int code) {
        acc |= static_cast<std::uint32_t>(code) << bits;
        bits += width;
        for (; bits >= 8; bits -= 8, acc >>= 8)
            codes.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    };
    put(clear);
    int current = pixels.at(0);
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const auto known = table.find({current, pixels[i]});
        if (known != table.end()) {
            current = known->second;
            continue;
        }
        put(current);
        if (next == (1 << width) && width < 12)
            ++width;
        if (next < 4096) {
            table[{current, pixels[i]}] = next++;
        } else if (!deferClear) {
            put(clear);
            table.clear();
            next = clear + 2;
            width = minCodeSize + 1;
        }
        current = pixels[i];
    }
    put(current);
    put(clear + 1);
    if (bits > 0)
        codes.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    Bytes data{static_cast<std::uint8_t>(minCodeSize)};
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
        data.push_back(static_cast<std::uint8_t>(n));
        data.insert(data.end(), codes.begin() + static_cast<long>(at),
                    codes.begin() + static_cast<long>(at + n));
    }
    data.push_back(0);
    return data;
}

// The last frame Pillow shows, as hex RGBA.
std::string pillowLastFrame(const Bytes& file, const char* name) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(name).toStdString();
    writeFile(path, file);
    const auto frames = pillowFrames(path);
    return frames.empty() ? "" : frames.back().substr(frames.back().rfind(' ') + 1);
}

std::vector<int> filled(int n, int v) {
    return std::vector<int>(static_cast<std::size_t>(n), v);
}

} // namespace

TEST(GifDecoder, InterlacedRowsFollowThePassOrder) {
    // File row k holds index k; interlaced, it belongs at image row order[k].
    const int order[] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    std::vector<int> rows;
    for (int k = 0; k < 10; ++k)
        for (int x = 0; x < 3; ++x)
            rows.push_back(k);
    const Bytes f = GifBuilder(3, 10, 4).image(0, 0, 3, 10, rows, {}, true).done();
    CxImageGIF gif;
    ASSERT_TRUE(decode(f, gif));
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(gif.GetPixelIndex(1, 9 - order[k]), k) << "file row " << k;

    // Pillow places the rows the same way.
    QTemporaryDir dir;
    const std::string path = dir.filePath("interlaced.gif").toStdString();
    writeFile(path, f);
    const auto frames = pillowFrames(path);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].substr(frames[0].rfind(' ') + 1), hex(rgbaOf(gif)));

    // Heights of 1 and 2 rows finish their passes without writing past the image.
    for (int h : {1, 2, 5}) {
        const Bytes g = GifBuilder(2, h).image(0, 0, 2, h, filled(2 * h, 1), {}, true).done();
        CxImageGIF small;
        ASSERT_TRUE(decode(g, small));
        EXPECT_EQ(indicesOf(small), filled(2 * h, 1));
    }
}

TEST(GifDecoder, RequestedFrameIsComposedOverEarlierFrames) {
    // Frame 0 fills the 4x2 screen with 1; frame 1 paints a 2x1 patch of 2 at (1,1), its
    // index 3 transparent; frame 2 is damaged and must not matter for frames 0 and 1.
    GifBuilder g(4, 2);
    g.gce(0, -1, 10).image(0, 0, 4, 2, filled(8, 1));
    g.gce(1, 3, 20).image(1, 1, 2, 1, {2, 3});
    g.gce(0, -1, 30).raw({0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0, 8, 3, 0xFF, 0xFF, 0xFF, 0});
    const Bytes f = g.done();
    CxImageGIF gif;
    ASSERT_TRUE(decode(f, gif, 1));
    EXPECT_EQ(gif.GetNumFrames(), 3);
    EXPECT_EQ(indicesOf(gif), (std::vector<int>{1, 1, 1, 1, 1, 2, 1, 1}));
    EXPECT_EQ(gif.GetFrameDelay(), 20u);
    EXPECT_EQ(gif.GetTransIndex(), 3);
    EXPECT_EQ(gif.GetDisposalMethod(), 1);
    EXPECT_EQ(gif.GetWidth(), 4);
    EXPECT_EQ(gif.GetBpp(), 4); // a 4-entry table: up to 16 entries decode as 4 bits
    // A frame without its own graphic control block is opaque with no delay.
    CxImageGIF two;
    ASSERT_TRUE(decode(f, two, 2));
    EXPECT_EQ(two.GetFrameDelay(), 30u);

    CxImageGIF outside;
    EXPECT_FALSE(decode(f, outside, 3));
    EXPECT_FALSE(decode(f, outside, -1));
}

TEST(GifDecoder, DisposalAndTableChangesComposeAsViewersShowThem) {
    const Bytes red = {255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    // Frame 0: whole 3x1 screen index 1; frame 1 (disposal 2) paints x=1 with 2; frame 2
    // paints x=2 with 3: x=1 was restored to background (transparent), x=0 keeps frame 0.
    GifBuilder g(3, 1);
    g.gce(0, -1).image(0, 0, 3, 1, {1, 1, 1});
    g.gce(2, -1).image(1, 0, 1, 1, {2});
    g.gce(0, -1).image(2, 0, 1, 1, {3});
    const Bytes f = g.done();
    CxImageGIF gif;
    ASSERT_TRUE(decode(f, gif, 2));
    const Bytes px = rgbaOf(gif);
    const Bytes want = {60, 20, 195, 255, 0, 0, 0, 0, 180, 60, 75, 255};
    for (std::size_t i = 0; i < want.size(); ++i)
        if (i % 4 == 3 || px[i - i % 4 + 3] != 0) {
            EXPECT_EQ(px[i], want[i]) << i;
        }

    // Disposal 3 restores what was there before the frame.
    GifBuilder h(3, 1);
    h.gce(0, -1).image(0, 0, 3, 1, {1, 1, 1});
    h.gce(3, -1).image(0, 0, 2, 1, {2, 2});
    h.gce(0, -1).image(2, 0, 1, 1, {0});
    CxImageGIF restored;
    ASSERT_TRUE(decode(h.done(), restored, 2));
    EXPECT_EQ(indicesOf(restored), (std::vector<int>{1, 1, 0}));

    // A later frame with its own table: earlier pixels keep the colours of their own table,
    // so the result is true colour instead of reinterpreting old indices.
    GifBuilder k(2, 1);
    k.gce(0, -1).image(0, 0, 2, 1, {1, 1});
    k.gce(0, -1).image(1, 0, 1, 1, {0}, red);
    CxImageGIF mixed;
    ASSERT_TRUE(decode(k.done(), mixed, 1));
    EXPECT_EQ(mixed.GetBpp(), 32);
    EXPECT_EQ(rgbaOf(mixed), (Bytes{60, 20, 195, 255, 255, 0, 0, 255}));
}

TEST(GifDecoder, FramePartlyOutsideTheScreenIsClippedNotDropped) {
    //   4x4 screen        frame 1: 3x2 at (2,1)    frame 2: 2x3 at (1,3), interlaced
    //   1 1 1 1           . . . .                  . . . .
    //   1 1 2 3 |2        . . 2 3 |2               . . . .
    //   1 1 3 2 |3        . . 3 2 |3               . . . .
    //   1 3 2 1           . . . .                  . 3 2
    //                                                2 3   (rows past the screen)
    // Frame 3 lies wholly outside: it is still a frame and paints nothing.
    GifBuilder g(4, 4);
    g.gce(1, -1, 10).image(0, 0, 4, 4, filled(16, 1));
    g.gce(1, -1, 10).image(2, 1, 3, 2, {2, 3, 2, 3, 2, 3});
    g.gce(1, -1, 10).image(1, 3, 2, 3, {3, 2, 2, 3, 3, 3}, {}, true);
    g.gce(1, -1, 10).image(4, 0, 2, 2, filled(4, 2));
    const Bytes f = g.done();
    const std::vector<int> shown[] = {
        filled(16, 1),
        {1, 1, 1, 1, 1, 1, 2, 3, 1, 1, 3, 2, 1, 1, 1, 1},
        {1, 1, 1, 1, 1, 1, 2, 3, 1, 1, 3, 2, 1, 3, 2, 1},
        {1, 1, 1, 1, 1, 1, 2, 3, 1, 1, 3, 2, 1, 3, 2, 1},
    };
    QTemporaryDir dir;
    const std::string path = dir.filePath("clipped.gif").toStdString();
    writeFile(path, f);
    const auto pillow = pillowFrames(path);
    ASSERT_EQ(pillow.size(), 4u) << (pillow.empty() ? "" : pillow.back());
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        CxImageGIF gif;
        ASSERT_TRUE(decode(f, gif, n)) << gif.GetLastError();
        EXPECT_EQ(gif.GetNumFrames(), 4);
        EXPECT_EQ(gif.GetWidth(), 4);
        EXPECT_EQ(gif.GetFrameDelay(), 10u);
        EXPECT_EQ(indicesOf(gif), shown[n]);
        EXPECT_EQ(pillow[static_cast<std::size_t>(n)].substr(pillow[0].rfind(' ') + 1),
                  hex(rgbaOf(gif)));
    }

    // An empty image is no frame; the frame after it still decodes.
    GifBuilder e(2, 1);
    e.image(0, 0, 2, 1, {1, 2}).raw({0x2C, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2, 0});
    CxImageGIF afterEmpty;
    ASSERT_TRUE(decode(e.image(1, 0, 1, 1, {3}).done(), afterEmpty, 1));
    EXPECT_EQ(afterEmpty.GetNumFrames(), 2);
    EXPECT_EQ(indicesOf(afterEmpty), (std::vector<int>{1, 3}));

    // A file whose only image passes the screen is no longer refused.
    CxImageGIF alone;
    ASSERT_TRUE(decode(GifBuilder(2, 2).image(1, 1, 2, 2, {1, 2, 3, 1}).done(), alone));
    EXPECT_EQ(alone.GetNumFrames(), 1);
    EXPECT_EQ(rgbaOf(alone), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 20, 195, 255}));
}

TEST(GifDecoder, DeferredClearAfterAFullCodeTableKeepsDecoding) {
    // 160 x 120 pixels of 8 colours in random order: the 4096-code table fills after a few
    // thousand codes, and the data goes on with the full table, as the format allows.
    const int w = 160, h = 120;
    std::vector<int> pixels;
    std::uint32_t seed = 1;
    for (int i = 0; i < w * h; ++i) {
        seed = seed * 1103515245u + 12345u;
        pixels.push_back(static_cast<int>((seed >> 16) % 8));
    }
    struct Row {
        int minCodeSize;
        bool interlaced;
    };
    for (const Row row : {Row{8, false}, Row{3, false}, Row{4, true}}) {
        SCOPED_TRACE(row.minCodeSize);
        const Bytes data = lzwData(pixels, row.minCodeSize, true);
        // The same pixels with a clear code at every full table are a longer stream.
        ASSERT_LT(data.size(), lzwData(pixels, row.minCodeSize, false).size());
        const Bytes f = GifBuilder(w, h, 3).rawImage(0, 0, w, h, data, row.interlaced).done();
        CxImageGIF gif;
        ASSERT_TRUE(decode(f, gif));
        // Interlaced, file row k is image row order[k]: passes from rows 0, 4, 2 and 1.
        std::vector<int> order;
        for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; row.interlaced && y < h; y += step)
                order.push_back(y);
        std::vector<int> want(pixels.size());
        for (int k = 0; k < h; ++k)
            std::copy_n(pixels.begin() + k * w, w,
                        want.begin() +
                            (row.interlaced ? order[static_cast<std::size_t>(k)] : k) * w);
        EXPECT_EQ(indicesOf(gif), want);
        EXPECT_EQ(pillowLastFrame(f, "deferred.gif"), hex(rgbaOf(gif)));
    }
}

TEST(GifDecoder, MinimumCodeSizeIsDecodedAsLzwAllowsOrRefused) {
    // Sizes 2 to 11 keep every code within 12 bits: the data decodes. Size 12 would need a
    // 13-bit clear code, 0 and 1 leave no room for two colours beside the clear and end codes:
    // such a frame is refused, never shown blank.
    const std::vector<int> pixels = {1, 2, 3, 1, 1, 2, 0, 3, 2, 1, 1, 1};
    struct Row {
        int size;
        bool decodes;
    };
    for (const Row row : {Row{2, true}, Row{8, true}, Row{9, true}, Row{10, true}, Row{11, true},
                          Row{12, false}, Row{1, false}, Row{0, false}, Row{255, false}}) {
        SCOPED_TRACE(row.size);
        Bytes data = lzwData(pixels, std::clamp(row.size, 2, 11));
        data[0] = static_cast<std::uint8_t>(row.size);
        const Bytes f = GifBuilder(4, 3).rawImage(0, 0, 4, 3, data).done();
        CxImageGIF gif;
        EXPECT_EQ(decode(f, gif), row.decodes);
        if (row.decodes) {
            EXPECT_EQ(indicesOf(gif), pixels);
            EXPECT_EQ(pillowLastFrame(f, "codesize.gif"), hex(rgbaOf(gif)));
        } else {
            EXPECT_STREQ(gif.GetLastError(), "bad LZW minimum code size");
            EXPECT_FALSE(gif.IsValid());
        }
    }

    // In an animation only the frames that need the damaged one fail.
    GifBuilder g(4, 3);
    g.image(0, 0, 4, 3, pixels);
    Bytes bad = lzwData(pixels, 8);
    bad[0] = 12;
    g.rawImage(0, 0, 4, 3, bad).image(0, 0, 4, 3, filled(12, 2));
    const Bytes f = g.done();
    CxImageGIF first, second, third;
    EXPECT_TRUE(decode(f, first, 0));
    EXPECT_EQ(first.GetNumFrames(), 3);
    EXPECT_FALSE(decode(f, second, 1));
    EXPECT_FALSE(decode(f, third, 2));
}

TEST(GifDecoder, ExtensionsSetLoopsAndCommentOnlyFromTheirOwnBlocks) {
    const std::string comment40(40, 'q');
    Bytes commentExt = {0x21, 0xFE, 40};
    commentExt.insert(commentExt.end(), comment40.begin(), comment40.end());
    commentExt.insert(commentExt.end(), {3, 'x', 'y', 'z', 0});
    const Bytes netscape = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                            'E',  '2',  '.', '0', 3,   1,   7,   1,   0};
    const Bytes short10 = {0x21, 0xFF, 10,  'N', 'E', 'T', 'S', 'C', 'A',
                           'P',  'E',  '2', '.', 3,   1,   9,   0,   0};
    const Bytes xmp = {0x21, 0xFF, 11,  'X', 'M', 'P', ' ', 'D', 'a', 't', 'a',
                       'X',  'M',  'P', 5,   1,   2,   3,   4,   5,   0};
    const Bytes unknown = {0x21, 0x77, 2, 1, 2, 0};
    struct Row {
        const char* name;
        Bytes ext;
        int loops;
        std::string comment;
    };
    const Row rows[] = {{"netscape", netscape, 263, ""},
                        {"ten-byte application block", short10, 0, ""},
                        {"xmp data", xmp, 0, ""},
                        {"unknown label", unknown, 0, ""},
                        {"comment of 40", commentExt, 0, comment40},
                        // Empty blocks end at their own terminator; the image still follows.
                        {"empty comment", {0x21, 0xFE, 0}, 0, ""},
                        {"empty graphic control", {0x21, 0xF9, 0}, 0, ""}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        GifBuilder g(2, 1);
        g.raw(r.ext).image(0, 0, 2, 1, {1, 2});
        CxImageGIF gif;
        ASSERT_TRUE(decode(g.done(), gif));
        EXPECT_EQ(gif.GetLoops(), r.loops);
        EXPECT_EQ(std::string(gif.comment()), r.comment);
        EXPECT_EQ(indicesOf(gif), (std::vector<int>{1, 2}));
    }
}

TEST(GifDecoder, DamagedDataIsRefusedOrDecodedAsFarAsItIsSound) {
    GifBuilder g(8, 8, 8);
    std::vector<int> pattern;
    for (int i = 0; i < 64; ++i)
        pattern.push_back((i * 37) & 255);
    g.gce(1, 5, 4).image(0, 0, 8, 8, pattern);
    g.gce(0, -1, 4).image(2, 2, 4, 4, filled(16, 9), {}, true);
    const Bytes good = g.done();
    CxImageGIF whole;
    ASSERT_TRUE(decode(good, whole, 1));

    // Every truncation either fails cleanly or yields a screen-sized picture.
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + static_cast<long>(n));
        for (int frame : {0, 1}) {
            CxImageGIF gif;
            if (decode(cut, gif, frame)) {
                EXPECT_EQ(gif.GetWidth(), 8);
                EXPECT_EQ(rgbaOf(gif).size(), 256u);
            }
        }
    }

    // Codes past the next free slot, a data stream that ends without an end code, and a
    // sub-block longer than the file are all survived.
    const Bytes corrupt[] = {
        {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0xFF, 0xFF, 0},
        {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 1, 0x04},
        {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 200, 0x04, 0x01},
        {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0x87, 1, 2, 3},
    };
    for (const Bytes& tail : corrupt) {
        Bytes f = GifBuilder(2, 1).b;
        f.insert(f.end(), tail.begin(), tail.end());
        CxImageGIF gif;
        if (decode(f, gif)) {
            EXPECT_EQ(gif.GetWidth(), 2);
        }
    }

    // Not a GIF, or a header that stops early.
    for (const Bytes& f : {Bytes{}, Bytes{'G', 'I', 'F'},
                           Bytes{'P', 'N', 'G', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}}) {
        CxImageGIF gif;
        EXPECT_FALSE(decode(f, gif));
    }
}

TEST(GifDecoder, EscapeAsksForSizeOnlyOrCancels) {
    const Bytes f = GifBuilder(300, 7).gce(0, -1).image(0, 0, 2, 1, {1, 2}).done();
    CxImageGIF sizeOnly;
    sizeOnly.SetEscape(-1);
    ASSERT_TRUE(decode(f, sizeOnly));
    EXPECT_EQ(sizeOnly.GetWidth(), 300);
    EXPECT_EQ(sizeOnly.GetHeight(), 7);
    EXPECT_FALSE(sizeOnly.IsValid());

    CxImageGIF cancelled;
    cancelled.SetEscape(1);
    EXPECT_FALSE(decode(f, cancelled));
    EXPECT_STREQ(cancelled.GetLastError(), "decoding cancelled");

    // seek_next_image finds the image descriptor that follows a 0 byte.
    CxMemFile file(f.data(), f.size());
    CxImageGIF gif;
    EXPECT_EQ(gif.seek_next_image(&file, 0), 13 + 12 + 8);
}
