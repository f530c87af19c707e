#pragma once

#include "document/Document.h"
#include "export/ExportPipeline.h"
#include "export/FrameExporter.h"
#include "stage/StageCanvas.h"
#include "stage/StageWorker.h"
#include "tests/document/RecordingMessageSink.h"

#include <memory>
#include <string>
#include <vector>

// An export of `document` as the application runs it: the pipeline prepares the stage, then
// the stage worker's passes (the requested redraw, then one export frame per pass) run until
// the export ends. True when the file was completed.
inline bool exportThroughWorker(Document& document, const std::string& path,
                                std::unique_ptr<FrameExporter> exporter) {
    StageCanvas canvas(document);
    const ProjectHeader header = document.lock().project().header;
    canvas.setStageSize(header.width, header.height);
    StageWorker worker(canvas, nullptr);
    RecordingMessageSink sink;
    ExportPipeline pipeline(canvas, worker, sink, nullptr);
    if (!pipeline.start(path, std::move(exporter), 0))
        return false;
    for (int pass = 0; pass < 100000 && canvas.isExporting(); ++pass) {
        worker.redrawStep();
        worker.frameStep();
    }
    return pipeline.reportOutcome();
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
