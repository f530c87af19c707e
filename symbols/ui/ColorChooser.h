#pragma once

#include <QWidget>

#include <cstdint>

// ColorChooser: the colour control below the tool palette's buttons. The palette talks to it
// only through this interface, so that the program's own colour control can take the place of
// the plain colour button. Colours are 0x00BBGGRR.
class ColorChooser : public QWidget {
    Q_OBJECT

public:
    explicit ColorChooser(QWidget* parent = nullptr) : QWidget(parent) {}

    virtual std::uint32_t color() const = 0;
    // Shows `colorRef` without announcing it (the colour picker already made it current).
    virtual void setColor(std::uint32_t colorRef) = 0;

signals:
    // The user chose a colour.
    void colorChosen(quint32 colorRef);
};
