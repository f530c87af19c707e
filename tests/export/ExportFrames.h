#pragma once

#include "document/Document.h"
#include "export/BatchExport.h"

#include <QImage>

#include <vector>

// The frames an export of `document` hands its encoder, in order.
inline std::vector<QImage> exportFrames(Document& document) {
    std::vector<QImage> frames;
    BatchExport::drawExportFrames(document, 1.0f, [&frames](QImage frame, int) {
        frames.push_back(frame.copy());
        return true;
    });
    return frames;
}
