// A window with the tool palette and a canvas holding a drawing at zoom 2, the way the symbol
// editor places them, for looking at under Xvfb:
//   xvfb-run -a sh -c 'zentravo_symbols_screenshot 5 & sleep 3; import -window root shot.png'
// Closes itself after the given number of seconds (default 5).
#include "symbols/ui/PaintCanvasView.h"
#include "symbols/ui/ToolPalette.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void draw(PaintCanvas& canvas, ToolSettings settings, std::initializer_list<QPoint> points) {
    canvas.applyToolChange(settings);
    const std::vector<QPoint> list(points);
    canvas.pointer(PointerAction::Press, list.front());
    for (std::size_t i = 1; i < list.size(); ++i)
        canvas.pointer(PointerAction::Move, list[i]);
    canvas.pointer(PointerAction::Release, list.back());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    QTemporaryDir root;

    QWidget window;
    window.setWindowTitle("Paint canvas");
    window.resize(560, 320);
    ToolPalette palette(&window);
    palette.setGeometry(20, 10, 88, 300);
    PaintCanvasView view(ProgramFolders(root.path().toStdString()), &window);
    view.setGeometry(120, 40, 410, 270);
    QObject::connect(&palette, &ToolPalette::toolChanged,
                     [&] { view.applyToolChange(palette.settings()); });

    QImage frame(240, 240, QImage::Format_ARGB32); // the size of a new symbol's frame
    frame.fill(Qt::transparent);
    PaintCanvas& canvas = view.canvas();
    canvas.setPicture(frame);
    using T = PaintTool;
    using F = FillType;
    const auto round = PenShape::Round;
    draw(canvas, {1, round, T::FilledRectangle, F::HorizontalGradient, 0x3C9E2F},
         {{8, 8}, {70, 40}});
    draw(canvas, {1, round, T::FilledEllipse, F::RadialGradient, 0xD87F2F}, {{60, 20}, {120, 70}});
    draw(canvas, {3, PenShape::Square, T::Rectangle, F::Solid, 0x4E4133}, {{10, 60}, {50, 100}});
    draw(canvas, {5, round, T::Pencil, F::Solid, 0x2020E0},
         {{20, 110}, {40, 90}, {70, 105}, {90, 85}});
    draw(canvas, {8, round, T::Brush, F::Solid, 0xC040C0},
         {{100, 80}, {104, 84}, {108, 88}, {112, 92}, {116, 96}, {120, 100}, {124, 102}});
    draw(canvas, {6, round, T::Eraser, F::Solid, 0}, {{12, 20}, {60, 28}});
    draw(canvas, {1, round, T::Selection, F::Solid, 0}, {{130, 10}, {150, 40}});
    for (int i = 0; i < 4; ++i)
        canvas.zoomIn();
    canvas.viewport().setOffsets(20, 60);

    // Through the palette: an ellipse with the large round pen, left in the middle of its drag
    // so that its preview shows.
    palette.toolButton(T::Ellipse)->click();
    palette.sizeButton(2)->click();
    canvas.pointer(PointerAction::Press, {90, 60});
    canvas.pointer(PointerAction::Move, {150, 110});

    window.show();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}
