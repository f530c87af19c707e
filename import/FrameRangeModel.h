#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

// FrameRangeModel: the rules of the ruler that picks a range of a video's samples (12 a
// second) for import, without a window. Every sample is 5 pixels wide. The ruler is a window
// onto the samples: its scroll position s (pixels) shifts the samples it shows by s / 5 whole
// samples, while the two markers keep their places in the window. So `start` and `end` are
// window columns (start * 5 and end * 5 in ruler client pixels, whatever the scroll) and the
// video sample under column i is i + s / 5. Invariant once a drag or scroll has settled on a
// video of at least one sample: 0 <= start < end <= min(clientWidth / 5, total - s / 5).
class FrameRangeModel {
public:
    static constexpr double kSamplesPerSecond = 12.0;
    // The seconds of one sample (1 / 12 as the program has always rounded it).
    static constexpr double kSampleSeconds = 0.083333;
    static constexpr int kSampleWidth = 5;
    static constexpr int kInitialCount = 30;
    static constexpr int kScrollStep = 50;
    static constexpr int kMarkerTop = 24;
    static constexpr int kMarkerSize = 8;
    static constexpr int kLineY = 30;

    // Scroll bar requests, numbered as the window system's horizontal scroll codes.
    enum ScrollCode : int {
        LineLeft = 0,
        LineRight = 1,
        PageLeft = 2,
        PageRight = 3,
        ThumbPosition = 4,
        ThumbTrack = 5,
        ToStart = 6,
        ToEnd = 7,
    };
    enum class Marker { None, Start, End };

    // Samples of a video `seconds` long: (int)(seconds x 12), 0 for a length that is not a
    // positive finite number.
    static int sampleCount(double seconds);

    // `total` samples, start 0, end min(total, 30), not scrolled.
    explicit FrameRangeModel(int total = 0, int clientWidth = 522);

    // Starts over on a video of `total` samples.
    void reset(int total);
    // The ruler's client width in pixels; the scroll position is kept inside the new range.
    // True when that moved it.
    bool setClientWidth(int width);

    int total() const { return m_total; }
    int start() const { return m_start; }
    int end() const { return m_end; }
    int count() const { return m_end - m_start; }
    int scroll() const { return m_scroll; }
    int clientWidth() const { return m_clientWidth; }
    // Largest scroll position: the samples' width beyond the client width, never below 0.
    int scrollRange() const;
    // The video sample under window column 0.
    int firstSample() const { return m_scroll / kSampleWidth; }
    // The video sample under window column `column`, and the time it stands for in seconds.
    int sampleAt(int column) const { return column + firstSample(); }
    double sampleTime(int column) const;
    // "Import %d frames" with end - start.
    QString caption() const;

    // The 8 x 8 markers: the start marker's left edge at start * 5, the end marker's right
    // edge at end * 5.
    QRect startMarker() const;
    QRect endMarker() const;
    // Which marker `p` is over (the start marker where both overlap).
    Marker hitTest(QPoint p) const;

    // A press over a marker starts dragging it; true when a drag started. Where the two
    // markers overlap (a range of one sample) the first move decides: rightwards drags the end,
    // leftwards the start, so that either can still be pulled out.
    bool press(QPoint p);
    // Moves the dragged marker to `x`; true when start or end changed.
    bool move(int x);
    void release();
    bool dragging() const { return m_drag != Marker::None || m_undecided; }

    // The start marker placed by pointer x: x / 5, at most end - 1, at least 0.
    bool dragStartTo(int x);
    // The end marker placed by pointer x: x / 5, at least start + 1, at most clientWidth / 5,
    // at most total - s / 5 (in that order).
    bool dragEndTo(int x);
    // A scroll bar request (`position` for ThumbPosition and ThumbTrack), kept inside
    // 0..scrollRange(); true when the position changed. Unknown codes change nothing.
    bool scrollBy(int code, int position = 0);

private:
    int m_total = 0;
    int m_start = 0;
    int m_end = 0;
    int m_scroll = 0;
    int m_clientWidth = 0;
    Marker m_drag = Marker::None;
    bool m_undecided = false;
    int m_pressX = 0;
};
