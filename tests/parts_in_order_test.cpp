// Parts made side by side and used in order: every part once and in order, however many threads; no part
// started long after its use stopped; a failure in the making comes out, after the parts before it.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "geom/parts_in_order.h"

using namespace korvel;

TEST(MakePartsInOrder, UsesEveryPartOnceInOrder) {
    for (const std::size_t count : {0u, 1u, 2u, 7u, 300u})
        for (const unsigned ahead : {1u, 2u, 3u, 8u}) {
            std::vector<std::size_t> used;
            MakePartsInOrder(
                count, ahead, [](std::size_t i) { return i * i; },
                [&](std::size_t square) {
                    used.push_back(square);
                    return true;
                });
            ASSERT_EQ(used.size(), count) << ahead << " ahead";
            for (std::size_t i = 0; i < count; i++)
                ASSERT_EQ(used[i], i * i) << ahead << " ahead";
        }
}

TEST(MakePartsInOrder, StopsMakingOnceUseSaysSo) {
    for (const unsigned ahead : {1u, 2u, 3u}) {
        std::atomic<std::size_t> made = 0;
        std::size_t used = 0;
        MakePartsInOrder(
            1000, ahead,
            [&](std::size_t i) {
                made++;
                return i;
            },
            [&](std::size_t) { return ++used < 10; });
        EXPECT_EQ(used, 10u);
        // The parts in the making when the tenth was used, at most one more than the threads.
        EXPECT_LE(made.load(), 10u + ahead + 1) << ahead << " ahead";
    }
}

TEST(MakePartsInOrder, AFailureInTheMakingComesOutAfterThePartsBeforeIt) {
    for (const unsigned ahead : {1u, 2u, 3u}) {
        std::vector<std::size_t> used;
        EXPECT_THROW(MakePartsInOrder(
                         50, ahead,
                         [](std::size_t i) {
                             if (i == 17) throw std::runtime_error("part 17");
                             return i;
                         },
                         [&](std::size_t i) {
                             used.push_back(i);
                             return true;
                         }),
                     std::runtime_error);
        EXPECT_EQ(used.size(), 17u) << ahead << " ahead";
    }
}
