#pragma once

#include <QDialog>
#include <QImage>

class AngleDial;
class GuideLineArea;
class ProjectEditor;

// GuideLineDialog: where the guide line of an object is drawn and its heading set: a
// caption-less, rounded 640 x 580 dialog with the scrollable drawing area, a button that
// clears the line, the angle dial that sets the heading offset to 360 - degrees, and the
// object's picture with an arrow at the chosen angle. Each stroke, clear and turn of the dial
// is one change of the command layer (one undo step).
class GuideLineDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kClearCommand = 9559;

    GuideLineDialog(ProjectEditor& editor, int objectIndex, QWidget* parent = nullptr);

    GuideLineArea& area() { return *m_area; }
    AngleDial& dial() { return *m_dial; }
    int headingDegrees() const { return m_degrees; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setHeading(int degrees);

    ProjectEditor& m_editor;
    int m_objectIndex;
    GuideLineArea* m_area;
    AngleDial* m_dial;
    QImage m_picture;
    int m_degrees = 0;
    QPoint m_dragOffset;
};
