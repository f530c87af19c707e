#include "text/ui/TextPanelModel.h"

#include "document/FixedText.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "text/LogFontConverter.h"

#include <algorithm>

int TextPanelModel::styleAt(int position) {
    // Cell p shows style p + 1: the list and the styles are in the same order.
    static constexpr std::array<int, kStyleCount> kStyles = {1, 2, 3, 4, 5, 6, 7, 8};
    return position >= 0 && position < kStyleCount ? kStyles[std::size_t(position)] : -1;
}

std::optional<TextColourPair> TextPanelModel::select(int position) {
    m_selected = position >= 0 && position < kStyleCount ? position : -1;
    if (m_selected < 0)
        return std::nullopt;
    return TextStyleColours::defaults(styleAt(m_selected));
}

bool TextPanelModel::setHovered(int position) {
    const int hovered = position >= 0 && position < kStyleCount ? position : -1;
    if (hovered == m_hovered)
        return false;
    m_hovered = hovered;
    return true;
}

QRect TextPanelModel::cellRect(int position, int scroll) {
    return QRect(0, position * kCellHeight - scroll, kCellWidth, kCellHeight);
}

int TextPanelModel::positionAt(QPoint p, int scroll) {
    if (p.x() < 0 || p.x() >= kCellWidth)
        return -1;
    const int y = p.y() + scroll;
    if (y < 0 || y >= contentHeight())
        return -1;
    return y / kCellHeight;
}

StyledText TextPanelModel::preview(int position, const QRect& cell) {
    StyledText preview;
    preview.style = styleAt(position);
    preview.text = kPreviewText;
    preview.font.height = position < 2 ? kCellHeight : kCellHeight * 5 / 4;
    preview.font.weight = 400;
    setFixedText(preview.font.faceName, kPreviewFace);
    const TextColourPair colours = TextStyleColours::defaults(preview.style);
    preview.firstColor = colours.first;
    preview.secondColor = colours.second;
    preview.opacity = 255;
    preview.box = cell.adjusted(kCellMargin, kCellMargin, -kCellMargin, -kCellMargin);
    return preview;
}

int TextPanelModel::sizeFromText(const QString& text) {
    // Read as a C program reads a number: leading blanks, an optional sign, then digits.
    const QString s = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    long long value = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
        value = std::min(value * 10 + (s[i].unicode() - u'0'), 1'000'000LL);
    return negative ? 0 : int(std::min(value, 10'000LL));
}

QString TextPanelModel::limitTyped(const QString& text) {
    if (text.size() <= kMaxTypedCharacters)
        return text;
    qsizetype keep = kMaxTypedCharacters;
    if (text[keep - 1].isHighSurrogate())
        --keep;
    return text.left(keep);
}

AnimationObject TextPanelModel::buildRecord(const TextObjectFields& fields) {
    AnimationObject object;
    ObjectRecord& r = object.record;
    r.startOpacity = 255;
    r.endOpacity = 255;
    object.setText(LogFontConverter::cutUtf8(fields.text, kMaxTextBytes));
    r.textStyle = fields.style >= 1 && fields.style <= kStyleCount ? fields.style : -1;
    r.font.height = fontHeight(sizeFromText(fields.sizeText));
    r.font.weight = 400;
    setFixedText(r.font.faceName, LogFontConverter::cutUtf8(fields.face, kMaxFaceBytes));
    r.textColor = fields.firstColor;
    r.secondTextColor = fields.secondColor;
    return object;
}

std::optional<AnimationObject> TextPanelModel::apply(const TextObjectFields& fields,
                                                     MessageSink& sink,
                                                     const LanguageTable& texts) {
    if (fields.text.isEmpty()) {
        sink.show(kEmptyTextMessage, texts.text(kTextProductName), MessageIcon::Information);
        return std::nullopt;
    }
    return buildRecord(fields);
}
