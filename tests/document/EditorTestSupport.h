#pragma once

#include "document/Document.h"
#include "document/DocumentChange.h"
#include "document/PreviewControl.h"
#include "document/ProjectEditor.h"
#include "text/TextMeasurer.h"

#include <QImage>

#include <string>
#include <vector>

// The tests' way past the command layer, to arrange a state in one step (a real program has
// only the editor's commands). Single-threaded tests only: no worker may run meanwhile.
struct DocumentTestAccess {
    static Project& project(Document& document) { return document.m_project; }
    static EmbeddedSymbolList& symbols(Document& document) { return document.m_symbols; }
    static HitRegionTable& hitRegions(Document& document) { return document.m_hitRegions; }
    static void setModified(Document& document, bool modified) { document.setModified(modified); }
};

// The document a TestEditor owns, constructed before the editor that refers to it.
struct TestDocumentHolder {
    Document heldDocument;
};

// An editor with a document of its own, for single-threaded tests: the accessors reach the
// lists past the lock (no worker runs), so tests read and arrange the model as data.
class TestEditor : private TestDocumentHolder, public ProjectEditor {
public:
    explicit TestEditor(ChangeListener* listener = nullptr, PreviewControl* preview = nullptr)
        : ProjectEditor(heldDocument, preview) {
        subscribe(listener);
    }

    Project& project() { return DocumentTestAccess::project(heldDocument); }
    EmbeddedSymbolList& symbols() { return DocumentTestAccess::symbols(heldDocument); }
    HitRegionTable& hitRegions() { return DocumentTestAccess::hitRegions(heldDocument); }
    const UndoHistory& history() { return document().lock().history(); }
    bool isModified() { return document().isModified(); }
    void setModified(bool modified) { DocumentTestAccess::setModified(heldDocument, modified); }
    int currentFrame() { return document().currentFrame(); }
};

// A listener that records what the command layer announced, in order.
class RecordingListener : public ChangeListener {
public:
    std::vector<DocumentChange> changes;

    void documentChanged(DocumentChange change) override { changes.push_back(change); }
    // True when some announcement included any of `kinds`.
    bool saw(std::uint32_t kinds) const {
        for (DocumentChange change : changes)
            if (change.has(kinds))
                return true;
        return false;
    }
    void clear() { changes.clear(); }
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
