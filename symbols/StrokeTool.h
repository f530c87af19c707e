#pragma once

#include "symbols/ToolSettings.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QVector>

// StrokeTool: the free-hand tools (eraser, pencil, brush) and their stroke point list in canvas
// pixels. A press starts the list, every move appends a point. The eraser and the pencil draw
// the list's segments at the release; the brush draws a dab at every point of the list at every
// third move, so the dabs of early points are drawn again and again and build up.
class StrokeTool {
public:
    static constexpr int kBrushRepaintMoves = 3;
    static constexpr int kDabGrowth = 5; // a dab is size + 5 pixels wide and high

    void press(QPoint point);
    // Appends the point; true when the brush is due to draw (every third move of the stroke).
    bool move(QPoint point);
    void clear();
    bool isEmpty() const { return m_points.isEmpty(); }
    const QVector<QPoint>& points() const { return m_points; }

    // The segments between successive points with `pen`; segments whose ends coincide are
    // skipped.
    void drawSegments(QPainter& painter, const QPen& pen) const;
    // Eraser: the segments drawn in black on a white mask; every pixel whose mask blue is below
    // 100 becomes fully transparent and keeps its colour bytes.
    void commitEraser(QImage& picture, const ToolSettings& settings) const;
    // Brush: a dab with its top-left corner at every point of the list, opaque current colour in
    // the middle fading to transparent at its edge (a disc for round, a square for square).
    void drawBrush(QImage& picture, const ToolSettings& settings);

    // The dab of the settings (premultiplied), as drawBrush() draws it.
    static QImage makeDab(const ToolSettings& settings);

private:
    QVector<QPoint> m_points;
    int m_moves = 0;
    QImage m_dab; // cached for the settings below
    ToolSettings m_dabSettings;
};
