#pragma once

#include "document/EmbeddedSymbolList.h"
#include "document/HitRegionTable.h"
#include "document/Project.h"
#include "document/UndoHistory.h"

#include <atomic>
#include <mutex>

// Document: the open project and everything that belongs to it (its symbol pictures, the
// stage's hit regions, the undo history), the modified flag, the current frame, and the one
// lock that the UI thread and the stage worker share.
// Invariant: the lists are reached only through a lock, which holds the document's mutex for
// its lifetime. Everyone may take a Lock, which hands out the lists read-only; only the command
// layer (ProjectEditor) can take a WriteLock, so an edit anywhere else does not compile. The
// current frame and the modified flag are atomics that any thread may read without the lock.
class Document {
public:
    // Holds the document's lock from construction to destruction and hands out its lists,
    // read-only. Not reentrant: a thread holding one must not make another.
    class Lock {
    public:
        explicit Lock(Document& document) : m_document(document), m_guard(document.m_mutex) {}
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

        const Project& project() const { return m_document.m_project; }
        const EmbeddedSymbolList& symbols() const { return m_document.m_symbols; }
        const HitRegionTable& hitRegions() const { return m_document.m_hitRegions; }
        const UndoHistory& history() const { return m_document.m_history; }

    protected:
        Document& m_document;

    private:
        std::lock_guard<std::mutex> m_guard;
    };

    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Blocks until the lock is free: `auto lock = document.lock();`.
    Lock lock() { return Lock(*this); }

    // The frame the stage shows and the timeline marks; frames count from 0. The command
    // layer moves it for commands; the stage worker moves it while the preview plays and an
    // export runs.
    int currentFrame() const { return m_currentFrame; }
    void setCurrentFrame(int frame) { m_currentFrame = frame; }

    // Set by every edit of objects or layers, cleared by a successful save.
    bool isModified() const { return m_modified; }

private:
    friend class ProjectEditor;
    friend struct DocumentTestAccess; // defined by the tests only, to arrange states

    // The lock with the lists writable: the command layer's alone.
    class WriteLock : public Lock {
    public:
        explicit WriteLock(Document& document) : Lock(document) {}
        Project& project() { return m_document.m_project; }
        EmbeddedSymbolList& symbols() { return m_document.m_symbols; }
        HitRegionTable& hitRegions() { return m_document.m_hitRegions; }
        UndoHistory& history() { return m_document.m_history; }
    };

    void setModified(bool modified) { m_modified = modified; }

    std::mutex m_mutex;
    Project m_project;
    EmbeddedSymbolList m_symbols;
    HitRegionTable m_hitRegions;
    UndoHistory m_history;
    std::atomic<int> m_currentFrame{0};
    std::atomic<bool> m_modified{false};
};
