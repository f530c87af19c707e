#pragma once

#include "document/Document.h"
#include "document/EditorListener.h"
#include "document/PreviewControl.h"
#include "document/ProjectEditor.h"
#include "text/TextMeasurer.h"

#include <QImage>

#include <string>
#include <vector>

// The document a TestEditor owns, constructed before the editor that refers to it.
struct TestDocumentHolder {
    Document heldDocument;
};

// An editor with a document of its own, for single-threaded tests: the accessors take the
// document's lock only to reach the lists (no worker runs), so tests read the model as data.
class TestEditor : private TestDocumentHolder, public ProjectEditor {
public:
    explicit TestEditor(EditorListener* listener = nullptr, PreviewControl* preview = nullptr)
        : ProjectEditor(heldDocument, listener, preview) {}

    Project& project() { return document().lock().project(); }
    EmbeddedSymbolList& symbols() { return document().lock().symbols(); }
    HitRegionTable& hitRegions() { return document().lock().hitRegions(); }
    const UndoHistory& history() { return document().lock().history(); }
    bool isModified() { return document().isModified(); }
    void setModified(bool modified) { document().setModified(modified); }
    int currentFrame() { return document().currentFrame(); }
};

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
            if (m == message)
                return true;
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
