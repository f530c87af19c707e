#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

// BlockList: the sequence container of every project list. Elements live in a doubly linked
// chain of small blocks (five elements each by default). Index access starts from the nearest
// of the remembered cursor block, the first block and the last block, and leaves the cursor on
// the block it found, so a loop over i = 0, 1, 2, ... steps over each block once.
// Invariant: every linked block holds at least one element; count() is the sum of their sizes.
template <typename T, std::uint16_t Capacity = 5> class BlockList {
    static_assert(Capacity >= 2, "a full block is split in two on insert");

    struct Block {
        Block* prev = nullptr;
        Block* next = nullptr;
        T items[Capacity]{};
        std::uint16_t used = 0;
    };

public:
    BlockList() = default;
    BlockList(const BlockList& other) { appendAll(other); }
    BlockList(BlockList&& other) noexcept { takeFrom(other); }
    BlockList& operator=(const BlockList& other) {
        if (this != &other) {
            BlockList copy(other);
            clear();
            takeFrom(copy);
        }
        return *this;
    }
    BlockList& operator=(BlockList&& other) noexcept {
        if (this != &other) {
            clear();
            takeFrom(other);
        }
        return *this;
    }
    ~BlockList() { clear(); }

    std::uint32_t count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    static constexpr std::uint16_t capacity() { return Capacity; }

    // Appends after the last element; a full (or missing) last block gets a new block after it.
    void append(T value) {
        if (!m_last || m_last->used == Capacity) {
            Block* block = new Block;
            block->prev = m_last;
            if (m_last)
                m_last->next = block;
            else
                m_first = block;
            m_last = block;
        }
        m_last->items[m_last->used++] = std::move(value);
        ++m_count;
        m_cursor = m_last;
        m_cursorBase = static_cast<std::int64_t>(m_count) - m_last->used;
    }

    // Inserts so that the new element gets index `index` (0..count); a full block is split.
    void insert(std::uint32_t index, T value) {
        if (index >= m_count) {
            append(std::move(value));
            return;
        }
        Block* block = locate(index);
        std::uint16_t slot = static_cast<std::uint16_t>(index - m_cursorBase);
        if (block->used == Capacity) {
            // Move the upper half of the block into a new block linked right after it.
            Block* tail = new Block;
            const std::uint16_t keep = Capacity / 2;
            for (std::uint16_t k = keep; k < Capacity; ++k)
                tail->items[tail->used++] = std::exchange(block->items[k], T{});
            block->used = keep;
            tail->prev = block;
            tail->next = block->next;
            if (block->next)
                block->next->prev = tail;
            else
                m_last = tail;
            block->next = tail;
            if (slot > keep) {
                m_cursorBase += block->used;
                slot = static_cast<std::uint16_t>(slot - block->used);
                block = tail;
            }
        }
        for (std::uint16_t k = block->used; k > slot; --k)
            block->items[k] = std::move(block->items[k - 1]);
        block->items[slot] = std::move(value);
        ++block->used;
        ++m_count;
        m_cursor = block;
    }

    // Removes element `index`; later elements of its block move down. An emptied block is
    // unlinked; when it was the cursor block the cursor moves to the first block.
    void removeAt(std::uint32_t index) {
        if (index >= m_count)
            return;
        Block* block = locate(index);
        const std::uint16_t slot = static_cast<std::uint16_t>(index - m_cursorBase);
        for (std::uint16_t k = slot; k + 1 < block->used; ++k)
            block->items[k] = std::move(block->items[k + 1]);
        block->items[--block->used] = T{};
        --m_count;
        if (block->used == 0) {
            unlink(block);
            delete block;
            m_cursor = m_first;
            m_cursorBase = m_first ? 0 : -1;
        }
    }

    // Removes and returns element `index`.
    T take(std::uint32_t index) {
        T value = std::move((*this)[index]);
        removeAt(index);
        return value;
    }

    void clear() {
        Block* block = m_first;
        while (block) {
            Block* next = block->next;
            delete block;
            block = next;
        }
        m_first = m_last = m_cursor = nullptr;
        m_count = 0;
        m_cursorBase = -1;
    }

    // Element access; index must be below count(). Moves the cursor (also through const access).
    T& operator[](std::uint32_t index) {
        Block* block = locate(index);
        return block->items[index - m_cursorBase];
    }
    const T& operator[](std::uint32_t index) const {
        Block* block = locate(index);
        return block->items[index - m_cursorBase];
    }

    // The cursor: base index of the remembered block (-1 while empty) and that block's size.
    // Read by tests to see which blocks a walk touches.
    std::int64_t cursorBase() const { return m_cursorBase; }
    std::uint16_t cursorUsed() const { return m_cursor ? m_cursor->used : 0; }
    // Number of block-to-block steps taken by index access since construction.
    std::uint64_t stepCount() const { return m_steps; }

    // Iteration in list order without touching the cursor.
    template <typename Ref> class Iter {
    public:
        Iter(Block* block, std::uint16_t slot) : m_block(block), m_slot(slot) {}
        Ref operator*() const { return m_block->items[m_slot]; }
        auto* operator->() const { return &m_block->items[m_slot]; }
        Iter& operator++() {
            if (++m_slot >= m_block->used) {
                m_block = m_block->next;
                m_slot = 0;
            }
            return *this;
        }
        bool operator==(const Iter& o) const { return m_block == o.m_block && m_slot == o.m_slot; }

    private:
        Block* m_block;
        std::uint16_t m_slot;
    };
    using iterator = Iter<T&>;
    using const_iterator = Iter<const T&>;
    iterator begin() { return iterator(m_first, 0); }
    iterator end() { return iterator(nullptr, 0); }
    const_iterator begin() const { return const_iterator(m_first, 0); }
    const_iterator end() const { return const_iterator(nullptr, 0); }

    // Equal when both hold equal elements in the same order (the block layout aside).
    friend bool operator==(const BlockList& a, const BlockList& b) {
        if (a.count() != b.count())
            return false;
        auto j = b.begin();
        for (const T& item : a) {
            if (!(item == *j))
                return false;
            ++j;
        }
        return true;
    }

private:
    // Finds the block holding `index` (< count) from the nearest of cursor, first and last
    // block; the found block and its base index become the cursor.
    Block* locate(std::uint32_t index) const {
        const std::int64_t i = index;
        std::int64_t base = m_cursorBase;
        Block* block = m_cursor;
        if (i < base) {
            if (base - i <= i) { // nearer to the cursor than to the first block
                while (base > i) {
                    block = block->prev;
                    base -= block->used;
                    ++m_steps;
                }
            } else {
                block = m_first;
                base = 0;
            }
        } else if (i >= base + block->used) {
            const std::int64_t count = m_count;
            if (i - base > count - i) { // nearer to the last block than to the cursor
                block = m_last;
                base = count - block->used;
                while (base > i) {
                    block = block->prev;
                    base -= block->used;
                    ++m_steps;
                }
                m_cursor = block;
                m_cursorBase = base;
                return block;
            }
        }
        while (i >= base + block->used) {
            base += block->used;
            block = block->next;
            ++m_steps;
        }
        m_cursor = block;
        m_cursorBase = base;
        return block;
    }

    void unlink(Block* block) {
        if (block->prev)
            block->prev->next = block->next;
        else
            m_first = block->next;
        if (block->next)
            block->next->prev = block->prev;
        else
            m_last = block->prev;
    }

    void appendAll(const BlockList& other) {
        for (const T& value : other)
            append(value);
    }

    void takeFrom(BlockList& other) {
        m_first = std::exchange(other.m_first, nullptr);
        m_last = std::exchange(other.m_last, nullptr);
        m_cursor = std::exchange(other.m_cursor, nullptr);
        m_count = std::exchange(other.m_count, 0);
        m_cursorBase = std::exchange(other.m_cursorBase, -1);
    }

    Block* m_first = nullptr;
    Block* m_last = nullptr;
    mutable Block* m_cursor = nullptr;
    mutable std::int64_t m_cursorBase = -1;
    mutable std::uint64_t m_steps = 0;
    std::uint32_t m_count = 0;
};
