#pragma once

#include "document/MessageTarget.h"

// EditorListener: where the project model announces its changes. The main window implements
// it (messages, timeline repaint); tests record the calls.
class EditorListener : public MessageTarget {
public:
    // The timeline must be painted again (selection, spans or layers changed).
    virtual void repaintTimeline() = 0;
    // The stage size changed (new project, properties, open): resize the stage and timeline.
    virtual void stageSizeChanged(int width, int height) {
        (void)width;
        (void)height;
    }
};
