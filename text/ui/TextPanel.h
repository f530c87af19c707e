#pragma once

#include "document/AnimationObject.h"
#include "text/ui/TextPanelModel.h"

#include <QWidget>

#include <deque>
#include <functional>
#include <optional>

class CTavColorPicker;
class LanguageTable;
class MessageSink;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class StyleList;

// TextPanel: where a new text object is composed: its text, font face and size, two colours
// and a style chosen from live previews. Apply builds the text object record and hands it to
// the object handler (the main window's: the command layer adds it); without one it is kept
// for takeTextObject(). Choosing a style sets both colour pickers to the style's default
// colours.
class TextPanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int kApplyCommand = 10121;
    static constexpr std::uint32_t kFirstPickerStart = TextStyleColours::colorRef(200, 200, 255);
    static constexpr std::uint32_t kSecondPickerStart = TextStyleColours::colorRef(176, 176, 255);

    // Messages go to `sink`.
    TextPanel(const LanguageTable& texts, MessageSink& sink, QWidget* parent = nullptr);

    // The families the font list offers: installed, scalable (outline styles need outlines),
    // not vertical ("@" names) and not the system's private ones, in the database's order.
    static QStringList usableFonts();
    // The family the application's general font resolves to (the desktop's sans face): the
    // face list starts on it when it offers it, else on its first family.
    static QString defaultFace();

    // Where Apply hands a finished text object.
    void setObjectHandler(std::function<void(AnimationObject)> handler) {
        m_objectHandler = std::move(handler);
    }
    // The oldest record made by Apply that nobody has taken yet (without a handler).
    std::optional<AnimationObject> takeTextObject();
    // True while the text edit has the focus (Enter and Delete then belong to it).
    bool editHasFocus() const;

    // Builds the record from the controls; posts it, or says that the text is empty.
    void apply();
    // Selects a style cell (-1: none) as a click does: both pickers take its colours.
    void chooseStyle(int position);

    const TextPanelModel& model() const { return m_model; }
    QPlainTextEdit& textEdit() const { return *m_edit; }
    QComboBox& faceBox() const { return *m_face; }
    QComboBox& sizeBox() const { return *m_size; }
    CTavColorPicker& firstPicker() const { return *m_first; }
    CTavColorPicker& secondPicker() const { return *m_second; }
    StyleList& styleList() const { return *m_styles; }
    QPushButton& applyButton() const { return *m_apply; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    void limitText();

    const LanguageTable& m_texts;
    MessageSink& m_sink;
    std::function<void(AnimationObject)> m_objectHandler;
    TextPanelModel m_model;
    QPlainTextEdit* m_edit;
    QComboBox* m_face;
    QComboBox* m_size;
    CTavColorPicker* m_first = nullptr;
    CTavColorPicker* m_second = nullptr;
    StyleList* m_styles;
    QPushButton* m_apply;
    std::deque<ObjectRecord> m_finished;
};
