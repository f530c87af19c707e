#pragma once

#include "dialogs/TemplateGrid.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QScrollBar;
class QTimer;

// TemplateGridView: the scrolling grid of animated template previews. It paints what its
// TemplateGrid lays out, advances every preview every 200 ms, frames the template under the
// mouse and the selected one, selects on a click and reports a double click on a template.
class TemplateGridView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 200;

    // One list of frames per template, in template order.
    explicit TemplateGridView(std::vector<std::vector<QImage>> previews, QWidget* parent = nullptr);

    TemplateGrid& grid() { return m_grid; }
    const TemplateGrid& grid() const { return m_grid; }
    QScrollBar& scrollBar() const { return *m_scrollBar; }
    QTimer& timer() const { return *m_timer; }

signals:
    void templateActivated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void layoutScrollBar();

    std::vector<std::vector<QImage>> m_previews;
    TemplateGrid m_grid;
    QScrollBar* m_scrollBar;
    QTimer* m_timer;
};
