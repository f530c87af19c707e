#pragma once

#include "text/TextMeasurer.h"

#include <QString>

// FontTextMeasurer: measures a record text in its logical font with the system's fonts, as the
// styled text renderer lays it out; the size of a text object's box. At most 260 UTF-16 units
// of the text count.
class FontTextMeasurer : public TextMeasurer {
public:
    static constexpr int kMaxTextUnits = 260;

    QSize measure(const LogFontA& font, std::string_view text) const override;
    static QSize measureText(const LogFontA& font, const QString& text);
};
