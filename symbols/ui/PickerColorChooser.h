#pragma once

#include "symbols/ui/ColorChooser.h"

class CTavColorPicker;

// PickerColorChooser: the tool palette's colour control: the program's colour picker (a
// button showing the colour, dropping down the 40 colours and "More Colours..."). A colour the
// user chooses is announced; a cancelled popup leaves the colour as it was. There is no
// "Automatic" entry: a paint colour is always a real colour.
class PickerColorChooser : public ColorChooser {
    Q_OBJECT

public:
    explicit PickerColorChooser(QWidget* parent = nullptr);

    std::uint32_t color() const override;
    void setColor(std::uint32_t colorRef) override;
    CTavColorPicker* picker() const { return m_picker; }

    QSize sizeHint() const override { return QSize(80, 22); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CTavColorPicker* m_picker;
};
