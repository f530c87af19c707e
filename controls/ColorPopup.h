#pragma once

#include "controls/ColorPopupModel.h"

#include <QWidget>

// ColorPopup: the drop-down palette of a colour picker. A popup window (it holds the mouse and
// the keyboard while open) drawing what its ColorPopupModel lays out; mouse moves and arrow
// keys move the highlight, Enter, Space or a release inside end with OK, Esc or a release or
// press outside with cancel. It ends once: it hides, then says how (ended()), and deletes
// itself later.
class ColorPopup : public QWidget {
    Q_OBJECT

public:
    enum class Outcome { Ok, Cancel, MoreColours };

    ColorPopup(std::uint32_t initial, const QString& automaticText, const QString& moreText,
               QWidget* parent = nullptr);

    ColorPopupModel& model() { return m_model; }
    // Opens at `wanted` (global), moved back inside the screen that holds that point.
    void popupAt(QPoint wanted);

signals:
    // The highlight moved to an entry of this colour (0x00BBGGRR, or the default value).
    void highlightChanged(quint32 colour);
    // How the popup ended, with the colour chosen (the initial colour for a cancel).
    void ended(ColorPopup::Outcome outcome, quint32 colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void highlight(int entry);
    void end(bool ok);

    ColorPopupModel m_model;
    QString m_automaticText;
    QString m_moreText;
    bool m_ended = false;
};
