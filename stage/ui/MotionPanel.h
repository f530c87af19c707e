#pragma once

#include "document/DocumentChange.h"
#include "stage/MotionPanelModel.h"

#include <QWidget>

#include <array>

class FlatSlider;
class ImageButton;
class MessageSink;
class QComboBox;
class QPushButton;

// MotionPanel: the motion property panel's window: eleven sliders of the program's own look
// with their labels, the Liner and guide-line toggles, the guide-line dialog button and the
// easing chooser (each curve with a small drawing of it), laid out by the selected object's
// motion kind, each slider with the value it stands for beside it.
// Its MotionPanelModel hands every change to the command layer; the panel places, paints and
// forwards, and reads the selected object again whenever the command layer announces a change
// of the objects or the selection.
class MotionPanel : public QWidget, private ChangeListener {
    Q_OBJECT

public:
    MotionPanel(ProjectEditor& editor, MessageSink& sink, const LanguageTable& texts,
                QWidget* parent = nullptr);
    ~MotionPanel() override;

    MotionPanelModel& model() { return m_model; }
    // Reads the selected object again.
    void load();
    FlatSlider* slider(int command) const;
    QPushButton* toggle(int command) const;
    QPushButton* guideLineButton() const { return m_dialogButton; }
    QComboBox* easingChooser() const { return m_easing; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentChanged(DocumentChange change) override;
    void layoutControls();
    void openGuideLineDialog();

    ProjectEditor& m_editor;
    MessageSink& m_sink;
    const LanguageTable& m_texts;
    MotionPanelModel m_model;
    std::array<FlatSlider*, MotionPanelModel::kSliderCount> m_sliders{};
    QPushButton* m_liner;
    QPushButton* m_guideLine;
    QPushButton* m_dialogButton;
    QComboBox* m_easing;
};
