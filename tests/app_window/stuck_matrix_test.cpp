#include <gtest/gtest.h>

#include "app/stuck_matrix.h"

namespace melvora {
namespace {

TEST(StuckMatrix, EveryPairIsStuckAtConstruction) {
    StuckMatrix m;
    for (int a = 0; a < 6; ++a) {
        for (int b = 0; b < 6; ++b) {
            EXPECT_TRUE(m.IsStuck(a, b)) << a << "," << b;
        }
    }
    EXPECT_EQ(m.ChainedToMain(), 0x1Fu);
}

TEST(StuckMatrix, SettingIsSymmetric) {
    StuckMatrix m;
    m.SetStuck(2, 5, false);
    EXPECT_FALSE(m.IsStuck(2, 5));
    EXPECT_FALSE(m.IsStuck(5, 2));
    EXPECT_TRUE(m.IsStuck(2, 3));
    m.SetStuck(5, 2, true);
    EXPECT_TRUE(m.IsStuck(2, 5));
}

TEST(StuckMatrix, SlotsOutsideTheSetAreIgnored) {
    StuckMatrix m;
    m.SetStuck(-1, 3, false);
    m.SetStuck(3, 6, false);
    EXPECT_FALSE(m.IsStuck(6, 3));
    EXPECT_FALSE(m.IsStuck(3, -1));
    EXPECT_TRUE(m.IsStuck(3, 3));
}

// Clears every pair, then sticks the given ones.
StuckMatrix OnlyPairs(std::initializer_list<std::pair<int, int>> pairs) {
    StuckMatrix m;
    for (int a = 0; a < 6; ++a) {
        for (int b = 0; b < 6; ++b) {
            m.SetStuck(a, b, false);
        }
        m.SetSelf(a);
    }
    for (const auto& p : pairs) {
        m.SetStuck(p.first, p.second, true);
    }
    return m;
}

TEST(StuckMatrixChain, NothingFollowsWhenNoWindowTouchesTheMain) {
    const StuckMatrix m = OnlyPairs({{0, 1}, {2, 3}});
    EXPECT_EQ(m.ChainedToMain(), 0u);
}

TEST(StuckMatrixChain, DirectNeighboursOnly) {
    const StuckMatrix m = OnlyPairs({{1, 5}, {4, 5}, {2, 3}});
    EXPECT_EQ(m.ChainedToMain(), (1u << 1) | (1u << 4));
}

TEST(StuckMatrixChain, LongestChainThroughAllFiveWindowsIsFollowed) {
    // main - 4 - 0 - 3 - 2 - 1: each window only touches the next one.
    const StuckMatrix m = OnlyPairs({{5, 4}, {4, 0}, {0, 3}, {3, 2}, {2, 1}});
    EXPECT_EQ(m.ChainedToMain(), 0x1Fu);
}

TEST(StuckMatrixChain, ChainsInDescendingOrderAreFollowedToo) {
    // Expansion walks the windows in index order; a chain against that order still needs
    // only the five rounds.
    const StuckMatrix m = OnlyPairs({{5, 0}, {0, 4}, {4, 3}, {3, 2}, {2, 1}});
    EXPECT_EQ(m.ChainedToMain(), 0x1Fu);
}

TEST(StuckMatrixChain, ASeparateGroupStaysBehind) {
    const StuckMatrix m = OnlyPairs({{5, 1}, {1, 0}, {2, 3}, {3, 4}});
    EXPECT_EQ(m.ChainedToMain(), (1u << 0) | (1u << 1));
}

}  // namespace
}  // namespace melvora
