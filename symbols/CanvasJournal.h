#pragma once

#include "document/ProgramFolders.h"

#include <QFile>
#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// CanvasJournal: the painting canvas's undo history on disk. Every finished edit appends the
// whole picture as a record (see JournalRecord) to "cfxs-udo.tmp" in the data folder; undo and
// redo load a record back. Position -1 stands for the frame's starting picture (which the canvas
// keeps), position k for record k.
//
// The data folder is shared by every copy of the program run from the same folder, so the
// journal keeps its own file open and only ever writes at offsets it wrote itself: a copy that
// deletes or replaces the file by name never mixes its records with ours, and a write that fails
// is cut off again, so it loses only the state it was writing.
class CanvasJournal {
public:
    static constexpr const char* kJournalName = "cfxs-udo.tmp";
    static constexpr const char* kScratchName = "cfxs-tmp-udo.tmp";
    // The journal drops its first record before an append once it holds more than 44 bytes per
    // canvas pixel (eleven pictures of the current size) or more than 12 MB.
    static constexpr std::int64_t kBytesPerPixel = 44;
    static constexpr std::int64_t kMaxBytes = 12582912;

    explicit CanvasJournal(ProgramFolders folders);
    ~CanvasJournal();
    CanvasJournal(const CanvasJournal&) = delete;
    CanvasJournal& operator=(const CanvasJournal&) = delete;

    // Deletes the journal file; position -1, no records.
    void ResetJournal();
    // Records `picture` after an edit: drops the redo tail, keeps the size bound, appends.
    // False when the record could not be written: that state is lost, the records before it
    // stay, and the next undo returns to the last recorded state.
    bool PushState(const QImage& picture);
    // One step back: `picture` becomes the previous record, or `start` when the position was 0.
    // A record that cannot be read leaves `picture` as it is; the position still moves. False
    // (nothing done) at position -1.
    bool Undo(QImage& picture, const QImage& start);
    // One step forward, with the same rule for unreadable records; false when there is no redo.
    bool Redo(QImage& picture);
    // The picture of record `index`, or nothing when it is missing, cut short or not the record
    // this journal wrote there.
    std::optional<QImage> ReadRecord(int index);

    int position() const { return m_position; }
    std::uint32_t count() const { return std::uint32_t(m_records.size()); }
    // Length of the records written (the file holds exactly these bytes unless someone else
    // changed it).
    std::int64_t byteLength() const { return m_records.empty() ? 0 : m_records.back().end; }
    std::string journalFile() const;
    std::string scratchFile() const;

private:
    bool openJournal();
    bool dropFirstRecord();
    bool append(const QImage& picture);

    ProgramFolders m_folders;
    std::unique_ptr<QFile> m_file; // open while records exist
    struct Written {
        std::int64_t end; // offset just past the record
        QSize size;       // the picture's size
    };
    std::vector<Written> m_records; // what this journal wrote, in file order
    int m_position = -1;
    // False after a failed push: the canvas shows a state that is not the record at the position.
    bool m_atPosition = true;
};
