#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPaintDevice>
#include <QRectF>

#include <memory>
#include <vector>

// PaintRecorder: a paint device that draws nothing and records what a painter asks of it: the
// colour of every pen and brush that fills or strokes something (gradient stops and the pixels
// of pattern pictures included), each straight line with its pen, and each picture drawn.
class PaintRecorder : public QPaintDevice {
public:
    struct Line {
        QLineF line;
        QColor colour;
        qreal width;
    };
    struct Picture {
        QImage image;
        QRectF target;
    };

    PaintRecorder();
    ~PaintRecorder() override;
    QPaintEngine* paintEngine() const override;

    std::vector<QColor> colours;
    std::vector<Line> lines;
    std::vector<Picture> pictures;
    int textItems = 0;
    int shapes = 0;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    std::unique_ptr<Engine> m_engine;
};
