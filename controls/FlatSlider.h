#pragma once

#include <QWidget>

// FlatSlider: a thin horizontal slider of the program's own look (a groove filled up to the
// knob, a round knob). It keeps a position within 0..maximum; pressing anywhere on it moves
// the knob there and the knob follows the mouse while the button is held; the arrow keys step
// by one. moved() is emitted for every change the user makes, never for setPosition();
// pressed() and released() bracket a held button, so that a drag can be one change.
class FlatSlider : public QWidget {
    Q_OBJECT

public:
    explicit FlatSlider(int maximum, QWidget* parent = nullptr);

    int position() const { return m_position; }
    int maximum() const { return m_maximum; }
    void setPosition(int position);
    // The position a click at `x` (widget pixels) chooses.
    int positionAt(int x) const;

signals:
    void pressed();
    void moved(int position);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A slider hidden while held never sees its release: the hold ends there.
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void moveTo(int position);

    int m_maximum;
    int m_position = 0;
    bool m_held = false;
};
