#pragma once

#include "document/EditorListener.h"
#include "document/PreviewControl.h"
#include "document/ProjectEditor.h"
#include "text/TextMeasurer.h"

#include <QImage>

#include <string>
#include <vector>

// A listener that records what the editor announced, in order.
class RecordingListener : public EditorListener {
public:
    std::vector<MainMessage> messages;
    int timelineRepaints = 0;

    void post(MainMessage message, std::intptr_t, std::intptr_t) override {
        messages.push_back(message);
    }
    void repaintTimeline() override { ++timelineRepaints; }
    bool saw(MainMessage message) const {
        for (MainMessage m : messages)
            if (m == message) return true;
        return false;
    }
};

// A preview that records being stopped and restarted.
class FakePreview : public PreviewControl {
public:
    bool running = false;
    int stops = 0;
    int starts = 0;

    bool stopPreview() override {
        ++stops;
        const bool was = running;
        running = false;
        return was;
    }
    void startPreview() override {
        ++starts;
        running = true;
    }
};

// Measures every non-empty text as 7 pixels per byte by 16 pixels.
class FakeMeasurer : public TextMeasurer {
public:
    QSize measure(const LogFontA&, std::string_view text) const override {
        return QSize(static_cast<int>(text.size()) * 7, text.empty() ? 0 : 16);
    }
};

inline std::vector<QImage> solidFrames(int count, int width, int height) {
    std::vector<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage frame(width, height, QImage::Format_ARGB32);
        frame.fill(qRgba(10 * i, 20, 30, 255));
        frames.push_back(frame);
    }
    return frames;
}

inline std::vector<std::string> layerNames(const Project& project) {
    std::vector<std::string> names;
    for (int k = 0; k < project.layerCount(); ++k)
        names.push_back(project.layerName(k));
    return names;
}
