#pragma once

#include <QDialog>

class ImageButton;
class QPushButton;

// RoundedDialog: the caption-less, rounded window every project dialog is drawn in: a painted
// face with a one-pixel edge, the window title in the top strip, a close button at the top
// right (it rejects), and dragging by any free spot. Derived dialogs place their controls at
// fixed pixel positions and paint their labels in paintContents().
class RoundedDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCloseCommand = 10130;

    RoundedDialog(QWidget* parent, QSize size, int cornerRadius = 8);

    // Fixes the window's size (and its rounded shape) and centres it over its parent, or over
    // the screen without one.
    void setDialogSize(QSize size);
    // Centres the window over its parent's window, or over the screen without a parent (a
    // long-lived dialog calls it again before it shows, as the parent may have moved).
    void centre();
    ImageButton* closeButton() const { return m_close; }

    // A push button in the dialogs' flat style.
    QPushButton* addButton(const QString& text, const QRect& geometry);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Labels and other painted parts, over the face.
    virtual void paintContents(QPainter& painter);

    static const QColor& labelColour();

private:
    int m_radius;
    ImageButton* m_close;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
