#pragma once

#include "text/LogFontA.h"

#include <QRect>
#include <QSize>
#include <QTransform>

#include <cstdint>
#include <string>

class QPainter;

// The inputs of one drawing of a text object's text.
struct StyledText {
    std::int32_t style = -1;       // 1..8 pick a style; any other number draws the fallback style
    std::string text;              // the record's 8-bit text; at most 260 UTF-16 units are drawn
    LogFontA font{};               // the record's logical font
    QRect box;                     // left, top, width, height; callers pass (0, 0, W, H)
    std::uint32_t firstColor = 0;  // 0x00BBGGRR
    std::uint32_t secondColor = 0; // 0x00BBGGRR
    int opacity = 255;             // 0..255, the alpha of every colour the styles build
};

// StyledTextRenderer: draws a text in one of the eight text styles (gradients, hatches,
// outlines, soft glows) or the fallback style, with the caller's painter and the world
// transform the caller set; it never moves or turns the text itself. The painter's state is
// left as it was found. Stateless: every call builds and drops its fonts, brushes and pictures.
class StyledTextRenderer {
public:
    static void draw(QPainter& painter, const StyledText& text);
    // The style list's preview: draws with the transform of previewTransform() (replacing the
    // painter's world transform for the call) and the box (0, 0, width, height).
    static void drawTransformed(QPainter& painter, const StyledText& text, qreal angle,
                                qreal scale);
    // Centre the measured text on the origin (integer halves), rotate by `angle` degrees
    // clockwise, scale uniformly, then move it so that its scaled box starts at `topLeft`.
    static QTransform previewTransform(QSize measured, qreal angle, qreal scale, QPoint topLeft);
};
