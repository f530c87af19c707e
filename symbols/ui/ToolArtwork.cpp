#include "symbols/ui/ToolArtwork.h"

#include <QPainter>
#include <QSvgRenderer>

#include <array>

namespace {

constexpr std::array<const char*, kPaintToolCount> kToolNames = {
    "selection", "colorpicker", "eraser",    "pencil",          "brush",   "floodfill",
    "line",      "polygon",     "rectangle", "filledrectangle", "ellipse", "filledellipse",
};
constexpr std::array<const char*, kFillTypeCount> kFillNames = {"solid", "horizontal", "vertical",
                                                                "radial"};

constexpr int kCursorSide = 32;
constexpr int kHotSpot = 7; // the crosshair's centre

} // namespace

QPixmap ToolArtwork::render(const QString& name, int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/symbols/icons/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QPixmap ToolArtwork::toolPicture(PaintTool tool, int side) {
    return render(QStringLiteral("tool-") + kToolNames[std::size_t(tool)], side);
}

QPixmap ToolArtwork::sizePicture(int button, int side) {
    const QString shape = button < 4 ? QStringLiteral("circle") : QStringLiteral("square");
    return render(QStringLiteral("size-%1-%2").arg(shape).arg(button % 4), side);
}

QPixmap ToolArtwork::fillPicture(FillType fill, int side) {
    return render(QStringLiteral("fill-") + kFillNames[std::size_t(fill)], side);
}

QCursor ToolArtwork::cursor(PaintTool tool) {
    QPixmap pixmap(kCursorSide, kCursorSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // The crosshair: four black arms with a white rim around an open centre of five pixels,
    // so that the pixel under the hot spot stays visible.
    const QRect arms[] = {{kHotSpot, 0, 1, 5},
                          {kHotSpot, kHotSpot + 3, 1, 5},
                          {0, kHotSpot, 5, 1},
                          {kHotSpot + 3, kHotSpot, 5, 1}};
    for (const QRect& arm : arms)
        painter.fillRect(arm.adjusted(-1, -1, 1, 1), Qt::white);
    for (const QRect& arm : arms)
        painter.fillRect(arm, Qt::black);
    painter.drawPixmap(12, 12, toolPicture(tool, 18));
    painter.end();
    return QCursor(pixmap, kHotSpot, kHotSpot);
}
