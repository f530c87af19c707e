#pragma once

#include <QWidget>

class ProjectEditor;

// GuideLineArea: the drawing area of the guide line dialog: the stage with a margin of 120
// pixels on every side (white), the object's guide points as small blue-edged squares joined
// by lines. While the left button is held every move adds the pointer's stage position to the
// end of the object's guide points, unless it equals the last one; a stroke is one drag of the
// command layer (one undo step when it added points).
class GuideLineArea : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMargin = 120;

    GuideLineArea(ProjectEditor& editor, int objectIndex, QSize stageSize,
                  QWidget* parent = nullptr);

    // Empties the object's guide points (one undo step): the next stroke starts a new line.
    void clear();
    int pointCount() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void endStroke();

    ProjectEditor& m_editor;
    int m_objectIndex;
    bool m_held = false;
};
