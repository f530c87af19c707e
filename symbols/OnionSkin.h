#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

// OnionSkin: the neighbouring frames that the symbol editor can show faintly under the canvas
// picture, so that a frame is painted in step with the ones around it: the previous frame
// tinted red and the next one tinted blue, each at 30 % opacity. It is only shown: the canvas
// picture, its journal, the frames and the colour picker never see it. Each tinted copy is
// made once per neighbour picture, not on every repaint.
class OnionSkin {
public:
    static constexpr qreal kOpacity = 0.3;
    static constexpr QRgb kPreviousTint = 0xFFE0302A; // red: where the motion comes from
    static constexpr QRgb kNextTint = 0xFF2A6CE0;     // blue: where it goes
    static constexpr qreal kTintStrength = 0.75;      // how much of the colour the tint takes

    // The frames before and after the current one; a null picture stands for none.
    void setNeighbours(const QImage& previous, const QImage& next);
    bool isEmpty() const { return m_previous.tinted.isNull() && m_next.tinted.isNull(); }
    // The tinted neighbours (null when there is none).
    const QImage& previous() const { return m_previous.tinted; }
    const QImage& next() const { return m_next.tinted; }

    // Draws the neighbours at the top-left corner of the canvas, faintly, with `painter`
    // mapping canvas pixels to the screen; nothing lands outside `canvasArea` (the picture's
    // own area: a larger neighbour is cut at its edges).
    void paint(QPainter& painter, const QRect& canvasArea) const;

    // `frame` with its colours pulled towards `tint`, its alpha kept.
    static QImage tinted(const QImage& frame, QRgb tint);

private:
    struct Neighbour {
        qint64 source = 0; // cacheKey() of the picture the tinted copy was made from
        QImage tinted;
    };
    static void follow(Neighbour& neighbour, const QImage& frame, QRgb tint);

    Neighbour m_previous;
    Neighbour m_next;
};
