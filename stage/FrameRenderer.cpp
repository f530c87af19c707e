#include "stage/FrameRenderer.h"

#include "document/ColorRef.h"

#include "document/EmbeddedSymbolList.h"
#include "document/Project.h"
#include "text/AppendedTransform.h"
#include "document/HitRegionTable.h"
#include "stage/MotionState.h"
#include "stage/PlaybackState.h"
#include "text/FontTextMeasurer.h"
#include "text/StyledTextRenderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegreesToRadians = 0.017453292;
constexpr int kTrailCopies = 5;

int truncated(double value) {
    return static_cast<int>(value);
}

// Draws picture `p` centred on (cx, cy) stage pixels, turned and scaled, at `alpha`.
void drawPicture(QPainter& painter, const QImage& p, float cx, float cy, float angle, float scaleX,
                 float scaleY, float zoom, qreal alpha) {
    const AppendedTransform matrix = AppendedTransform()
                                         .translate(-(p.width() / 2), -(p.height() / 2))
                                         .rotate(angle)
                                         .scale(scaleX * zoom, scaleY * zoom)
                                         .translate(cx * zoom, cy * zoom);
    painter.setTransform(matrix.matrix());
    painter.setOpacity(alpha);
    // The raster engine blends premultiplied pixels; converting first is cheaper than
    // letting it convert a stored ARGB picture inside the transformed draw.
    const QImage source = p.format() == QImage::Format_ARGB32_Premultiplied
                              ? p
                              : p.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    painter.drawImage(QRect(0, 0, p.width(), p.height()), source,
                      QRect(0, 0, p.width(), p.height()));
    painter.setOpacity(1.0);
    painter.resetTransform();
}

} // namespace

QRgb FrameRenderer::fromColorRef(std::uint32_t colorRef) {
    return ColorRef::toArgb(colorRef);
}

std::array<QRect, 12> FrameRenderer::handleRects(int left, int top, int right, int bottom) {
    // Handle 0 sits in the top-left corner; 1..7 go round: left middle, bottom left, bottom
    // middle, bottom right, right middle, top right, top middle. 8..11 are the rotation
    // circles diagonally outside handles 0, 2, 6 and 4.
    const QRect h0(QPoint(left - 8, top - 8), QPoint(left - 1, top - 1)); // (L-8, T-8, L, T)
    const int dy = bottom - top + 8;
    const int dx = right - left + 8;
    std::array<QRect, 12> h{};
    h[0] = h0;
    h[1] = h0.translated(0, dy / 2);
    h[2] = h0.translated(0, dy);
    h[3] = h0.translated(dx / 2, dy);
    h[4] = h0.translated(dx, dy);
    h[5] = h0.translated(dx, dy / 2);
    h[6] = h0.translated(dx, 0);
    h[7] = h0.translated(dx / 2, 0);
    h[8] = h[0].translated(-8, -8);
    h[9] = h[2].translated(-8, 8);
    h[10] = h[6].translated(8, -8);
    h[11] = h[4].translated(8, 8);
    return h;
}

std::array<QRect, 3> FrameRenderer::resizeHandles(int wz, int hz) {
    // (left, top, right, bottom): right edge, bottom edge, corner.
    return {QRect(QPoint(wz, hz / 2 - 2), QPoint(wz + 3, hz / 2 + 1)),
            QRect(QPoint(wz / 2 - 2, hz), QPoint(wz / 2 + 1, hz + 3)),
            QRect(QPoint(wz, hz), QPoint(wz + 3, hz + 3))};
}

