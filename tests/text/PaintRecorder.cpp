#include "tests/text/PaintRecorder.h"

#include <QBrush>
#include <QGradient>
#include <QPaintEngine>
#include <QPen>

#include <set>

class PaintRecorder::Engine : public QPaintEngine {
public:
    explicit Engine(PaintRecorder& owner) : QPaintEngine(AllFeatures), m_owner(owner) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyPen) m_pen = state.pen();
        if (state.state() & DirtyBrush) m_brush = state.brush();
    }

    void drawPath(const QPainterPath&) override { shape(true); }
    void drawPolygon(const QPointF*, int, PolygonDrawMode mode) override {
        shape(mode != PolylineMode);
    }
    void drawLines(const QLineF* lines, int count) override {
        shape(false);
        for (int i = 0; i < count; ++i)
            m_owner.lines.push_back({lines[i], m_pen.color(), m_pen.widthF()});
    }
    void drawTextItem(const QPointF&, const QTextItem&) override {
        ++m_owner.textItems;
        record(m_pen.brush());
    }
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override {
        m_owner.pictures.push_back({pixmap.toImage().copy(source.toRect()), target});
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags) override {
        m_owner.pictures.push_back({image.copy(source.toRect()), target});
    }

private:
    void shape(bool filled) {
        ++m_owner.shapes;
        if (filled) record(m_brush);
        if (m_pen.style() != Qt::NoPen) record(m_pen.brush());
    }

    void record(const QBrush& brush) {
        switch (brush.style()) {
        case Qt::NoBrush:
            break;
        case Qt::LinearGradientPattern:
        case Qt::RadialGradientPattern:
        case Qt::ConicalGradientPattern:
            for (const QGradientStop& stop : brush.gradient()->stops())
                m_owner.colours.push_back(stop.second);
            break;
        case Qt::TexturePattern: {
            const QImage image = brush.textureImage().convertToFormat(QImage::Format_ARGB32);
            std::set<QRgb> distinct;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    distinct.insert(image.pixel(x, y));
            for (QRgb rgba : distinct)
                m_owner.colours.push_back(QColor::fromRgba(rgba));
            break;
        }
        default:
            m_owner.colours.push_back(brush.color());
            break;
        }
    }

    PaintRecorder& m_owner;
    QPen m_pen;
    QBrush m_brush;
};

PaintRecorder::PaintRecorder() : m_engine(std::make_unique<Engine>(*this)) {}

PaintRecorder::~PaintRecorder() = default;

QPaintEngine* PaintRecorder::paintEngine() const {
    return m_engine.get();
}

int PaintRecorder::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
    case PdmHeight:
        return 2000;
    case PdmWidthMM:
    case PdmHeightMM:
        return 530;
    case PdmNumColors:
        return 0;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}
