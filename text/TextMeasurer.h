#pragma once

#include "text/LogFontA.h"

#include <QSize>

#include <string_view>

// TextMeasurer: measures a text in a font as whole pixels (the width and height of the picture
// a text object draws). Empty text measures 0 x 0.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual QSize measure(const LogFontA& font, std::string_view text) const = 0;
};
