#pragma once

#include "symbols/ToolSettings.h"

#include <QButtonGroup>
#include <QToolButton>
#include <QWidget>

class ColorChooser;

// ToolPalette: the symbol editor's tool palette: twelve tool buttons, eight pen size buttons
// and four fill buttons (22 x 22 pixels, four to a row, each block radio-selected), and the
// colour chooser below them. Every click stores the button's value and announces
// toolChanged() (the editor then hands settings() to the canvas).
class ToolPalette : public QWidget {
    Q_OBJECT

public:
    static constexpr int kButtonSide = 22;
    static constexpr int kButtonsPerRow = 4;
    static constexpr int kSizeBlockTop = 72;
    static constexpr int kFillBlockTop = 122;
    static constexpr int kColorAreaTop = 150; // the chooser's area: 0,150 - 110,300
    static constexpr int kColorAreaWidth = 110;
    static constexpr int kColorAreaHeight = 150;
    static constexpr int kSizeButtonCount = 8;

    explicit ToolPalette(QWidget* parent = nullptr);

    ToolSettings settings() const { return m_settings; }
    // The colour picker's colour (UM_COLOR_PICKED): shown by the chooser, no toolChanged().
    void setColor(std::uint32_t colorRef);
    // Puts `chooser` in the colour area in place of the current one (the palette owns it).
    void setColorChooser(ColorChooser* chooser);
    ColorChooser* colorChooser() const { return m_chooser; }

    QToolButton* toolButton(PaintTool tool) const;
    QToolButton* sizeButton(int index) const;
    QToolButton* fillButton(FillType fill) const;

    QSize sizeHint() const override;

signals:
    // UM_TOOL_CHANGED: a button was clicked or a colour chosen.
    void toolChanged();

private:
    QToolButton* addButton(QButtonGroup& group, int id, int top, const QPixmap& picture,
                           const QString& tooltip);
    void chooseTool(int id);
    void chooseSize(int id);
    void chooseFill(int id);
    void chooseColor(quint32 colorRef);

    ToolSettings m_settings;
    QButtonGroup m_tools;
    QButtonGroup m_sizes;
    QButtonGroup m_fills;
    ColorChooser* m_chooser = nullptr;
};
