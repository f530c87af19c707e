#pragma once

#include <QSize>

// FitSize: the aspect-keeping fit of a picture size into a box, shared by every thumbnail (the
// library grid, the editor's preview). A picture that already fits keeps its size unless
// scaling is forced; sizes are whole pixels and the shrunk side is truncated.
class FitSize {
public:
    // 0 x 0 when any of the four sizes is 0 (or negative); the source size when it fits and
    // alwaysScale is false; else the largest size of the source's aspect inside the box.
    static QSize fit(QSize source, QSize box, bool alwaysScale = false);
};
