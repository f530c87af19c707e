#include "tests/text/TextTestSupport.h"

#include "text/FontTextMeasurer.h"
#include "text/TextStyleColours.h"

#include <QPainter>

#include <cstdlib>
#include <cstring>

LogFontA testFont(std::int32_t height, std::int32_t weight, const char* face) {
    LogFontA font{};
    font.height = height;
    font.weight = weight;
    std::strncpy(font.faceName, face, sizeof font.faceName - 1);
    return font;
}

StyledText styledText(int style, const std::string& text, const LogFontA& font, int opacity) {
    const TextColourPair colours = TextStyleColours::defaults(style);
    StyledText request;
    request.style = style;
    request.text = text;
    request.font = font;
    request.box = QRect(QPoint(0, 0), FontTextMeasurer().measure(font, text));
    request.firstColor = colours.first;
    request.secondColor = colours.second;
    request.opacity = opacity;
    return request;
}

QImage renderStyled(const StyledText& request, int margin, QSize canvas) {
    const QSize measured = FontTextMeasurer().measure(request.font, request.text);
    QImage image(canvas.isValid() ? canvas : measured + QSize(2 * margin, 2 * margin),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(margin, margin);
    StyledTextRenderer::draw(painter, request);
    painter.end();
    return image;
}

int partlyTransparentPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            count += a > 0 && a < 255;
        }
    return count;
}

int sharpSteps(const QImage& image, int minimumStep) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            if (x + 1 < image.width() && std::abs(a - qAlpha(image.pixel(x + 1, y))) >= minimumStep)
                ++count;
            if (y + 1 < image.height() &&
                std::abs(a - qAlpha(image.pixel(x, y + 1))) >= minimumStep)
                ++count;
        }
    return count;
}

double coverage(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y)) / 255.0;
    return sum;
}

QRect inkBounds(const QImage& image, int minimumAlpha) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= minimumAlpha) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int countPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}
