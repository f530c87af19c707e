#pragma once

#include <QWidget>

class Document;

// GuideLineArea: the drawing area of the guide line dialog: the stage with a margin of 120
// pixels on every side (white), the object's guide points as small blue-edged squares joined
// by lines. While the left button is held every move adds the pointer's stage position to the
// end of the object's guide points, unless it equals the last one.
class GuideLineArea : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMargin = 120;

    GuideLineArea(Document& document, int objectIndex, QSize stageSize, QWidget* parent = nullptr);

    // Empties the object's guide points: the next stroke starts a new line.
    void clear();
    int pointCount() const;

signals:
    // A stroke ended (the button was released) after adding points.
    void strokeFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Document& m_document;
    int m_objectIndex;
    bool m_held = false;
    bool m_added = false;
};
