#include "symbols/FloodFill.h"

#include "document/ColorRef.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// True when every byte of the two pixels differs by less than the tolerance (a byte difference
// d is within it when d + 4 lies in 0..8).
bool near(QRgb a, QRgb b) {
    bool all = true;
    for (int shift = 0; shift < 32; shift += 8) {
        const unsigned d =
            ((a >> shift) & 0xFF) - ((b >> shift) & 0xFF) + (FloodFill::kTolerance - 1);
        all &= d < unsigned(2 * FloodFill::kTolerance - 1);
    }
    return all;
}

bool matches(QRgb pixel, QRgb reference, bool transparent) {
    return transparent ? qAlpha(pixel) == 0 : near(pixel, reference);
}

// Replaces the matching pixels of one row; returns how many. Four pixels at a time where the
// machine has SSE2 (every x86-64), the rest one by one.
int fillRow(QRgb* row, int width, QRgb reference, QRgb replacement, bool transparent) {
    int x = 0;
    int replaced = 0;
#if defined(__SSE2__)
    const __m128i ref = _mm_set1_epi32(int(reference));
    const __m128i rep = _mm_set1_epi32(int(replacement));
    const __m128i within = _mm_set1_epi8(FloodFill::kTolerance - 1);
    const __m128i zero = _mm_setzero_si128();
    for (; x + 4 <= width; x += 4) {
        auto* at = reinterpret_cast<__m128i*>(row + x);
        const __m128i pixels = _mm_loadu_si128(at);
        __m128i match;
        if (transparent) {
            match = _mm_cmpeq_epi32(_mm_srli_epi32(pixels, 24), zero);
        } else {
            // Per byte |pixel - reference|, then whether every byte of a pixel is at most 4.
            const __m128i diff =
                _mm_or_si128(_mm_subs_epu8(pixels, ref), _mm_subs_epu8(ref, pixels));
            match = _mm_cmpeq_epi32(_mm_subs_epu8(diff, within), zero);
        }
        _mm_storeu_si128(at,
                         _mm_or_si128(_mm_and_si128(match, rep), _mm_andnot_si128(match, pixels)));
        replaced += __builtin_popcount(unsigned(_mm_movemask_ps(_mm_castsi128_ps(match))));
    }
#endif
    for (; x < width; ++x) {
        if (matches(row[x], reference, transparent)) {
            row[x] = replacement;
            ++replaced;
        }
    }
    return replaced;
}

} // namespace

int FloodFill::apply(QImage& picture, QPoint at, std::uint32_t colorRef) {
    const QRgb reference =
        picture.rect().contains(at)
            ? reinterpret_cast<const QRgb*>(picture.constScanLine(at.y()))[at.x()]
            : qRgba(0, 0, 0, 255);
    const int a0 = qAlpha(reference);
    const bool fillTransparent = a0 < kTolerance;
    const QRgb replacement = ColorRef::toArgb(colorRef, fillTransparent ? 255 : a0);
    int replaced = 0;
    for (int y = 0; y < picture.height(); ++y) {
        replaced += fillRow(reinterpret_cast<QRgb*>(picture.scanLine(y)), picture.width(),
                            reference, replacement, fillTransparent);
    }
    return replaced;
}