void FrameRenderer::drawFrame(QImage& buffer, const Project& project,
                              const EmbeddedSymbolList& symbols, const HitRegionTable& regions,
                              const QImage& background, const View& view, Selection& selection,
                              PlaybackState& playback) {
    if (buffer.isNull())
        return;
    const ProjectHeader& header = project.header;
    const float zoom = view.zoom;
    const int wz = truncated(header.width * zoom);
    const int hz = truncated(header.height * zoom);

    if (view.transparent)
        buffer.fill(Qt::transparent);
    else
        buffer.fill(kSurround);
    QPainter painter(&buffer);
    if (!view.transparent) {
        painter.fillRect(QRect(0, 0, wz, hz), QColor(fromColorRef(header.backgroundColor)));
        drawBackground(painter, project, background, zoom);
    }

    playback.symbolTimes.resize(project.objects.count(), 0);
    if (view.hitRegions)
        view.hitRegions->assign(project.objects.count(), std::nullopt);
    std::uint32_t index = 0;
    for (int layer = 0; layer < project.layerCount(); ++layer) {
        const auto k = static_cast<std::uint32_t>(layer);
        const bool visible = project.layerVisible[k] == 1;
        const int count = project.layerCounts[k];
        for (int n = 0; n < count && index < project.objects.count(); ++n, ++index) {
            const AnimationObject& object = project.objects[index];
            if (view.hitRegions)
                (*view.hitRegions)[index] = hitRegion(object, regions, zoom);
            std::int32_t& symbolTime = playback.symbolTimes[index];
            if (visible) {
                // Pictures are filtered smoothly; their edges need no polygon antialiasing
                // (it costs more than the filtering and the pictures' borders are their own).
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.setRenderHint(QPainter::Antialiasing, false);
                if (object.isSymbol()) {
                    const ObjectFrameState state =
                        computeState(object, project.symbolIds[index], true, view.frame, header,
                                     symbols, view.editView, playback);
                    if (state.symbolTime >= 0)
                        symbolTime = state.symbolTime;
                    if (state.drawn)
                        drawSymbolObject(painter, state, object.record.headingOffset, zoom);
                } else {
                    drawTextObject(painter, object, project.symbolIds[index], project, symbols,
                                   view, playback, symbolTime);
                }
            }
            if (object.isSelected() && view.editView)
                drawHandles(painter, object, zoom, visible, selection);
        }
    }

    if (!view.exporting) {
        // The grey strips right of and below the stage cover what objects drew outside it.
        const int x0 = truncated(header.width * zoom - view.scrollX) + view.scrollX;
        const int y0 = truncated(header.height * zoom - view.scrollY) + view.scrollY;
        painter.fillRect(QRect(x0, 0, buffer.width() - x0, buffer.height()), QColor(kSurround));
        painter.fillRect(QRect(0, y0, buffer.width(), buffer.height() - y0), QColor(kSurround));
        drawOutline(painter, wz, hz);
    }
}

void FrameRenderer::drawBackground(QPainter& painter, const Project& project,
                                   const QImage& background, float zoom) {
    if (background.isNull())
        return;
    const ProjectHeader& h = project.header;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    switch (h.placement) {
    case kPlacementCentred: // natural size at any zoom, centred on the zoomed stage
        painter.drawImage(QPointF((h.width * zoom - background.width() * zoom) * 0.5,
                                  (h.height * zoom - background.height() * zoom) * 0.5),
                          background);
        break;
    case kPlacementTiled: // natural-size tiles from the stage's top-left corner
        painter.setBrushOrigin(0, 0);
        painter.fillRect(QRectF(0, 0, h.width * zoom, h.height * zoom), QBrush(background));
        break;
    case kPlacementStretched:
        painter.drawImage(QRect(0, 0, truncated(h.width * zoom), truncated(h.height * zoom)),
                          background);
        break;
    default: // unknown placements draw no picture
        break;
    }
}

void FrameRenderer::drawSymbolObject(QPainter& painter, const ObjectFrameState& state,
                                     int headingOffset, float zoom) {
    const QImage& p = state.symbolPicture;
    if (!state.trail) {
        drawPicture(painter, p, state.centreX, state.centreY, state.angle, state.scaleX,
                    state.scaleY, zoom, state.opacity);
        return;
    }
    // The trail: five copies ahead along the heading, 10 x scale apart, alpha rising from
    // 0.28 to 1.0; the object's own opacity is not used.
    const double theta = (state.angle - headingOffset) * kDegreesToRadians;
    const float stepX = static_cast<float>(std::sin(theta) * state.scaleX * 10.0);
    const float stepY = static_cast<float>(-std::cos(theta) * state.scaleY * 10.0);
    float cx = state.centreX;
    float cy = state.centreY;
    float alpha = 0.1f;
    for (int k = 1; k <= kTrailCopies; ++k) {
        cx += stepX;
        cy += stepY;
        alpha = std::min(alpha + 0.18f, 1.0f);
        drawPicture(painter, p, cx, cy, state.angle, state.scaleX, state.scaleY, zoom, alpha);
    }
}

