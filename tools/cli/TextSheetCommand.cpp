#include "tools/cli/TextSheetCommand.h"

#include "text/FontTextMeasurer.h"
#include "tools/cli/CommandLine.h"
#include "text/StyledTextRenderer.h"
#include "text/TextStyleColours.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct SheetOptions {
    std::string out;
    std::string text = "Text";
    std::string face = "Liberation Sans";
    int size = 36;
};

constexpr int kMaxSize = 400;
constexpr int kMargin = 12;
constexpr int kLabelWidth = 200;
constexpr int kHeaderHeight = 28;
constexpr int kCheckerSquare = 8;
constexpr int kOpacities[2] = {255, 128};
// The fallback style (shown as -1, "no style selected"), then styles 1..8.
constexpr int kStyles[9] = {-1, 1, 2, 3, 4, 5, 6, 7, 8};

bool parse(int argc, char** argv, SheetOptions& options, std::ostream& err) {
    const CommandLine line(argc, argv, 2, {{"--text", "--face", "--size"}, {}});
    if (!line.integer("--size", 1, kMaxSize, options.size)) {
        err << "text-sheet: --size must be a whole number from 1 to " << kMaxSize << "\n";
        return false;
    }
    if (!line.ok() || line.count() != 1) {
        if (!line.ok())
            err << "text-sheet: " << line.error() << "\n";
        err << "usage: zentravo-cli text-sheet OUT.png [--text T] [--face F] [--size N]\n";
        return false;
    }
    options.out = line.at(0);
    if (const std::string* text = line.value("--text"))
        options.text = *text;
    if (const std::string* face = line.value("--face"))
        options.face = *face;
    return true;
}

LogFontA fontOf(const SheetOptions& options) {
    LogFontA font{};
    font.height = options.size * 20 / 15; // as the text panel makes it
    font.weight = 400;
    std::strncpy(font.faceName, options.face.c_str(), sizeof font.faceName - 1);
    return font;
}

void fillChecker(QPainter& painter, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); y += kCheckerSquare)
        for (int x = area.left(); x <= area.right(); x += kCheckerSquare) {
            const bool dark =
                ((x - area.left()) / kCheckerSquare + (y - area.top()) / kCheckerSquare) % 2;
            painter.fillRect(QRect(x, y, kCheckerSquare, kCheckerSquare).intersected(area),
                             dark ? QColor(204, 204, 204) : QColor(240, 240, 240));
        }
}

QString hexColour(std::uint32_t colorRef) {
    return QString("%1,%2,%3")
        .arg(colorRef & 0xFF)
        .arg((colorRef >> 8) & 0xFF)
        .arg((colorRef >> 16) & 0xFF);
}

} // namespace

int TextSheetCommand::run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    SheetOptions options;
    if (!parse(argc, argv, options, err))
        return 2;
    const LogFontA font = fontOf(options);
    const QSize measured = FontTextMeasurer().measure(font, options.text);
    const int cellW = std::max(measured.width(), 40) + 2 * kMargin;
    const int cellH = std::max(measured.height(), 30) + 2 * kMargin;
    QImage sheet(kLabelWidth + 2 * cellW, kHeaderHeight + 9 * cellH, QImage::Format_ARGB32);
    if (sheet.isNull()) {
        err << "text-sheet: the sheet is too large to draw\n";
        return 1;
    }
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    QFont labelFont("DejaVu Sans");
    labelFont.setPixelSize(13);
    painter.setFont(labelFont);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int k = 0; k < 2; ++k)
        painter.drawText(QRect(kLabelWidth + k * cellW, 0, cellW, kHeaderHeight), Qt::AlignCenter,
                         QString("opacity %1").arg(kOpacities[k]));
    for (int row = 0; row < 9; ++row) {
        const int style = kStyles[row];
        const TextColourPair colours = TextStyleColours::defaults(style);
        const int top = kHeaderHeight + row * cellH;
        const QString label =
            style < 1 ? QString("fallback (%1)").arg(style) : QString("style %1").arg(style);
        painter.setPen(Qt::black);
        painter.drawText(QRect(6, top, kLabelWidth - 6, cellH / 2), Qt::AlignLeft | Qt::AlignBottom,
                         label);
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(QRect(6, top + cellH / 2, kLabelWidth - 6, cellH / 2),
                         Qt::AlignLeft | Qt::AlignTop,
                         style < 1 ? QString("fixed gradient")
                                   : hexColour(colours.first) + "  " + hexColour(colours.second));
        for (int k = 0; k < 2; ++k) {
            const QRect cell(kLabelWidth + k * cellW, top, cellW, cellH);
            fillChecker(painter, cell.adjusted(2, 2, -2, -2));
            StyledText text;
            text.style = style;
            text.text = options.text;
            text.font = font;
            text.box = QRect(cell.left() + kMargin, cell.top() + kMargin, measured.width(),
                             measured.height());
            text.firstColor = colours.first;
            text.secondColor = colours.second;
            text.opacity = kOpacities[k];
            StyledTextRenderer::drawTransformed(painter, text, 0.0, 1.0);
        }
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(options.out.c_str()), "PNG")) {
        err << "text-sheet: cannot write " << options.out << "\n";
        return 1;
    }
    out << "wrote " << options.out << " (" << sheet.width() << " x " << sheet.height() << ")\n";
    return 0;
}
