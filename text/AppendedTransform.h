#pragma once

#include <QTransform>

// AppendedTransform: builds a world transform step by step in the order the drawing recipes
// list the steps: each step applies after all the steps before it ("appended"). Angles are
// degrees, positive clockwise on the screen (y grows downward).
class AppendedTransform {
public:
    AppendedTransform& translate(qreal dx, qreal dy);
    AppendedTransform& rotate(qreal degrees);
    AppendedTransform& scale(qreal sx, qreal sy);
    const QTransform& matrix() const { return m_matrix; }

private:
    QTransform m_matrix;
};
