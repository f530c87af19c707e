#pragma once

#include <QPointF>
#include <QWidget>

// AngleDial: a round knob that sets an angle measured clockwise from straight up. Pressing
// and dragging with the left button turns it to the pointer: the press emits pressed(), every
// move moved() with the angle in whole degrees, the release released() with the same degrees.
class AngleDial : public QWidget {
    Q_OBJECT

public:
    explicit AngleDial(QWidget* parent = nullptr);

    // The angle of `p` about `centre`, clockwise from straight up, in radians 0..2 pi: on the
    // vertical through the centre it is 0 at or above the centre and pi below it.
    static double angleAt(QPointF centre, QPointF p);
    // Whole degrees of an angle in radians (truncated).
    static int degreesOf(double radians);

    double angle() const { return m_angle; }
    void setAngle(double radians);

signals:
    void pressed();
    void moved(int degrees);
    void released(int degrees);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF centre() const;

    double m_angle = 0.0;
    bool m_held = false;
};
