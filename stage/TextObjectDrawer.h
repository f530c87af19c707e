#pragma once

#include <QRect>
#include <QSize>

class QPainter;
struct ObjectRecord;

// TextObjectDrawer: what the frame renderer needs of the styled text renderer: the size of a
// text object's picture and drawing it into a box with the painter's current transform.
class TextObjectDrawer {
public:
    virtual ~TextObjectDrawer() = default;
    virtual QSize measure(const ObjectRecord& record) const = 0;
    // Draws the record's text in its style into `box` at `opacity` (0..255).
    virtual void draw(QPainter& painter, const ObjectRecord& record, const QRect& box,
                      int opacity) const = 0;
};
