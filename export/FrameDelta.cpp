#include "export/FrameDelta.h"

#include <algorithm>
#include <cstring>

namespace {

// Called for every pixel of every changed row: kept small enough to be inlined.
inline bool within(QRgb a, QRgb b, int tolerance) {
    if (((a ^ b) & 0xFFFFFF) == 0)
        return true;
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr <= tolerance * tolerance && dg * dg <= tolerance * tolerance &&
           db * db <= tolerance * tolerance;
}

// RGBA bytes (red, green, blue, alpha) of an opaque pixel.
void putOpaque(uchar* out, QRgb colour) {
    out[0] = static_cast<uchar>(qRed(colour));
    out[1] = static_cast<uchar>(qGreen(colour));
    out[2] = static_cast<uchar>(qBlue(colour));
    out[3] = 255;
}

} // namespace

FrameDelta::Change FrameDelta::next(const QImage& input) {
    const QImage frame =
        input.format() == QImage::Format_RGB32 || input.format() == QImage::Format_ARGB32
            ? input
            : input.convertToFormat(QImage::Format_RGB32);
    const int width = frame.width();
    const int height = frame.height();
    Change change;
    if (m_shown.isNull() || m_shown.size() != frame.size()) {
        m_shown = frame.convertToFormat(QImage::Format_RGB32);
        m_shown.detach();
        change.rect = QRect(0, 0, width, height);
        change.pixels = QImage(width, height, QImage::Format_RGBA8888);
        for (int y = 0; y < height; ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            uchar* out = change.pixels.scanLine(y);
            for (int x = 0; x < width; ++x)
                putOpaque(out + x * 4, in[x]);
        }
        change.painted = qint64(width) * height;
        return change;
    }

    // The rectangle around every pixel that must be painted.
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        const QRgb* shown = reinterpret_cast<const QRgb*>(m_shown.constScanLine(y));
        if (std::memcmp(in, shown, std::size_t(width) * sizeof(QRgb)) == 0)
            continue; // still rows are the common case
        int first = 0;
        while (first < width && within(in[first], shown[first], m_tolerance))
            ++first;
        if (first == width)
            continue;
        int last = width - 1;
        while (within(in[last], shown[last], m_tolerance))
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0) {
        // Nothing to paint: one transparent pixel keeps the frame (and its delay) in the file.
        change.rect = QRect(0, 0, 1, 1);
        change.pixels = QImage(1, 1, QImage::Format_RGBA8888);
        change.pixels.fill(Qt::transparent);
        return change;
    }

    change.rect = QRect(QPoint(left, top), QPoint(right, bottom));
    change.pixels = QImage(change.rect.size(), QImage::Format_RGBA8888);
    for (int y = top; y <= bottom; ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        QRgb* shown = reinterpret_cast<QRgb*>(m_shown.scanLine(y));
        uchar* out = change.pixels.scanLine(y - top);
        for (int x = left; x <= right; ++x, out += 4) {
            if (within(in[x], shown[x], m_tolerance)) {
                out[0] = out[1] = out[2] = out[3] = 0;
            } else {
                putOpaque(out, in[x]);
                shown[x] = in[x] | 0xFF000000u;
                ++change.painted;
            }
        }
    }
    return change;
}
