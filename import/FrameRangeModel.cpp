#include "import/FrameRangeModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

int FrameRangeModel::sampleCount(double seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0)
        return 0;
    const double samples = seconds * kSamplesPerSecond;
    // A guessed duration can be absurd; the count stays an int.
    if (samples >= static_cast<double>(std::numeric_limits<int>::max() / kSampleWidth))
        return std::numeric_limits<int>::max() / kSampleWidth;
    return static_cast<int>(samples);
}

FrameRangeModel::FrameRangeModel(int total, int clientWidth)
    : m_clientWidth(std::max(0, clientWidth)) {
    reset(total);
}

void FrameRangeModel::reset(int total) {
    m_total = std::max(0, total);
    m_start = 0;
    m_end = std::min(m_total, kInitialCount);
    m_scroll = 0;
    release();
}

bool FrameRangeModel::setClientWidth(int width) {
    m_clientWidth = std::max(0, width);
    const int kept = std::clamp(m_scroll, 0, scrollRange());
    if (kept == m_scroll)
        return false;
    m_scroll = kept;
    return true;
}

int FrameRangeModel::scrollRange() const {
    return std::max(0, m_total * kSampleWidth - m_clientWidth);
}

double FrameRangeModel::sampleTime(int column) const {
    return (column + firstSample()) * kSampleSeconds;
}

QString FrameRangeModel::caption() const {
    return QStringLiteral("Import %1 frames").arg(count());
}

QRect FrameRangeModel::startMarker() const {
    return QRect(m_start * kSampleWidth, kMarkerTop, kMarkerSize, kMarkerSize);
}

QRect FrameRangeModel::endMarker() const {
    return QRect(m_end * kSampleWidth - kMarkerSize, kMarkerTop, kMarkerSize, kMarkerSize);
}

FrameRangeModel::Marker FrameRangeModel::hitTest(QPoint p) const {
    if (startMarker().contains(p))
        return Marker::Start;
    if (endMarker().contains(p))
        return Marker::End;
    return Marker::None;
}

bool FrameRangeModel::press(QPoint p) {
    release();
    m_drag = hitTest(p);
    if (m_drag == Marker::Start && endMarker().contains(p)) {
        m_drag = Marker::None;
        m_undecided = true;
        m_pressX = p.x();
    }
    return dragging();
}

bool FrameRangeModel::move(int x) {
    if (m_undecided) {
        if (x == m_pressX)
            return false;
        m_drag = x > m_pressX ? Marker::End : Marker::Start;
        m_undecided = false;
    }
    switch (m_drag) {
    case Marker::Start:
        return dragStartTo(x);
    case Marker::End:
        return dragEndTo(x);
    case Marker::None:
        break;
    }
    return false;
}

void FrameRangeModel::release() {
    m_drag = Marker::None;
    m_undecided = false;
}

bool FrameRangeModel::dragStartTo(int x) {
    int start = x / kSampleWidth;
    start = std::min(start, m_end - 1);
    start = std::max(start, 0);
    if (start == m_start)
        return false;
    m_start = start;
    return true;
}

bool FrameRangeModel::dragEndTo(int x) {
    int end = x / kSampleWidth;
    end = std::max(end, m_start + 1);
    end = std::min(end, m_clientWidth / kSampleWidth);
    end = std::min(end, m_total - firstSample());
    if (end == m_end)
        return false;
    m_end = end;
    return true;
}

bool FrameRangeModel::scrollBy(int code, int position) {
    int scroll = m_scroll;
    switch (code) {
    case LineLeft:
    case PageLeft:
        scroll -= kScrollStep;
        break;
    case LineRight:
    case PageRight:
        scroll += kScrollStep;
        break;
    case ThumbPosition:
    case ThumbTrack:
        scroll = position;
        break;
    case ToStart:
        scroll = 0;
        break;
    case ToEnd:
        scroll = scrollRange();
        break;
    default:
        return false;
    }
    scroll = std::clamp(scroll, 0, scrollRange());
    if (scroll == m_scroll)
        return false;
    m_scroll = scroll;
    return true;
}
