#pragma once

#include "document/AnimationObject.h"
#include "text/StyledTextRenderer.h"
#include "text/TextStyleColours.h"

#include <QRect>
#include <QString>

#include <array>
#include <optional>
#include <string>

class LanguageTable;
class MessageSink;

// What the text panel's controls hold when Apply is pressed.
struct TextObjectFields {
    QString text;
    QString face;
    QString sizeText;              // the size combo's text, read as a decimal number
    int style = -1;                // 1..8, or -1 when no style is selected
    std::uint32_t firstColor = 0;  // 0x00BBGGRR
    std::uint32_t secondColor = 0; // 0x00BBGGRR
};

// TextPanelModel: the rules of the text panel, without a window: the style list (eight cells
// of previews in one scrolling column, the selected and the hovered cell, the colours a chosen
// style brings) and the text object record that Apply builds from the panel's fields.
class TextPanelModel {
public:
    static constexpr int kMaxTypedCharacters = 1000;
    // The record's text field is 260 bytes, but adding a text object clears its last four
    // (bytes 256..259): the text is kept to 256 bytes so that no character loses its tail.
    static constexpr std::size_t kMaxTextBytes = 256;
    static constexpr std::size_t kMaxFaceBytes = sizeof(LogFontA::faceName) - 1;
    static constexpr std::array<int, 16> kFontSizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                                       20, 22, 24, 26, 28, 36, 48, 72};
    static constexpr int kDefaultSizeIndex = 13; // 36
    static constexpr int kStyleCount = 8;
    static constexpr int kCellWidth = 160;
    static constexpr int kCellHeight = 60;
    static constexpr int kCellMargin = 3;
    static constexpr const char* kPreviewText = "Text";
    static constexpr const char* kPreviewFace = "Microsoft Sans Serif";
    static constexpr const char* kEmptyTextMessage = "Please enter text first.";

    // Cell 0 (style 1) selected, nothing hovered.
    TextPanelModel() = default;

    // Style list. Cell p shows style p + 1.
    static int styleAt(int position);
    int selectedPosition() const { return m_selected; }
    // The selected style, or -1 when no cell is selected.
    int selectedStyle() const { return m_selected >= 0 ? styleAt(m_selected) : -1; }
    // Selects cell `position` (-1: none); the default colours of the style now selected, or
    // nothing when no style is.
    std::optional<TextColourPair> select(int position);
    int hoveredPosition() const { return m_hovered; }
    // True when the hovered cell changed.
    bool setHovered(int position);

    // A cell's rectangle in a list scrolled down by `scroll` pixels, and the cell under a point.
    static QRect cellRect(int position, int scroll);
    static int positionAt(QPoint p, int scroll);
    static int contentHeight() { return kStyleCount * kCellHeight; }
    // What cell p draws: the word "Text" in its style's default colours at full opacity, in a
    // font as high as the cell (the first two cells) or 5/4 of it, in the box `cell`.
    static StyledText preview(int position, const QRect& cell);

    // The record's font height for a size: size x 20 / 15 (integer division).
    static int fontHeight(int size) { return size * 20 / 15; }
    // The leading decimal number of `text` (0 when there is none), kept within 0..10000.
    static int sizeFromText(const QString& text);
    // `text` cut to kMaxTypedCharacters characters (never between the halves of a surrogate
    // pair); unchanged when it is not longer.
    static QString limitTyped(const QString& text);

    // The text object record of Apply: opacity 255, text, style, font height and weight 400,
    // face name and the two colours; every other field zero.
    static AnimationObject buildRecord(const TextObjectFields& fields);
    // Apply: the record, or nothing after telling the user that the text is empty.
    static std::optional<AnimationObject> apply(const TextObjectFields& fields, MessageSink& sink,
                                                const LanguageTable& texts);

private:
    int m_selected = 0;
    int m_hovered = -1;
};
