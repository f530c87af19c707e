#pragma once

#include "symbols/PaintCanvas.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

// A painting canvas over a temporary program folder, counting what it reports.
struct TestCanvas {
    QTemporaryDir root;
    ProgramFolders folders{root.path().toStdString()};
    PaintCanvas canvas{folders};
    int changes = 0;
    std::vector<std::uint32_t> picked;

    explicit TestCanvas(QSize size = QSize(60, 40), QRgb fill = 0x00000000) {
        canvas.setCallbacks(
            {[this] { ++changes; }, [this](std::uint32_t color) { picked.push_back(color); }, {}});
        QImage frame(size, QImage::Format_ARGB32);
        frame.fill(fill);
        canvas.setPicture(frame);
    }

    // Palette settings for `tool`; colour 0x00BBGGRR.
    void use(PaintTool tool, int size = 5, PenShape shape = PenShape::Round,
             FillType fill = FillType::Solid, std::uint32_t color = 0x0000FF) {
        canvas.applyToolChange(ToolSettings{size, shape, tool, fill, color});
    }
    // Press at the first point, move through the others, release at the last.
    void stroke(std::initializer_list<QPoint> points) {
        const std::vector<QPoint> list(points);
        canvas.pointer(PointerAction::Press, list.front());
        for (std::size_t i = 1; i < list.size(); ++i)
            canvas.pointer(PointerAction::Move, list[i]);
        canvas.pointer(PointerAction::Release, list.back());
    }
    void click(QPoint point) { stroke({point}); }

    QRgb pixel(int x, int y) const { return canvas.picture().pixel(x, y); }
    int alpha(int x, int y) const { return qAlpha(pixel(x, y)); }
};

// "AARRGGBB" for readable failures.
inline std::string hex(QRgb value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}
