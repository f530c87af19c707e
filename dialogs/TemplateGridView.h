#pragma once

#include "dialogs/TemplateGrid.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <vector>

class QScrollBar;
class QTimer;

// One template of the grid: the frames of its animated preview and the name shown under it.
struct TemplatePreview {
    std::vector<QImage> frames;
    QString name;
};

// TemplateGridView: the scrolling grid of animated template previews, each with its name
// under it. It paints what its TemplateGrid lays out, advances every preview every 200 ms,
// frames the template under the mouse and the selected one, selects on a click and reports a
// double click on a template.
class TemplateGridView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 200;

    // The templates in template order.
    explicit TemplateGridView(std::vector<TemplatePreview> previews, QWidget* parent = nullptr);

    const QString& name(int index) const { return m_previews.at(std::size_t(index)).name; }

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

    std::vector<TemplatePreview> m_previews;
    TemplateGrid m_grid;
    QScrollBar* m_scrollBar;
    QTimer* m_timer;
};
