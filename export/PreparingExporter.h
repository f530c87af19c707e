#pragma once

#include "export/FrameExporter.h"

#include <memory>
#include <string>

// PreparingExporter: an exporter whose every frame goes through its own prepare() (the work
// of the drawing threads) before writePrepared() writes it in order. writeFrame() prepares
// the frame on the calling thread; a frame prepared by another rule is prepared again. The
// message of the last failure is kept for error().
class PreparingExporter : public FrameExporter {
public:
    bool writeFrame(const QImage& frame, int index) final {
        const std::unique_ptr<PreparedFrame> prepared = prepare(frame);
        return writePrepared(*prepared, index);
    }
    std::string error() const override { return m_error; }

protected:
    // `frame` as this exporter's prepare() makes it (of type Prepared): itself, or prepared
    // now into `made`; null when prepare() makes another type.
    template <class Prepared>
    Prepared* own(PreparedFrame& frame, std::unique_ptr<PreparedFrame>& made) const {
        if (auto* mine = dynamic_cast<Prepared*>(&frame))
            return mine;
        made = prepare(frame.picture);
        return dynamic_cast<Prepared*>(made.get());
    }
    // Keeps `message` (a sentence without its full stop) for error(); false.
    bool fail(const std::string& message) {
        m_error = message + ".";
        return false;
    }
    void clearError() { m_error.clear(); }

private:
    std::string m_error;
};
