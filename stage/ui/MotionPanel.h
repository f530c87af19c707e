#pragma once

#include "stage/MotionPanelModel.h"

#include <QWidget>

#include <array>

class FlatSlider;
class ImageButton;
class MessageSink;
class QPushButton;

// MotionPanel: the motion property panel's window: eleven sliders of the program's own look
// with their labels, the Liner and guide-line toggles and the guide-line dialog button, laid
// out by the selected object's motion kind. Its MotionPanelModel writes every change into the
// object; the panel only places, paints and forwards.
class MotionPanel : public QWidget {
    Q_OBJECT

public:
    MotionPanel(Document& document, MessageTarget* target, MessageSink& sink,
                const LanguageTable& texts, QWidget* parent = nullptr);

    MotionPanelModel& model() { return m_model; }
    // Reads the selected object again (the main window calls it on UM_OBJECTS_CHANGED).
    void load();
    FlatSlider* slider(int command) const;
    QPushButton* toggle(int command) const;
    QPushButton* guideLineButton() const { return m_dialogButton; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutControls();
    void openGuideLineDialog();

    Document& m_document;
    MessageTarget* m_target;
    MessageSink& m_sink;
    const LanguageTable& m_texts;
    MotionPanelModel m_model;
    std::array<FlatSlider*, MotionPanelModel::kSliderCount> m_sliders{};
    QPushButton* m_liner;
    QPushButton* m_guideLine;
    QPushButton* m_dialogButton;
};
