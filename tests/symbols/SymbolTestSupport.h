#pragma once

#include "document/SymbolId.h"
#include "symbols/SymbolLibrary.h"
#include "tests/gif/GifTestSupport.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by the symbol library tests: a library folder of its own per test, frames
// whose pixels say which frame they are, and the raw bytes of files.
namespace symboltest {

// The id of a process that has ended: a child made and reaped here.
inline std::int64_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// A picture of `width` x `height` whose every pixel is the colour of frame `n` (straight
// alpha, not premultiplied, so that a PNG round trip keeps every byte).
inline QImage frame(int n, int width = 12, int height = 8) {
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(QColor::fromRgb(qRgba(20 + n * 30, 200 - n * 20, (n * 67) & 0xFF, 255)));
    return picture;
}

// A picture of noise that PNG cannot shrink much (about 4 bytes a pixel stored).
inline QImage noisy(int width, int height, std::uint32_t seed = 1) {
    QImage picture(width, height, QImage::Format_ARGB32);
    std::uint32_t state = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            picture.setPixel(x, y, state >> 8 | 0xFF000000u);
        }
    return picture;
}

// The frame number `frame(n)` painted, read back from a picture's centre (-1: none matches).
inline int frameNumber(const QImage& picture) {
    if (picture.isNull())
        return -1;
    const QRgb centre = picture.pixel(picture.width() / 2, picture.height() / 2);
    for (int n = 0; n < 16; ++n)
        if (centre == frame(n).pixel(0, 0))
            return n;
    return -1;
}

// An id whose bytes are 0x00 + seed, 0x11 + seed, ..., 0xFF + seed (wrapping).
inline SymbolId fixedId(std::uint8_t seed) {
    SymbolId id;
    for (std::size_t i = 0; i < id.bytes.size(); ++i)
        id.bytes[i] = std::uint8_t(i * 0x11 + seed);
    return id;
}

inline QByteArray readAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline std::uint32_t u32At(const QByteArray& bytes, qsizetype at) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
           std::uint32_t(b[3]) << 24;
}

inline QByteArray u32(std::uint32_t value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (8 * i)) & 0xFF);
    return bytes;
}

// An animated GIF of `frames` frames of `width` x `height`, frame i filled with palette entry
// i (every entry a different colour), written by our own encoder.
inline void writeAnimatedGif(const std::string& path, int frames, int width = 24, int height = 16) {
    std::vector<CxImage> pictures;
    pictures.reserve(std::size_t(frames));
    for (int i = 0; i < frames; ++i)
        pictures.push_back(giftest::makeImage(width, height, 8, [i](int, int) { return i; }));
    std::vector<CxImage*> list;
    for (CxImage& picture : pictures)
        list.push_back(&picture);
    CxMemFile out;
    CxImageGIF encoder;
    ASSERT_TRUE(encoder.Encode(&out, list.data(), frames, true));
    giftest::writeFile(path, out.bytes());
}

// A test with a library folder of its own ("<temporary>/Actors/").
class LibraryFolderTest : public ::testing::Test {
protected:
    std::string folder() const { return m_dir.path().toStdString() + "/Actors/"; }
    std::string root() const { return m_dir.path().toStdString(); }

    // Symbols of `frameCounts[i]` frames each, added in order; their ids in that order.
    std::vector<SymbolId> addSymbols(const std::vector<int>& frameCounts) {
        std::vector<SymbolId> ids;
        for (int count : frameCounts) {
            std::vector<QImage> frames;
            for (int n = 0; n < count; ++n)
                frames.push_back(frame(n));
            const std::optional<SymbolId> id = SymbolLibrary::addSymbol(folder(), frames);
            EXPECT_TRUE(id.has_value());
            ids.push_back(id.value_or(SymbolId{}));
        }
        return ids;
    }

    static std::vector<SymbolId> idsOf(const SymbolLibrary& library) {
        std::vector<SymbolId> ids;
        for (const SymbolEntry& entry : library.entries())
            ids.push_back(entry.id);
        return ids;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace symboltest
