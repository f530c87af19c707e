#pragma once

#include "symbols/ui/ColorChooser.h"

#include <QColor>
#include <QToolButton>

#include <functional>

// ColorButtonChooser: a small button showing the current colour; a click asks for a new colour
// with the colour dialog (or the function a test puts in its place).
class ColorButtonChooser : public ColorChooser {
    Q_OBJECT

public:
    // Returns the chosen colour, or an invalid colour when the user cancelled.
    using AskColor = std::function<QColor(const QColor& initial, QWidget* parent)>;

    explicit ColorButtonChooser(QWidget* parent = nullptr);

    std::uint32_t color() const override { return m_color; }
    void setColor(std::uint32_t colorRef) override;
    void setAskColor(AskColor ask) { m_ask = std::move(ask); }
    QToolButton* button() const { return m_button; }

    QSize sizeHint() const override { return QSize(44, 22); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void choose();
    void showSwatch();

    QToolButton* m_button;
    std::uint32_t m_color = 0x000000;
    AskColor m_ask;
};
