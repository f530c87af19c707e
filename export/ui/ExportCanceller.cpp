#include "export/ui/ExportCanceller.h"

#include "export/ExportPipeline.h"

ExportCanceller::~ExportCanceller() {
    wait();
}

void ExportCanceller::cancel(ExportPipeline& pipeline) {
    wait();
    m_busy = true;
    m_thread = std::thread([this, &pipeline] {
        pipeline.cancel();
        m_busy = false;
        emit finished();
    });
}

void ExportCanceller::wait() {
    if (m_thread.joinable())
        m_thread.join();
}
