#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// FrameLists: the frames of the symbol being edited: each frame's picture as it was added
// (list A), the same frame as edited (list B: what the strip shows, the preview plays and the
// library stores), and a per-frame flag. The lists always have the same length; A and B hold
// separate copies of each picture.
struct FrameLists {
    std::vector<QImage> added;           // A
    std::vector<QImage> edited;          // B
    std::vector<std::uint32_t> flags;    // one 0 per frame

    int count() const { return static_cast<int>(edited.size()); }
    // Appends a frame: a copy of `picture` to each list and a 0 flag.
    void append(const QImage& picture) {
        added.push_back(picture.copy());
        edited.push_back(picture.copy());
        flags.push_back(0);
    }
};
