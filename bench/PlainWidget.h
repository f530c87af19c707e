#pragma once

#include <QPainter>
#include <QWidget>

// PlainWidget: the baseline of the window benchmarks: a widget that fills itself, as cheap as
// a window can paint, measured in the same run as the window under test.
class PlainWidget : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};
