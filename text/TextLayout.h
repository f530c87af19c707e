#pragma once

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

// TextLayout: where the lines of a text sit in a font when it is drawn from a point, the way
// the platform's default string format lays text out: every line begins 1/6 em in from the
// left (room for overhanging glyphs), lines are one line spacing apart, and the measured box
// is the widest line plus 1/6 em at each end by the number of lines times the line spacing.
// Line breaks are CR LF, LF or CR. An empty text measures 0 x 0.
class TextLayout {
public:
    struct Line {
        QString text;
        QPointF baseline; // from the layout's origin
    };

    TextLayout(const QFont& font, const QString& text);

    const QFont& font() const { return m_font; }
    const QList<Line>& lines() const { return m_lines; }
    // The measured box in fractional pixels, and truncated to whole pixels.
    QSizeF size() const { return m_size; }
    QSize wholePixelSize() const;

    // Draws every line with the painter's current pen, whose brush fills the glyphs.
    void draw(QPainter& painter, QPointF origin) const;
    // Adds the glyph outlines of every line to `path`.
    void addToPath(QPainterPath& path, QPointF origin) const;

private:
    QFont m_font;
    QList<Line> m_lines;
    QSizeF m_size;
};
