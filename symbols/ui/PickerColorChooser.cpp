#include "symbols/ui/PickerColorChooser.h"

#include "controls/CTavColorPicker.h"

#include <QResizeEvent>

namespace {

constexpr int kPickerHeight = 22;

} // namespace

PickerColorChooser::PickerColorChooser(QWidget* parent)
    : ColorChooser(parent), m_picker(new CTavColorPicker(this)) {
    m_picker->setToolTip(tr("Color"));
    m_picker->setEntryTexts(QString(), tr("More Colours..."));
    m_picker->setColor(0x000000);
    connect(m_picker, &CTavColorPicker::notified, this,
            [this](int message, quint32 colour, int) {
                if (message == CTavColorPicker::SelectionEndOk)
                    emit colorChosen(colour & 0xFFFFFF);
            });
    resize(sizeHint());
}

std::uint32_t PickerColorChooser::color() const {
    return m_picker->color() & 0xFFFFFF;
}

void PickerColorChooser::setColor(std::uint32_t colorRef) {
    m_picker->setColor(colorRef & 0xFFFFFF);
}

void PickerColorChooser::resizeEvent(QResizeEvent* event) {
    ColorChooser::resizeEvent(event);
    m_picker->setGeometry(0, 0, width(), std::min(height(), kPickerHeight));
}
