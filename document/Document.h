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
// Invariant: the lists are reached only through a Document::Lock, which holds the lock for its
// lifetime, so the worker never draws while the UI thread reads or edits them. The current
// frame and the modified flag are atomics that any thread may read without the lock.
class Document {
public:
    // Holds the document's lock from construction to destruction and hands out its lists.
    // Not reentrant: a thread holding one must not make another.
    class Lock {
    public:
        explicit Lock(Document& document) : m_document(document), m_guard(document.m_mutex) {}
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

        Project& project() { return m_document.m_project; }
        EmbeddedSymbolList& symbols() { return m_document.m_symbols; }
        HitRegionTable& hitRegions() { return m_document.m_hitRegions; }
        UndoHistory& history() { return m_document.m_history; }
        Document& document() { return m_document; }

    private:
        Document& m_document;
        std::lock_guard<std::mutex> m_guard;
    };

    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Blocks until the lock is free: `auto lock = document.lock();`.
    Lock lock() { return Lock(*this); }

    // The frame the stage shows and the timeline marks; frames count from 0.
    int currentFrame() const { return m_currentFrame; }
    void setCurrentFrame(int frame) { m_currentFrame = frame; }

    // Set by every edit of objects or layers, cleared by a successful save.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

private:
    std::mutex m_mutex;
    Project m_project;
    EmbeddedSymbolList m_symbols;
    HitRegionTable m_hitRegions;
    UndoHistory m_history;
    std::atomic<int> m_currentFrame{0};
    std::atomic<bool> m_modified{false};
};
