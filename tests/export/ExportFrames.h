#pragma once

#include "document/Document.h"
#include "export/ExportJob.h"
#include "export/ExportPipeline.h"
#include "export/ExportSource.h"
#include "export/FrameExporter.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

// Starts an empty project on `editor`: a stage of `width` x `height` in `background`
// (0x00BBGGRR), `duration` frames at `frameRate`.
inline void newStage(ProjectEditor& editor, int width, int height, int duration, int frameRate,
                     std::uint32_t background) {
    ProjectProperties properties;
    properties.name = "Export";
    properties.width = width;
    properties.height = height;
    properties.duration = duration;
    properties.frameRate = frameRate;
    properties.backgroundColor = background;
    editor.newProject(properties);
}

// Adds a symbol of one picture whose object moves in a line from `from` (frame 0) to `to`
// (frame `lastFrame`).
inline void addMover(TestEditor& editor, const QImage& picture, QPointF from, QPointF to,
                     int lastFrame) {
    editor.insertLibrarySymbol(SymbolId::create(), {picture});
    BlockList<AnimationObject>& objects = editor.project().objects;
    ObjectRecord& record = objects[objects.count() - 1].record; // appended last
    record.startX = float(from.x());
    record.startY = float(from.y());
    record.endX = float(to.x());
    record.endY = float(to.y());
    record.motionKind = kLinerMotion;
    record.motionEndFrame = lastFrame;
}

// An exporter that keeps copies of the frames it is handed and writes nothing.
class FrameCollector : public FrameExporter {
public:
    explicit FrameCollector(std::vector<QImage>& frames) : m_frames(frames) {}
    bool open(const std::string&, int, int, int) override { return true; }
    bool writeFrame(const QImage& frame, int) override {
        m_frames.push_back(frame.copy());
        return true;
    }
    bool finish() override { return true; }
    void abort() override {}
    std::string error() const override { return {}; }

private:
    std::vector<QImage>& m_frames;
};

// The frames an export of `document` hands its encoder, in order, drawn on `threads` threads
// (0: one per core).
inline std::vector<QImage> exportFrames(Document& document, int threads = 0, float zoom = 1.0f) {
    std::vector<QImage> frames;
    FrameCollector collector(frames);
    ExportJob::Options options;
    options.threads = threads;
    ExportJob::run(ExportSource::take(document, zoom), collector, "", options);
    return frames;
}

// A headless export of `document` into `path`, as the command line makes it.
inline bool exportDocument(Document& document, FrameExporter& exporter, const std::string& path,
                           std::string& error) {
    const ExportJob::Result result =
        ExportJob::run(ExportSource::take(document), exporter, path, {});
    error = result.error;
    return result.completed;
}

// An export of `document` as the application runs it: the pipeline takes the project, opens
// the file and draws and writes the frames on threads of its own until the export ends. True
// when the file was completed.
inline bool exportAsTheApplicationDoes(Document& document, const std::string& path,
                                       std::unique_ptr<FrameExporter> exporter) {
    RecordingMessageSink sink;
    ExportPipeline pipeline(document, sink, nullptr);
    if (!pipeline.start(path, std::move(exporter)))
        return false;
    pipeline.wait();
    return pipeline.reportOutcome();
}
