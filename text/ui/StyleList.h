#pragma once

#include <QWidget>

class QScrollBar;
class TextPanelModel;

// StyleList: the text panel's list of the eight text styles, each cell a live preview drawn by
// the styled text renderer, in one column that scrolls when the panel is short. The cell under
// the mouse gets a frame; a click selects a cell in the panel's TextPanelModel and reports it.
class StyleList : public QWidget {
    Q_OBJECT

public:
    explicit StyleList(TextPanelModel& model, QWidget* parent = nullptr);

    QScrollBar& scrollBar() const { return *m_scrollBar; }
    int scrollOffset() const;

signals:
    void cellClicked(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TextPanelModel& m_model;
    QScrollBar* m_scrollBar;
};
