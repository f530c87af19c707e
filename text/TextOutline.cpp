#include "text/TextOutline.h"

#include "text/LogFontConverter.h"
#include "text/PathMemo.h"
#include "text/TextLayout.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <cstdlib>

namespace {

// Deepest halving of one cubic: 2^12 segments, far below any tolerance used here.
constexpr int kMaxDepth = 12;

qreal distanceToChord(QPointF p, QPointF a, QPointF b) {
    const QPointF chord = b - a;
    const qreal length = std::hypot(chord.x(), chord.y());
    if (length < 1e-9)
        return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs(chord.x() * (p.y() - a.y()) - chord.y() * (p.x() - a.x())) / length;
}

// Appends the cubic a-b-c-d (a already in `polygon`) as straight segments.
void addCubic(QPolygonF& polygon, QPointF a, QPointF b, QPointF c, QPointF d, qreal tolerance,
              int depth) {
    if (depth >= kMaxDepth ||
        std::max(distanceToChord(b, a, d), distanceToChord(c, a, d)) <= tolerance) {
        polygon << d;
        return;
    }
    // Halve at t = 0.5 (de Casteljau).
    const QPointF ab = (a + b) / 2, bc = (b + c) / 2, cd = (c + d) / 2;
    const QPointF abc = (ab + bc) / 2, bcd = (bc + cd) / 2;
    const QPointF mid = (abc + bcd) / 2;
    addCubic(polygon, a, ab, abc, mid, tolerance, depth + 1);
    addCubic(polygon, mid, bcd, cd, d, tolerance, depth + 1);
}

// Recently built paths: a text on the stage is drawn again on every frame.
PathMemo& memo() {
    static PathMemo paths(128);
    return paths;
}

// The input bytes of a computation: a tag, then the given values' bytes.
template <typename... Parts> QByteArray memoInput(char tag, const Parts&... parts) {
    QByteArray input(1, tag);
    (input.append(reinterpret_cast<const char*>(&parts), sizeof parts), ...);
    return input;
}

} // namespace

int TextOutline::emSize(std::int32_t height) {
    const std::int64_t h =
        height == 0 ? LogFontConverter::kDefaultCellHeight : std::llabs(std::int64_t(height));
    const std::int64_t em = h * 27 / 40;
    return int(std::min<std::int64_t>(em, LogFontConverter::kMaxEmPixels));
}

QPainterPath TextOutline::textPath(const LogFontA& font, const QString& text,
                                   const QRectF& layout) {
    const QPointF origin = layout.topLeft();
    QByteArray input = memoInput('t', font, origin);
    input.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    const std::uint64_t hash = PathMemo::hashBytes(input.constData(), std::size_t(input.size()));
    return memo().get(hash, input, [&] { return buildTextPath(font, text, layout); });
}

QPainterPath TextOutline::buildTextPath(const LogFontA& font, const QString& text,
                                        const QRectF& layout) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const int em = emSize(font.height);
    if (text.isEmpty() || em <= 0)
        return path;
    QFont bold(LogFontConverter::faceName(font));
    bold.setPixelSize(em);
    bold.setWeight(QFont::Bold);
    TextLayout(bold, text).addToPath(path, layout.topLeft());
    return path;
}

QPainterPath TextOutline::flattened(const QPainterPath& path, qreal tolerance) {
    QPainterPath result;
    result.setFillRule(path.fillRule());
    QPolygonF polygon;
    const auto flush = [&] {
        if (polygon.size() > 1)
            result.addPolygon(polygon);
        polygon.clear();
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            flush();
            polygon << QPointF(e);
            break;
        case QPainterPath::LineToElement:
            polygon << QPointF(e);
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount() && !polygon.isEmpty()) {
                addCubic(polygon, polygon.back(), QPointF(e), QPointF(path.elementAt(i + 1)),
                         QPointF(path.elementAt(i + 2)), tolerance, 0);
            }
            i += 2;
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    flush();
    return result;
}

QPainterPath TextOutline::outline(const QPainterPath& path, qreal tolerance) {
    // Keyed by every element of the path: merging overlaps is the costly step.
    QByteArray input = memoInput('o', tolerance, path.fillRule());
    input.reserve(input.size() + path.elementCount() * int(sizeof(QPainterPath::Element)));
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        input.append(reinterpret_cast<const char*>(&e.x), sizeof e.x);
        input.append(reinterpret_cast<const char*>(&e.y), sizeof e.y);
        input.append(char(e.type));
    }
    const std::uint64_t hash = PathMemo::hashBytes(input.constData(), std::size_t(input.size()));
    return memo().get(hash, input, [&] { return buildOutline(path, tolerance); });
}

QPainterPath TextOutline::buildOutline(const QPainterPath& path, qreal tolerance) {
    QPainterPath flat = flattened(path, tolerance);
    flat.setFillRule(Qt::WindingFill);
    return flat.simplified();
}

void TextOutline::traceEmbossed(QPainter& painter, const QPainterPath& path, const QPen& upLeftPen,
                                const QPen& otherPen) {
    QPointF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            current = QPointF(e);
        } else if (e.type == QPainterPath::LineToElement) {
            const QPointF next(e);
            const bool upLeft = next.x() <= current.x() && next.y() <= current.y();
            painter.setPen(upLeft ? upLeftPen : otherPen);
            painter.drawLine(current, next);
            current = next;
        }
    }
}
