#pragma once

#include <cstdint>

// DocumentChange: what one command of the command layer changed, as a set of kinds. Panels
// subscribe to the kinds they show: the stage redraws on objects, selection, layers and the
// current frame; the timeline repaints on all of them; the main window follows the layers
// (its layout), the name and the modified flag (its caption).
class DocumentChange {
public:
    enum Kind : std::uint32_t {
        Objects = 1u << 0,      // an object's values, spans, motion or guide points
        Selection = 1u << 1,    // selected flags of objects or layers
        CurrentFrame = 1u << 2, // the frame the stage shows and the timeline marks
        Layers = 1u << 3,       // layers added, removed, reordered, shown or hidden
        Header = 1u << 4,       // stage size, duration, frame rate, background
        Name = 1u << 5,         // the project's name
        Modified = 1u << 6,     // the modified flag went on or off
        Replaced = 1u << 7,     // a new, opened or unnamed project took the open one's place
    };
    static constexpr std::uint32_t kEverything = 0xFFu;

    constexpr DocumentChange() = default;
    constexpr DocumentChange(std::uint32_t kinds) : m_kinds(kinds) {}

    constexpr bool has(std::uint32_t kinds) const { return (m_kinds & kinds) != 0; }
    constexpr bool isEmpty() const { return m_kinds == 0; }
    constexpr std::uint32_t kinds() const { return m_kinds; }
    constexpr DocumentChange& operator|=(DocumentChange other) {
        m_kinds |= other.m_kinds;
        return *this;
    }

private:
    std::uint32_t m_kinds = 0;
};

// ChangeListener: a panel's subscription to the command layer's announcements. Called on the
// UI thread, after the command released the document's lock.
class ChangeListener {
public:
    virtual ~ChangeListener() = default;
    virtual void documentChanged(DocumentChange change) = 0;
};
