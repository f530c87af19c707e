// LZW encoding and decoding of 8-bit 640 x 480 frames: CxImageGIF against giflib on the same
// indices in the same run. Prints the time ratios (ours / giflib) and the size ratio of the
// encoded data after the benchmark table.
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"

#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Bytes = std::vector<std::uint8_t>;

// "natural": what the export quantizes from a rendered stage: a vertical gradient sky, a
// few filled discs and stripes, with a 2x2 ordered dither between neighbouring entries.
// "noisy": independent random indices, the worst case for LZW.
Bytes makeIndices(bool noisy) {
    Bytes v(static_cast<std::size_t>(kWidth) * kHeight);
    std::uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            int index;
            if (noisy) {
                seed = seed * 1103515245u + 12345u;
                index = static_cast<int>((seed >> 16) & 255);
            } else {
                index = y * 96 / kHeight + (((x ^ y) & 1) && (y % 5 == 0) ? 1 : 0);
                const double d1 = std::hypot(x - 200.0, y - 240.0);
                const double d2 = std::hypot(x - 470.0, y - 180.0);
                if (d1 < 120) index = 120 + static_cast<int>(d1) / 12;
                if (d2 < 90) index = 160 + static_cast<int>(d2) / 9 + ((x + y) & 1);
                if (y > 400) index = 200 + (x / 40) % 8;
            }
            v[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(index);
        }
    }
    return v;
}

CxImage makeImage(const Bytes& indices) {
    CxImage image;
    image.Create(kWidth, kHeight, 8);
    for (std::uint32_t i = 0; i < 256; ++i)
        image.SetPaletteColor(i, RGBQUAD{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                         static_cast<std::uint8_t>(i), 0});
    for (int y = 0; y < kHeight; ++y)
        std::memcpy(image.topRow(y), indices.data() + static_cast<std::size_t>(y) * kWidth, kWidth);
    return image;
}

Bytes ourEncode(CxImageGIF& gif) {
    CxMemFile out;
    gif.Encode(&out);
    return out.bytes();
}

int giflibWrite(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct ReadCursor {
    const Bytes* bytes;
    std::size_t pos;
};

int giflibRead(GifFileType* gif, GifByteType* data, int length) {
    auto* c = static_cast<ReadCursor*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(length), c->bytes->size() - c->pos);
    std::memcpy(data, c->bytes->data() + c->pos, n);
    c->pos += n;
    return static_cast<int>(n);
}

Bytes giflibEncode(const Bytes& indices, ColorMapObject* map) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, giflibWrite, &error);
    EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
    for (int y = 0; y < kHeight; ++y)
        EGifPutLine(
            gif, const_cast<GifPixelType*>(indices.data()) + static_cast<std::size_t>(y) * kWidth,
            kWidth);
    EGifCloseFile(gif, &error);
    return out;
}

bool giflibDecode(const Bytes& file, Bytes& pixels) {
    ReadCursor cursor{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&cursor, giflibRead, &error);
    if (!gif) return false;
    GifRecordType type;
    bool ok = false;
    while (DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK) break;
            for (int y = 0; y < gif->Image.Height; ++y)
                DGifGetLine(gif, pixels.data() + static_cast<std::size_t>(y) * kWidth,
                            gif->Image.Width);
            ok = true;
        } else if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* ext;
            DGifGetExtension(gif, &code, &ext);
            while (ext)
                DGifGetExtensionNext(gif, &ext);
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

struct Case {
    Bytes indices;
    CxImage image;
    Bytes ours;
    Bytes giflib;
};

std::map<std::string, Case>& cases() {
    static std::map<std::string, Case> all;
    return all;
}

Case& caseFor(bool noisy) {
    Case& c = cases()[noisy ? "noisy" : "natural"];
    if (c.indices.empty()) {
        c.indices = makeIndices(noisy);
        c.image = makeImage(c.indices);
        CxImageGIF gif;
        gif.Ghost(&c.image);
        c.ours = ourEncode(gif);
        ColorMapObject* map = GifMakeMapObject(256, nullptr);
        for (int i = 0; i < 256; ++i)
            map->Colors[i] = GifColorType{static_cast<GifByteType>(i), static_cast<GifByteType>(i),
                                          static_cast<GifByteType>(i)};
        c.giflib = giflibEncode(c.indices, map);
        GifFreeMapObject(map);
    }
    return c;
}

void BM_EncodeOurs(benchmark::State& state) {
    Case& c = caseFor(state.range(0) != 0);
    CxImageGIF gif;
    gif.Ghost(&c.image);
    for (auto _ : state)
        benchmark::DoNotOptimize(ourEncode(gif));
    state.counters["bytes"] = static_cast<double>(c.ours.size());
}

void BM_EncodeGiflib(benchmark::State& state) {
    Case& c = caseFor(state.range(0) != 0);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i)
        map->Colors[i] = GifColorType{static_cast<GifByteType>(i), static_cast<GifByteType>(i),
                                      static_cast<GifByteType>(i)};
    for (auto _ : state)
        benchmark::DoNotOptimize(giflibEncode(c.indices, map));
    GifFreeMapObject(map);
    state.counters["bytes"] = static_cast<double>(c.giflib.size());
}

void BM_DecodeOurs(benchmark::State& state) {
    Case& c = caseFor(state.range(0) != 0);
    for (auto _ : state) {
        CxImageGIF gif;
        CxMemFile in(c.ours.data(), c.ours.size());
        if (!gif.Decode(&in) || std::memcmp(gif.topRow(0), c.indices.data(), kWidth) != 0)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(gif.topRow(0));
    }
}

void BM_DecodeGiflib(benchmark::State& state) {
    Case& c = caseFor(state.range(0) != 0);
    Bytes pixels(c.indices.size());
    for (auto _ : state) {
        if (!giflibDecode(c.ours, pixels)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(pixels.data());
    }
}

BENCHMARK(BM_EncodeOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeGiflib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGiflib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(RatioReporter::Clock::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratios of CPU time and size, ours / giflib (time below 1.0 is faster; size "
                "below 1.0 is smaller):\n");
    for (int noisy : {0, 1}) {
        const std::string arg = "/" + std::to_string(noisy);
        const char* label = noisy ? "noisy  " : "natural";
        const double enc =
            reporter.time("BM_EncodeOurs" + arg) / reporter.time("BM_EncodeGiflib" + arg);
        const double dec =
            reporter.time("BM_DecodeOurs" + arg) / reporter.time("BM_DecodeGiflib" + arg);
        const Case& c = caseFor(noisy != 0);
        std::printf("  %s  encode time %.2f  decode time %.2f  file size %.4f (%zu / %zu bytes)\n",
                    label, enc, dec,
                    static_cast<double>(c.ours.size()) / static_cast<double>(c.giflib.size()),
                    c.ours.size(), c.giflib.size());
    }
    benchmark::Shutdown();
    return 0;
}
