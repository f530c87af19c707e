#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// ProgressPainter: the look shared by the progress window and its modeless twin, drawn in one
// flat style: a light panel with corners rounded by a 16 x 16 ellipse, a bar track from
// (20, 22), 14 pixels high, filled in proportion to the percent, and the percent written as
// "<n> %" under the bar's start. The track ends 30 pixels before the right edge, in line with
// the progress window's button below it.
class ProgressPainter {
public:
    static constexpr int kCornerRadius = 8;
    static constexpr int kBarLeft = 20;
    static constexpr int kBarTop = 22;
    static constexpr int kBarHeight = 14;
    static constexpr int kBarRightMargin = 30;

    // The whole track, and its filled part for `percent` (clamped to 0..100).
    static QRect trackRect(QSize size);
    static QRect barRect(QSize size, int percent);
    static QString percentText(int percent);

    // Paints the panel, bar and text over the whole of `size` (antialiased corners: the
    // widget's background shows through outside them).
    static void paint(QPainter& painter, QSize size, int percent);
};
