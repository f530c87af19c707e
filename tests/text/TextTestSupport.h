#pragma once

#include "text/LogFontA.h"
#include "text/StyledTextRenderer.h"

#include <QImage>

#include <cstdint>
#include <string>

// Fonts that `make deps` installs, so that results do not depend on the machine.
inline constexpr const char* kTestFace = "Liberation Sans";

LogFontA testFont(std::int32_t height, std::int32_t weight = 400, const char* face = kTestFace);

// A request for `text` in `style` with the style's default colours, boxed at its measured size.
StyledText styledText(int style, const std::string& text, const LogFontA& font, int opacity = 255);

// Draws `request` onto a transparent picture, `margin` pixels in from its top-left corner; the
// picture is the measured size plus the margins, or `canvas` when given.
QImage renderStyled(const StyledText& request, int margin = 24, QSize canvas = QSize());

// Pixel statistics of a rendered picture (alpha channel).
int partlyTransparentPixels(const QImage& image);
int sharpSteps(const QImage& image, int minimumStep); // neighbours whose alpha differs that much
double coverage(const QImage& image);                 // summed alpha / 255
QRect inkBounds(const QImage& image, int minimumAlpha);
int countPixels(const QImage& image, QRgb colour);
