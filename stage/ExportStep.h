#pragma once

#include "document/Document.h"

#include <QImage>

class StageCanvas;

// ExportStep: one frame of a running export. The stage worker draws the current frame into
// the export-size back buffer and, still holding the document's lock, hands it over; the step
// writes it out and advances (or ends) the export through the canvas.
class ExportStep {
public:
    virtual ~ExportStep() = default;
    virtual void exportFrame(const QImage& frame, StageCanvas& canvas, Document::Lock& lock) = 0;
};
