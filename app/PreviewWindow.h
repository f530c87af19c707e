#pragma once

#include "document/MessageTarget.h"

#include <QWidget>

class ProjectEditor;
class StageView;

// PreviewWindow: the first application window: the open project's stage, played with the
// keyboard (Space plays or stops the preview; Left, Right, Home and End step through the
// frames). It stands where the main window's stage will be until the main window exists.
class PreviewWindow : public QWidget, public MessageTarget {
    Q_OBJECT

public:
    PreviewWindow(ProjectEditor& editor, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    StageView& stage() { return *m_stage; }
    // From the stage worker (any thread): the frame shown, the end of a preview.
    void post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showFrame(int frame);

    ProjectEditor& m_editor;
    StageView* m_stage;
};
