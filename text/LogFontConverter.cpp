#include "text/LogFontConverter.h"

#include <QFontMetricsF>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Em size at which a face's cell height (ascent + descent) is looked up.
constexpr int kProbeEm = 256;

int clampEm(double em) {
    return static_cast<int>(
        std::clamp(std::round(em), 1.0, double(LogFontConverter::kMaxEmPixels)));
}

} // namespace

QString LogFontConverter::decodeText(std::string_view bytes, int maxUnits) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (utf8.hasError())
        text = QString::fromLatin1(view);
    if (text.size() > maxUnits) {
        text.truncate(maxUnits);
        if (!text.isEmpty() && text.back().isHighSurrogate())
            text.chop(1); // never leave half a surrogate pair behind
    }
    return text;
}

QString LogFontConverter::faceName(const LogFontA& font) {
    const void* nul = std::memchr(font.faceName, 0, sizeof font.faceName);
    const std::size_t length =
        nul ? static_cast<const char*>(nul) - font.faceName : sizeof font.faceName;
    return decodeText(std::string_view(font.faceName, length), int(sizeof font.faceName));
}

int LogFontConverter::emPixels(const QString& family, std::int32_t height) {
    if (height < 0)
        return clampEm(-double(height)); // character height: the em size itself
    const double cell = height == 0 ? kDefaultCellHeight : double(height);
    QFont probe(family);
    probe.setPixelSize(kProbeEm);
    const QFontMetricsF metrics(probe);
    const double probeCell = metrics.ascent() + metrics.descent();
    return clampEm(probeCell > 0 ? cell * kProbeEm / probeCell : cell);
}

QFont LogFontConverter::toQFont(const LogFontA& font) {
    QFont result(faceName(font));
    result.setPixelSize(emPixels(result.family(), font.height));
    // Weight 0 is "don't care", drawn as normal.
    result.setWeight(font.weight <= 0 ? QFont::Normal
                                      : QFont::Weight(std::min<std::int32_t>(font.weight, 1000)));
    result.setItalic(font.italic != 0);
    result.setUnderline(font.underline != 0);
    result.setStrikeOut(font.strikeOut != 0);
    return result;
}

LogFontA LogFontConverter::fromQFont(const QFont& font) {
    LogFontA record{};
    int pixels = font.pixelSize();
    if (pixels <= 0)
        pixels = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    record.height = -std::max(pixels, 1);
    record.weight = font.weight();
    record.italic = font.italic() ? 1 : 0;
    record.underline = font.underline() ? 1 : 0;
    record.strikeOut = font.strikeOut() ? 1 : 0;
    // Face name: at most 31 bytes and a NUL.
    const std::string name = cutUtf8(font.family(), sizeof record.faceName - 1);
    std::memcpy(record.faceName, name.data(), name.size());
    return record;
}

std::string LogFontConverter::cutUtf8(const QString& text, std::size_t maxBytes) {
    const QByteArray utf8 = text.toUtf8();
    std::size_t length = std::size_t(utf8.size());
    if (length > maxBytes) {
        length = maxBytes;
        // Back to the first byte of the character the cut falls in (continuation bytes are
        // 10xxxxxx), so that no character is kept in part.
        while (length > 0 && (static_cast<unsigned char>(utf8[qsizetype(length)]) & 0xC0) == 0x80)
            --length;
    }
    return std::string(utf8.constData(), length);
}
