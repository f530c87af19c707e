#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

// SymbolFrame: one frame of a library symbol, in memory a 32-bit ARGB picture
// (QImage::Format_ARGB32, not premultiplied) of the size its record states, and on disk the PNG
// bytes of that picture. The conversions in both directions live here, so that the symbol file
// codec, the library and the editor store and read frames alike.
class SymbolFrame {
public:
    // Largest side a stored frame may state (pixels); larger records are damaged, not pictures.
    static constexpr std::uint32_t kMaxSide = 16384;

    // The frame's picture as a complete 32-bit PNG (colour type 6, 8 bits a channel), encoded
    // by the program's PNG encoder; empty when the picture is null or cannot be encoded.
    static QByteArray encode(const QImage& picture);
    // The picture in `png`, or a null image when the bytes are not a PNG, or when their
    // picture is not exactly width x height (a record whose sizes disagree with its PNG is
    // refused: copying it into a picture of the stated size would read past the decoded one).
    static QImage decode(const QByteArray& png, std::uint32_t width, std::uint32_t height);
};
