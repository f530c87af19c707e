#include "controls/WindowShape.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QWidget>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#endif

namespace {

#if QT_CONFIG(xcb)
// A compositing manager owns the selection "_NET_WM_CM_S<screen>" of the screen it composites.
bool x11Composited(xcb_connection_t* connection) {
    const std::string name = "_NET_WM_CM_S0";
    const auto atomCookie = xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.data());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom)
        return false;
    const auto ownerCookie = xcb_get_selection_owner(connection, atom->atom);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr), &std::free);
    return owner && owner->owner != XCB_NONE;
}
#endif

} // namespace

bool WindowShape::translucencyAvailable() {
#if QT_CONFIG(xcb)
    // The offscreen platform answers for X11 too, without a connection.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && x11->connection())
        return x11Composited(x11->connection());
#endif
    return true;
}

void WindowShape::round(QWidget& window, int radius, bool translucent) {
    if (translucent) {
        window.setAttribute(Qt::WA_TranslucentBackground);
        return;
    }
    QPainterPath shape;
    shape.addRoundedRect(QRectF(window.rect()), radius, radius);
    window.setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void WindowShape::paintFace(QPainter& painter, const QRect& area, int radius, const QBrush& face,
                            const QColor& edge) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // The half-pixel inset puts the one-pixel edge on whole pixels.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.fillPath(outline, face);
    painter.setPen(edge);
    painter.drawPath(outline);
    painter.restore();
}
