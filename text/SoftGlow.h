#pragma once

#include <QPointF>
#include <QSize>

#include <functional>

class QPainter;

// SoftGlow: a blurred copy of some drawing, made without a blur filter: the drawing is made
// shrunk by a factor f (1/2, 1/4 or 1/8) into a temporary picture of the text's size and then
// drawn enlarged by 1/f with smooth interpolation, which softens every edge.
class SoftGlow {
public:
    // Settings of every painter that draws text: anti-aliased shapes and glyphs, smooth
    // (interpolated) scaling of pictures.
    static void applyQualityHints(QPainter& painter);

    // Runs `content` on a painter over a transparent w x h picture whose world transform
    // shrinks by `factor` (the picture's content lands in its top-left w*f x h*f corner), then
    // draws the picture on `target` at `at`, enlarged by 1/factor. An empty size draws nothing.
    static void draw(QPainter& target, QSize size, qreal factor, QPointF at,
                     const std::function<void(QPainter&)>& content);
};
