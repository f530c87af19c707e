#include "symbols/CanvasRenderer.h"

#include "symbols/Checkerboard.h"
#include "symbols/OnionSkin.h"
#include "symbols/PaintCanvas.h"

#include <QImage>

void CanvasRenderer::paint(QPainter& painter, const PaintCanvas& canvas, const QRect& exposed,
                           const OnionSkin* onion) {
    const CanvasViewport& view = canvas.viewport();
    painter.fillRect(exposed, QColor::fromRgb(kSurround));
    const QRect area(QPoint(-view.horizontalOffset(), -view.verticalOffset()), view.zoomedSize());
    painter.setBrushOrigin(area.topLeft());
    painter.fillRect(area.intersected(exposed), QBrush(Checkerboard::pattern()));

    painter.save();
    painter.setClipRect(exposed);
    const QTransform toClient = view.canvasToClient();
    painter.setTransform(toClient, true);
    if (onion)
        onion->paint(painter, QRect(QPoint(0, 0), canvas.size()));
    painter.drawImage(QPointF(0, 0), canvas.picture());
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRect visible = toClient.inverted().mapRect(QRectF(exposed)).toAlignedRect();
    canvas.paintPreview(painter, visible.adjusted(-1, -1, 1, 1));
    painter.restore();
}

QRgb CanvasRenderer::shownColor(const PaintCanvas& canvas, QPoint client) {
    QImage pixel(1, 1, QImage::Format_RGB32);
    QPainter painter(&pixel);
    painter.translate(-client);
    paint(painter, canvas, QRect(client, QSize(1, 1)));
    painter.end();
    return pixel.pixel(0, 0);
}
