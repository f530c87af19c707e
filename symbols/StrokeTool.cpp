#include "symbols/StrokeTool.h"

#include "document/ColorRef.h"
#include "symbols/PaintStyle.h"
#include "symbols/PathGradient.h"

#include <QPainterPath>

namespace {

constexpr int kEraseBelowBlue = 100;

} // namespace

void StrokeTool::press(QPoint point) {
    m_points = {point};
    m_moves = 0;
}

bool StrokeTool::move(QPoint point) {
    m_points.append(point);
    return ++m_moves % kBrushRepaintMoves == 0;
}

void StrokeTool::clear() {
    m_points.clear();
    m_moves = 0;
}

void StrokeTool::drawSegments(QPainter& painter, const QPen& pen) const {
    painter.setPen(pen);
    for (qsizetype i = 1; i < m_points.size(); ++i) {
        if (m_points[i - 1] != m_points[i])
            painter.drawLine(m_points[i - 1], m_points[i]);
    }
}

void StrokeTool::commitEraser(QImage& picture, const ToolSettings& settings) const {
    QImage mask(picture.size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    {
        QPainter painter(&mask);
        PaintStyle::setHighQuality(painter);
        drawSegments(painter, PaintStyle::pen(settings, Qt::black));
    }
    for (int y = 0; y < picture.height(); ++y) {
        const auto* maskRow = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qBlue(maskRow[x]) < kEraseBelowBlue)
                row[x] &= 0x00FFFFFF; // alpha 0, colour bytes kept
        }
    }
}

QImage StrokeTool::makeDab(const ToolSettings& settings) {
    const int side = settings.size + kDabGrowth;
    QPainterPath outline;
    if (settings.shape == PenShape::Round)
        outline.addEllipse(0, 0, side, side);
    else
        outline.addRect(0, 0, side, side);
    QPoint origin;
    return PathGradient::render(outline.toFillPolygon(), QPointF(side / 2.0, side / 2.0),
                                ColorRef::toColor(settings.color, 255),
                                ColorRef::toColor(settings.color, 0), QRect(0, 0, side, side),
                                &origin);
}

void StrokeTool::drawBrush(QImage& picture, const ToolSettings& settings) {
    if (m_dab.isNull() || !(settings == m_dabSettings)) {
        m_dab = makeDab(settings);
        m_dabSettings = settings;
    }
    QPainter painter(&picture);
    PaintStyle::setHighQuality(painter);
    for (const QPoint& point : m_points)
        painter.drawImage(point, m_dab);
}
