#pragma once

#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "document/SymbolId.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <utility>
#include <vector>

// BusyProject: a project in which every frame changes almost everywhere, built in code:
// 640 x 480 at 24 frames a second, 60 frames, 30 symbol objects of 110 to 230 pixels, shaded
// with gradients, that cross the whole stage on guide lines, turning and growing or shrinking
// on the way. Together they cover most of the stage in every frame, so a frame's changed
// rectangle is nearly the whole stage and its colours are many (gradients, antialiased edges
// at every angle).
class BusyProject {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    static constexpr int kFrames = 60;
    static constexpr int kFrameRate = 24;
    static constexpr int kObjects = 30;

    // Replaces the project of `document` with the busy one.
    static void open(Document& document) {
        ProjectEditor editor(document);
        ProjectProperties properties;
        properties.name = "Busy";
        properties.width = kWidth;
        properties.height = kHeight;
        properties.duration = kFrames;
        properties.frameRate = kFrameRate;
        properties.backgroundColor = 0x283848;
        editor.newProject(properties);
        for (int i = 0; i < kObjects; ++i) {
            const int size = 110 + (i * 37) % 121;
            if (!editor.insertLibrarySymbol(SymbolId::create(), {picture(i, size)}))
                return;
            const int index = i; // each symbol object is the last one added
            editor.editObject(index, [i](AnimationObject& object) { place(object, i); });
        }
    }

private:
    // A colourful shape: a disc, a rounded square or a star, lit from the upper left.
    static QImage picture(int i, int size) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor base = QColor::fromHsv((i * 47) % 360, 140 + (i * 29) % 110, 230);
        const QColor dark = QColor::fromHsv((i * 47 + 40) % 360, 255, 90);
        QPainterPath shape;
        const QRectF box(2, 2, size - 4, size - 4);
        switch (i % 3) {
        case 0:
            shape.addEllipse(box);
            break;
        case 1:
            shape.addRoundedRect(box, size / 6.0, size / 6.0);
            break;
        default:
            for (int k = 0; k < 10; ++k) {
                const double angle = k * M_PI / 5 - M_PI / 2;
                const double radius = (k % 2 ? 0.22 : 0.48) * size;
                const QPointF p(size / 2.0 + radius * std::cos(angle),
                                size / 2.0 + radius * std::sin(angle));
                k == 0 ? shape.moveTo(p) : shape.lineTo(p);
            }
            shape.closeSubpath();
        }
        QRadialGradient light(size * 0.35, size * 0.3, size * 0.75);
        light.setColorAt(0, Qt::white);
        light.setColorAt(0.25, base);
        light.setColorAt(1, dark);
        painter.fillPath(shape, light);
        // A band in a second hue, so that each object has two gradients.
        QLinearGradient band(0, size * 0.55, size, size * 0.75);
        band.setColorAt(0, QColor::fromHsv((i * 47 + 180) % 360, 200, 250, 170));
        band.setColorAt(1, QColor::fromHsv((i * 47 + 220) % 360, 255, 120, 170));
        painter.setClipPath(shape);
        painter.fillRect(QRectF(0, size * 0.55, size, size * 0.18), band);
        painter.setClipping(false);
        painter.setPen(QPen(dark.darker(150), 3));
        painter.drawPath(shape);
        return image;
    }

    // Object i's motion: a guide line across the whole stage, a Lissajous curve of its own
    // (half or whole sine periods in x and y from its own phases), so that the objects stay
    // spread over the stage in every frame; they turn with their heading on the way and grow
    // or shrink.
    static void place(AnimationObject& object, int i) {
        ObjectRecord& r = object.record;
        const double periodsX = 0.5 + 0.5 * (i % 2), periodsY = 0.5 + 0.5 * ((i / 2) % 2);
        const double phaseX = std::fmod(i * 0.137, 1.0), phaseY = std::fmod(i * 0.291, 1.0);
        constexpr int kPoints = 120;
        object.guidePoints.clear();
        for (int k = 0; k < kPoints; ++k) {
            const double t = double(k) / (kPoints - 1);
            const double x = kWidth / 2.0 * (1 + std::sin(2 * M_PI * (periodsX * t + phaseX)));
            const double y = kHeight / 2.0 * (1 + std::sin(2 * M_PI * (periodsY * t + phaseY)));
            object.guidePoints.append({int(std::lround(x)), int(std::lround(y))});
        }
        r.guidePointCount = std::int32_t(object.guidePoints.count());
        r.motionKind = kGuideLineMotion;
        r.headingOffset = (i * 53) % 360;
        r.startScale = 0.8f + float(i % 4) * 0.1f;
        r.endScale = 1.3f - float(i % 3) * 0.15f;
        r.startFrame = r.motionStartFrame = 0;
        r.endFrame = r.motionEndFrame = kFrames;
    }
};
