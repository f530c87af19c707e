#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>

// MainWindowLayout: where every part of the main window goes for a client size, without a
// window. T = H - H * 266 / 768 (integer arithmetic) is the top of the timeline strip; the
// panels, the toolbar and the caption buttons are placed from it and from the client size.
// With no layers the motion panel is hidden and the timeline takes its width.
class MainWindowLayout {
public:
    static constexpr int kCaptionHeight = 25;
    static constexpr int kResizeBand = 5;
    static constexpr int kToolbarButtons = 22;
    static constexpr QSize kMinimumSize{800, 600};

    // Which way a left press on the window itself moves or resizes it.
    enum class Zone {
        None,
        Move,
        Left,
        Right,
        Top,
        Bottom,
        TopLeft,
        TopRight,
        BottomLeft,
        BottomRight,
    };

    MainWindowLayout(QSize client, bool hasLayers);

    int timelineTop() const { return m_top; }
    bool motionPanelShown() const { return m_hasLayers; }

    QRect captionStrip() const;
    // Caption buttons, 16 x 16 at y 5..21: close rightmost, 14 pixels from the right edge,
    // then maximise/restore and minimise, each 20 pixels further left.
    QRect closeButton() const;
    QRect maximiseButton() const;
    QRect minimiseButton() const;
    // The four menu-bar buttons (file, edit, play, help) in the row under the caption.
    std::array<QRect, 4> menuButtons() const;
    // 24 x 24 buttons on the row T - 29 .. T - 5, from x = 10, 26 apart, 36 after a group.
    std::array<QRect, kToolbarButtons> toolbarButtons() const;
    QRect libraryPanel() const;
    QRect stageView() const;
    QRect textPanel() const;
    QRect timeline() const;
    // Empty while the motion panel is hidden.
    QRect motionPanel() const;
    // The three small controls under the library: a wide one and two 16 x 16 buttons.
    std::array<QRect, 3> libraryControls() const;

    // The zone under `p` (client coordinates): the resize band's edges and corners, and the
    // move strip of the caption between `frameHeight` and 25 pixels from the top.
    static Zone zoneAt(QSize client, QPoint p, int frameHeight = kResizeBand);

private:
    QSize m_client;
    bool m_hasLayers;
    int m_top;
};