void FrameRenderer::drawTextObject(QPainter& painter, const AnimationObject& object,
                                   const SymbolId& id, const Project& project,
                                   const EmbeddedSymbolList& symbols, const View& view,
                                   PlaybackState& playback, std::int32_t& symbolTime) {
    const ObjectRecord& r = object.record;
    const QSize size = FontTextMeasurer().measure(r.font, object.text());
    const ObjectFrameState state = computeState(object, id, true, view.frame, project.header,
                                                symbols, view.editView, playback);
    if (state.symbolTime >= 0)
        symbolTime = state.symbolTime;
    if (!state.drawn || state.trail)
        return;
    const int tw = size.width();
    const int th = size.height();
    const AppendedTransform matrix =
        AppendedTransform()
            .translate(-(tw / 2), -(th / 2))
            .rotate(state.angle)
            .scale(state.scaleX * view.zoom, state.scaleY * view.zoom)
            .translate(state.centreX * view.zoom, state.centreY * view.zoom);
    StyledText text;
    text.style = r.textStyle;
    text.text = object.text();
    text.font = r.font;
    text.box = QRect(0, 0, tw, th);
    text.firstColor = r.textColor;
    text.secondColor = r.secondTextColor;
    text.opacity = state.textOpacity;
    painter.setTransform(matrix.matrix());
    StyledTextRenderer::draw(painter, text);
    painter.resetTransform();
}

std::optional<QPolygonF> FrameRenderer::hitRegion(const AnimationObject& object,
                                                  const HitRegionTable& regions, float zoom) {
    const ObjectRecord& r = object.record;
    if (r.hitRegionIndex == -1)
        return std::nullopt;
    if (!regions.contains(r.hitRegionIndex)) // a stale slot picks nothing
        return QPolygonF();
    const int w = truncated(r.width * zoom * r.startScale);
    const int h = truncated(r.height * zoom * r.startScale);
    const AppendedTransform matrix =
        AppendedTransform()
            .translate(-(r.width / 2), -(r.height / 2))
            .scale(zoom * r.startScale, zoom * r.startScale)
            .rotate(r.startAngle)
            .translate(r.startX * zoom + w / 2, r.startY * zoom + h / 2);
    return matrix.matrix().map(QPolygonF(QRectF(regions.at(r.hitRegionIndex))));
}

void FrameRenderer::drawHandles(QPainter& painter, const AnimationObject& object, float zoom,
                                bool layerVisible, Selection& selection) {
    const ObjectRecord& r = object.record;
    const int w = truncated(r.width * zoom * r.startScale);
    const int h = truncated(r.height * zoom * r.startScale);
    selection.handleMatrix = AppendedTransform()
                                 .translate(-(w / 2), -(h / 2))
                                 .rotate(r.startAngle)
                                 .translate(r.startX * zoom + w / 2, r.startY * zoom + h / 2)
                                 .matrix();
    if (layerVisible) {
        // The box (0, 0, W, H) shrunk by 8 pixels on every side.
        selection.handles = handleRects(8, 8, w - 8, h - 8);
        painter.setTransform(selection.handleMatrix);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1.0));
        for (int k = 0; k < 12; ++k) {
            const QRect& box = selection.handles[static_cast<std::size_t>(k)];
            const QRectF shape(box.left(), box.top(), box.width(), box.height());
            painter.setBrush(QColor::fromRgba(k < 8 ? kHandleFill : kRotateFill));
            if (k < 8)
                painter.drawRect(shape);
            else
                painter.drawEllipse(shape);
        }
        painter.setBrush(Qt::NoBrush);
        painter.resetTransform();
    }
    selection.position = QPoint(truncated(zoom * r.startX), truncated(zoom * r.startY));
}

void FrameRenderer::drawOutline(QPainter& painter, int wz, int hz) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(kOutline), 1.0));
    painter.drawPolyline(QPolygon({QPoint(wz + 1, 0), QPoint(wz + 1, hz + 1), QPoint(0, hz + 1)}));
    for (const QRect& handle : resizeHandles(wz, hz))
        painter.fillRect(handle, QColor(kOutline));
}
