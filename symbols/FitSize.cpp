#include "symbols/FitSize.h"

#include <cstdint>

QSize FitSize::fit(QSize source, QSize box, bool alwaysScale) {
    const std::int64_t sw = source.width(), sh = source.height();
    const std::int64_t bw = box.width(), bh = box.height();
    if (sw <= 0 || sh <= 0 || bw <= 0 || bh <= 0)
        return QSize(0, 0);
    if (!alwaysScale && sw <= bw && sh <= bh)
        return source;
    // The wider aspect meets the box's sides; the other side is truncated (64-bit products so
    // that large pictures do not wrap).
    if (double(sw) / double(sh) > double(bw) / double(bh))
        return QSize(int(bw), int(sh * bw / sw));
    return QSize(int(sw * bh / sh), int(bh));
}
