#pragma once

#include "document/PreviewControl.h"

// PreviewPause: what every command that changes the project or the current frame does first:
// stop a running preview (waiting for the frame being drawn) and, when the command is over,
// start it again if it had been running.
class PreviewPause {
public:
    explicit PreviewPause(PreviewControl* preview)
        : m_preview(preview), m_wasRunning(preview && preview->stopPreview()) {}
    ~PreviewPause() {
        if (m_wasRunning && m_resume)
            m_preview->startPreview();
    }
    PreviewPause(const PreviewPause&) = delete;
    PreviewPause& operator=(const PreviewPause&) = delete;

    bool wasRunning() const { return m_wasRunning; }
    // The command leaves the preview stopped (a new project starts without it).
    void keepStopped() { m_resume = false; }

private:
    PreviewControl* m_preview;
    bool m_wasRunning;
    bool m_resume = true;
};
