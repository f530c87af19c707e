#pragma once

#include "symbols/ToolSettings.h"

#include <QCursor>
#include <QPixmap>
#include <QString>

// ToolArtwork: the pictures of the tool palette's buttons and the canvas's tool cursors, drawn
// from the SVG artwork in the resources (":/symbols/icons/").
class ToolArtwork {
public:
    static QPixmap toolPicture(PaintTool tool, int side);
    // Size button 0..7: four round dots, then four squares, small to extra large.
    static QPixmap sizePicture(int button, int side);
    static QPixmap fillPicture(FillType fill, int side);
    // A crosshair whose centre is the hot spot, with the tool's picture at its lower right.
    static QCursor cursor(PaintTool tool);

private:
    static QPixmap render(const QString& name, int side);
};
