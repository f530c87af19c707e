#pragma once

#include <QTransform>

// AppendedTransform: builds a transform step by step, each step applied after the steps
// before it (a point is first moved by the first step). QTransform's own translate(), scale()
// and rotate() apply before the existing transform, so the drawing code builds its matrices
// through this class to keep the written order the order of application.
class AppendedTransform {
public:
    AppendedTransform& translate(qreal dx, qreal dy) {
        m_transform = m_transform * QTransform::fromTranslate(dx, dy);
        return *this;
    }
    AppendedTransform& scale(qreal sx, qreal sy) {
        m_transform = m_transform * QTransform::fromScale(sx, sy);
        return *this;
    }
    // Degrees; positive turns clockwise on a y-down screen.
    AppendedTransform& rotate(qreal degrees) {
        QTransform rotation;
        rotation.rotate(degrees);
        m_transform = m_transform * rotation;
        return *this;
    }
    const QTransform& transform() const { return m_transform; }

private:
    QTransform m_transform;
};
