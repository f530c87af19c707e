#include "app/PreviewWindow.h"

#include "document/ProjectEditor.h"
#include "stage/ui/StageView.h"

#include <QKeyEvent>
#include <QVBoxLayout>

PreviewWindow::PreviewWindow(ProjectEditor& editor, QWidget* parent)
    : QWidget(parent), m_editor(editor), m_stage(new StageView(editor, this, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stage);
    m_editor.setPreviewControl(&m_stage->canvas());
    m_stage->canvas().setEditView(false);
    setFocusPolicy(Qt::StrongFocus);
    resize(m_stage->sizeHint()); // the whole stage with its outline
    showFrame(0);
}

PreviewWindow::~PreviewWindow() {
    m_editor.setPreviewControl(nullptr);
    m_stage->worker().stop();
}

void PreviewWindow::post(MainMessage message, std::intptr_t, std::intptr_t lparam) {
    if (message != MainMessage::CurrentFrame)
        return;
    // Messages come from the stage worker: hand them to the UI thread.
    const int frame = static_cast<int>(lparam);
    QMetaObject::invokeMethod(
        this, [this, frame] { showFrame(frame); }, Qt::QueuedConnection);
}

void PreviewWindow::showFrame(int frame) {
    auto lock = m_editor.document().lock();
    setWindowTitle(QString("%1 - frame %2 of %3 - Zentravo")
                       .arg(QString::fromStdString(lock.project().name()))
                       .arg(frame + 1)
                       .arg(lock.project().header.duration));
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    StageCanvas& canvas = m_stage->canvas();
    switch (event->key()) {
    case Qt::Key_Space:
        canvas.togglePreview();
        break;
    case Qt::Key_Right:
        m_editor.stepFrame(FrameStep::Next);
        break;
    case Qt::Key_Left:
        m_editor.stepFrame(FrameStep::Previous);
        break;
    case Qt::Key_Home:
        m_editor.stepFrame(FrameStep::First);
        break;
    case Qt::Key_End:
        m_editor.stepFrame(FrameStep::Last);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    showFrame(canvas.currentFrame());
}
