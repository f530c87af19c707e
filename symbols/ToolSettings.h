#pragma once

#include <cstdint>

// The twelve painting tools in palette order; the numbers are the palette's tool indexes.
enum class PaintTool : int {
    Selection = 0,
    ColorPicker = 1,
    Eraser = 2,
    Pencil = 3,
    Brush = 4,
    FloodFill = 5,
    Line = 6,
    Polygon = 7, // "3D Frame Tool"
    Rectangle = 8,
    FilledRectangle = 9,
    Ellipse = 10,
    FilledEllipse = 11,
};
inline constexpr int kPaintToolCount = 12;

// How filled shapes and the closed polygon are filled.
enum class FillType : int {
    Solid = 0,
    HorizontalGradient = 1, // opaque at the left edge, transparent at the right
    VerticalGradient = 2,   // opaque at the top, transparent at the bottom
    RadialGradient = 3,     // opaque at the centre, transparent on the outline
};
inline constexpr int kFillTypeCount = 4;

// Pen caps and brush dabs: square (0) or round (1).
enum class PenShape : int {
    Square = 0,
    Round = 1,
};

// ToolSettings: what the palette hands the canvas: pen size in canvas pixels, pen shape, tool,
// fill type and the current colour (0x00BBGGRR). The defaults are the palette's initial state.
struct ToolSettings {
    int size = 5;
    PenShape shape = PenShape::Round;
    PaintTool tool = PaintTool::Selection;
    FillType fill = FillType::Solid;
    std::uint32_t color = 0x000000;

    bool operator==(const ToolSettings&) const = default;
};
