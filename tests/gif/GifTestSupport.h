#pragma once

#include "gif/CxImage.h"
#include "gif/CxImageGIF.h"
#include "gif/CxMemFile.h"

#include "tests/ProgramRun.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Helpers shared by the GIF tests: building palette images, writing and reading bytes, and
// asking outside programs (Pillow, gifsicle) what they see in a file.
namespace giftest {

using Bytes = std::vector<std::uint8_t>;

inline std::string testData(const std::string& rel) {
    return std::string(ZENTRAVO_SOURCE_DIR) + "/../shared/testdata/gif/" + rel;
}

inline Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Palette image whose entry i is a distinct colour; pixel(x, yFromTop) gives each index.
template <typename F> CxImage makeImage(int w, int h, int bpp, F pixel) {
    CxImage image;
    image.Create(w, h, bpp);
    for (std::uint32_t i = 0; i < image.GetNumColors(); ++i)
        image.SetPaletteColor(i, RGBQUAD{static_cast<std::uint8_t>(i * 7 + 3),
                                         static_cast<std::uint8_t>(255 - i),
                                         static_cast<std::uint8_t>(i * 13 + 1), 0});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelIndex(x, h - 1 - y, static_cast<std::uint8_t>(pixel(x, y)));
    return image;
}

// Deterministic noise (a linear congruential generator), for content LZW cannot shrink.
inline std::uint32_t noise(std::uint32_t n) {
    return (n * 1103515245u + 12345u) >> 16;
}

inline Bytes encodeOne(CxImageGIF& gif) {
    CxMemFile out;
    gif.Encode(&out);
    return out.bytes();
}

inline bool decode(const Bytes& bytes, CxImageGIF& gif, int frame = 0) {
    CxMemFile in(bytes.data(), bytes.size());
    gif.SetFrame(frame);
    return gif.Decode(&in);
}

// Pixel indices of an image, top row first.
inline std::vector<int> indicesOf(const CxImage& image) {
    std::vector<int> v;
    for (int y = image.GetHeight() - 1; y >= 0; --y)
        for (int x = 0; x < image.GetWidth(); ++x)
            v.push_back(image.GetPixelIndex(x, y));
    return v;
}

// Straight RGBA bytes, top row first (alpha 0 for transparent pixels).
inline Bytes rgbaOf(const CxImage& image) {
    Bytes v;
    for (int y = image.GetHeight() - 1; y >= 0; --y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y, true);
            v.insert(v.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved});
        }
    return v;
}

// Runs a program to its end: its standard output, followed by its standard error when
// `withErrors`; its exit code in *status (-1 when it crashed or did not finish).
inline std::string run(const std::string& program, const std::vector<std::string>& arguments,
                       int* status = nullptr, bool withErrors = false) {
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    const ProgramRun result = ProgramRun::of(QString::fromStdString(program), list);
    if (status) *status = result.exitCode;
    return (result.out + (withErrors ? result.err : QByteArray())).toStdString();
}

// What Pillow sees, one line per frame: "duration loop(-1 when absent) <hex RGBA bytes>".
inline std::vector<std::string> pillowFrames(const std::string& path) {
    const std::string script = "import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\n"
                               "for n in range(getattr(im, 'n_frames', 1)):\n"
                               "    im.seek(n)\n"
                               "    print(im.info.get('duration', 0), im.info.get('loop', -1),"
                               " im.convert('RGBA').tobytes().hex())\n";
    const std::string out = run("/usr/bin/python3", {"-c", script, path}, nullptr, true);
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = out.find('\n', start)) != std::string::npos) {
        lines.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::string hex(const Bytes& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (std::uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

} // namespace giftest
