#pragma once

#include "controls/ColorPopup.h"

#include <QAbstractButton>
#include <QPointer>

#include <cstdint>
#include <optional>

// CTavColorPicker: a button showing a colour; a click drops down the ColorPopup, whose outcome
// becomes the picker's colour. Its progress is reported through notified() with the message
// numbers of the colour fields' owners. Colours are 0x00BBGGRR; ColorPopupModel::kDefaultColour
// stands for "Automatic" and is kept and reported as that value.
class CTavColorPicker : public QAbstractButton {
    Q_OBJECT

public:
    enum Notification : int {
        SelectionChanged = 2025, // the highlight moved (colour, 0), or a choice changed the colour
        DropDown = 2026,         // the popup opened (the picker's colour)
        CloseUp = 2027,          // the popup closed, whatever the outcome
        SelectionEndOk = 2028,   // the user chose a colour
        SelectionEndCancel = 2029,
    };
    // Which of the two colours the picker edits.
    static constexpr int kEditsTextColour = 1;
    static constexpr int kEditsBackgroundColour = 2;

    explicit CTavColorPicker(QWidget* parent = nullptr, int controlId = 0);

    // The colour the selection mode chooses: the text colour in mode 1, else the background.
    std::uint32_t color() const;
    void setColor(std::uint32_t color);
    void setBackgroundColor(std::uint32_t color);
    void setTextColor(std::uint32_t color);
    std::uint32_t backgroundColor() const { return m_background; }
    std::uint32_t textColor() const { return m_text; }
    // An empty text removes its entry from the popup.
    void setEntryTexts(const QString& automatic, const QString& moreColours);
    void setSelectionMode(int mode);
    int selectionMode() const { return m_mode; }
    // When set, the colour follows the popup's highlight while the popup is open.
    void setTrackSelection(bool track) { m_track = track; }
    bool trackSelection() const { return m_track; }
    int controlId() const { return m_controlId; }
    bool isActive() const { return m_active; }
    // The open popup, while the picker is active.
    ColorPopup* popup() const { return m_popup; }

    // Opens the popup under the picker (what a click does).
    void dropDown();

    QSize sizeHint() const override;

signals:
    void notified(int message, quint32 color, int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void popupHighlighted(quint32 color);
    void popupEnded(ColorPopup::Outcome outcome, quint32 color);
    void finishOk(std::uint32_t color);
    void finishCancel();
    // The system colour dialog over the picker's window: the colour chosen, or nothing.
    std::optional<std::uint32_t> askColourDialog(std::uint32_t initial);

    int m_controlId;
    std::uint32_t m_background;
    std::uint32_t m_text;
    int m_mode = kEditsBackgroundColour;
    bool m_track = false;
    bool m_active = false;
    std::uint32_t m_initial = 0; // the colour when the popup opened
    QString m_automaticText = QStringLiteral("Automatic");
    QString m_moreText = QStringLiteral("More Colours...");
    QPointer<ColorPopup> m_popup;
};
