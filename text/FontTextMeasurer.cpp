#include "text/FontTextMeasurer.h"

#include "text/LogFontConverter.h"
#include "text/TextLayout.h"

QSize FontTextMeasurer::measure(const LogFontA& font, std::string_view text) const {
    return measureText(font, LogFontConverter::decodeText(text, kMaxTextUnits));
}

QSize FontTextMeasurer::measureText(const LogFontA& font, const QString& text) {
    if (text.isEmpty()) return QSize(0, 0);
    return TextLayout(LogFontConverter::toQFont(font), text).wholePixelSize();
}
