#include "document/BlockList.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace {

template <typename T> std::vector<T> contents(const BlockList<T>& list) {
    std::vector<T> out;
    for (const T& value : list)
        out.push_back(value);
    return out;
}

TEST(BlockListTest, AscendingWalkVisitsEachBlockOnce) {
    BlockList<int> list;
    for (int i = 0; i < 12; ++i)
        list.append(i * 10);

    // Blocks of 5, 5 and 2: an ascending loop lands on each block once, in order.
    std::vector<std::pair<std::int64_t, int>> blocksSeen;
    const std::uint64_t stepsBefore = list.stepCount();
    for (std::uint32_t i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list[i], static_cast<int>(i) * 10);
        const std::pair<std::int64_t, int> block{list.cursorBase(), list.cursorUsed()};
        if (blocksSeen.empty() || blocksSeen.back() != block)
            blocksSeen.push_back(block);
    }
    const std::vector<std::pair<std::int64_t, int>> expected{{0, 5}, {5, 5}, {10, 2}};
    EXPECT_EQ(blocksSeen, expected);
    EXPECT_LE(list.stepCount() - stepsBefore, 2u); // never more than one step per block
}

TEST(BlockListTest, AccessStartsFromTheNearestOfCursorFirstAndLast) {
    BlockList<int> list;
    for (int i = 0; i < 100; ++i)
        list.append(i); // 20 blocks; the cursor is on the last one

    std::uint64_t steps = list.stepCount();
    EXPECT_EQ(list[2], 2); // from the first block: no step
    EXPECT_EQ(list.stepCount() - steps, 0u);

    steps = list.stepCount();
    EXPECT_EQ(list[97], 97); // from the last block, not 19 steps forward from the cursor
    EXPECT_EQ(list.stepCount() - steps, 0u);

    steps = list.stepCount();
    EXPECT_EQ(list[88], 88); // two blocks back from the cursor
    EXPECT_EQ(list.stepCount() - steps, 2u);

    steps = list.stepCount();
    EXPECT_EQ(list[5], 5); // nearer the first block than the cursor
    EXPECT_EQ(list.stepCount() - steps, 1u);
}

TEST(BlockListTest, InsertAndRemoveKeepOrderAgainstAReferenceModel) {
    std::mt19937 random(12345);
    BlockList<int> list;
    std::vector<int> model;
    for (int round = 0; round < 4000; ++round) {
        const int op = static_cast<int>(random() % 10);
        if (op < 4 || model.empty()) {
            list.append(round);
            model.push_back(round);
        } else if (op < 7) {
            const auto at = static_cast<std::uint32_t>(random() % (model.size() + 1));
            list.insert(at, round);
            model.insert(model.begin() + at, round);
        } else {
            const auto at = static_cast<std::uint32_t>(random() % model.size());
            list.removeAt(at);
            model.erase(model.begin() + at);
        }
        ASSERT_EQ(list.count(), model.size());
        if (round % 97 == 0) {
            ASSERT_EQ(contents(list), model);
            // Random access from wherever the cursor stands agrees too.
            for (int k = 0; k < 20 && !model.empty(); ++k) {
                const auto at = static_cast<std::uint32_t>(random() % model.size());
                ASSERT_EQ(list[at], model[at]);
            }
        }
    }
    EXPECT_EQ(contents(list), model);
}

TEST(BlockListTest, RemovingTheCursorBlockMovesTheCursorToTheFirstBlock) {
    BlockList<int> list;
    for (int i = 0; i < 6; ++i)
        list.append(i); // blocks [0..4] [5]
    EXPECT_EQ(list[5], 5);
    list.removeAt(5); // empties the cursor block
    EXPECT_EQ(list.cursorBase(), 0);
    EXPECT_EQ(list.cursorUsed(), 5);
    EXPECT_EQ(list[4], 4);

    for (int i = 4; i >= 0; --i)
        list.removeAt(static_cast<std::uint32_t>(i));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.cursorBase(), -1);
    list.append(7); // usable again after emptying
    EXPECT_EQ(list[0], 7);
}

TEST(BlockListTest, CopiesAreDeepAndOwnedElementsAreFreedOnce) {
    auto alive = std::make_shared<int>(0);
    struct Counted {
        std::shared_ptr<int> counter;
        int value = 0;
    };
    {
        BlockList<std::unique_ptr<int>> owned;
        for (int i = 0; i < 7; ++i)
            owned.append(std::make_unique<int>(i));
        owned.removeAt(3);
        BlockList<std::unique_ptr<int>> moved = std::move(owned);
        EXPECT_EQ(moved.count(), 6u);
        EXPECT_TRUE(owned.isEmpty());
        EXPECT_EQ(*moved[3], 4);
    }

    BlockList<Counted> a;
    for (int i = 0; i < 8; ++i)
        a.append(Counted{alive, i});
    BlockList<Counted> b = a;
    b[2].value = 99;
    EXPECT_EQ(a[2].value, 2);
    EXPECT_EQ(b[2].value, 99);
    EXPECT_EQ(alive.use_count(), 17); // ours + 8 + 8
    a.clear();
    b = BlockList<Counted>();
    EXPECT_EQ(alive.use_count(), 1);
}

} // namespace
