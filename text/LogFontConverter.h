#pragma once

#include "text/LogFontA.h"

#include <QFont>
#include <QString>

#include <string>
#include <string_view>

// LogFontConverter: the one place where the logical-font record of a text object becomes a QFont
// and back. Heights are read as Windows reads them: negative = character (em) height, positive =
// cell height (ascent + descent), 0 = the default cell height. Sizes are pixels, never points.
// A face the machine lacks falls back through the system's font substitution.
class LogFontConverter {
public:
    // Cell height used for a record of height 0.
    static constexpr int kDefaultCellHeight = 16;
    // Em sizes are kept within 1..kMaxEmPixels, so that absurd heights from a file cannot ask
    // for glyphs or temporary pictures of gigabytes.
    static constexpr int kMaxEmPixels = 2048;

    static QFont toQFont(const LogFontA& font);
    // A record of the font: character height (negative), weight, italic, underline,
    // strike-out and face name; the other fields are zero. Point sizes count at 96 dpi.
    static LogFontA fromQFont(const QFont& font);

    // The face name field as text (UTF-8 when valid, else Latin-1).
    static QString faceName(const LogFontA& font);
    // The 8-bit bytes of a record text as UTF-16: UTF-8 when they are valid UTF-8, else
    // Latin-1; cut to `maxUnits` UTF-16 units.
    static QString decodeText(std::string_view bytes, int maxUnits);
    // `text` as UTF-8, cut to at most `maxBytes` bytes at a character boundary (record texts
    // and face names are fixed byte fields).
    static std::string cutUtf8(const QString& text, std::size_t maxBytes);

    // The em size in pixels for a face that a record of `height` asks for.
    static int emPixels(const QString& family, std::int32_t height);
};
