#include "stage/ui/StageCursors.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

QCursor fromPicture(const char* name, int hotX, int hotY) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer(QStringLiteral(":/stage/%1.svg").arg(QLatin1String(name))).render(&painter);
    painter.end();
    return QCursor(pixmap, hotX, hotY);
}

} // namespace

const QCursor& StageCursors::rotation() {
    static const QCursor cursor = fromPicture("rotate", 12, 12);
    return cursor;
}

const QCursor& StageCursors::guideLine() {
    static const QCursor cursor = fromPicture("guideline", 3, 21);
    return cursor;
}

const QCursor& StageCursors::dial() {
    static const QCursor cursor = fromPicture("dial", 12, 12);
    return cursor;
}
