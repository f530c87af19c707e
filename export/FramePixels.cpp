#include "export/FramePixels.h"

#include <QPainter>

QImage FramePixels::forOutput(const QImage& frame, bool keepAlpha, std::uint32_t background) {
    if (keepAlpha)
        return frame.format() == QImage::Format_ARGB32
                   ? frame
                   : frame.convertToFormat(QImage::Format_ARGB32);
    if (!frame.hasAlphaChannel())
        return frame.format() == QImage::Format_RGB32 ? frame
                                                      : frame.convertToFormat(QImage::Format_RGB32);
    QImage opaque(frame.size(), QImage::Format_RGB32);
    opaque.fill(QColor::fromRgb(background | 0xFF000000u));
    QPainter painter(&opaque);
    painter.drawImage(0, 0, frame);
    return opaque;
}
