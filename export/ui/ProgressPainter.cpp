#include "export/ui/ProgressPainter.h"

#include "controls/WindowShape.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor kPanelTop(0xFB, 0xFC, 0xFD);
const QColor kPanelBottom(0xE9, 0xED, 0xF2);
const QColor kPanelEdge(0x9A, 0xA6, 0xB4);
const QColor kTrack(0xD9, 0xDF, 0xE6);
const QColor kTrackEdge(0xB8, 0xC2, 0xCD);
const QColor kFillLight(0x58, 0x9C, 0xE4);
const QColor kFillDark(0x3B, 0x7F, 0xCF);
const QColor kText(0x33, 0x3B, 0x45);

} // namespace

QRect ProgressPainter::trackRect(QSize size) {
    return QRect(kBarLeft, kBarTop, std::max(0, size.width() - kBarLeft - kBarRightMargin),
                 kBarHeight);
}

QRect ProgressPainter::barRect(QSize size, int percent) {
    const QRect track = trackRect(size);
    const int filled = track.width() * std::clamp(percent, 0, 100) / 100;
    return QRect(track.left(), track.top(), filled, kBarHeight);
}

QString ProgressPainter::percentText(int percent) {
    return QString::number(percent) + QStringLiteral(" %");
}

void ProgressPainter::paint(QPainter& painter, QSize size, int percent) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0, kPanelTop);
    shade.setColorAt(1, kPanelBottom);
    WindowShape::paintFace(painter, QRect(QPoint(0, 0), size), kCornerRadius, shade, kPanelEdge);

    const QRectF track = QRectF(trackRect(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(kTrackEdge, 1));
    painter.setBrush(kTrack);
    painter.drawRoundedRect(track, 3, 3);

    const QRect bar = barRect(size, percent);
    if (bar.width() > 0) {
        QLinearGradient fill(0, bar.top(), 0, bar.bottom());
        fill.setColorAt(0, kFillLight);
        fill.setColorAt(1, kFillDark);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(bar), 3, 3);
    }

    painter.setPen(kText);
    const QRect text(kBarLeft, 55, std::max(0, size.width() - 140), 20);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, percentText(percent));
    painter.restore();
}
