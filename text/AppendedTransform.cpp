#include "text/AppendedTransform.h"

// QTransform multiplies row vectors: in a * b, a applies first, so appending is a right product.

AppendedTransform& AppendedTransform::translate(qreal dx, qreal dy) {
    m_matrix = m_matrix * QTransform::fromTranslate(dx, dy);
    return *this;
}

AppendedTransform& AppendedTransform::rotate(qreal degrees) {
    m_matrix = m_matrix * QTransform().rotate(degrees);
    return *this;
}

AppendedTransform& AppendedTransform::scale(qreal sx, qreal sy) {
    m_matrix = m_matrix * QTransform::fromScale(sx, sy);
    return *this;
}
