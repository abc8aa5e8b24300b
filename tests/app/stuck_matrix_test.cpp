#include <gtest/gtest.h>

#include "app/stuck_matrix.h"

namespace melvora {
namespace {

TEST(StuckMatrix, ChainedToMainFollowsEveryChainThroughTheWindows) {
    StuckMatrix fresh;  // every window stuck to every other
    EXPECT_EQ(fresh.ChainedToMain(), 0x1Fu);
    // Slots outside the set are ignored.
    fresh.SetStuck(-1, 3, false);
    fresh.SetStuck(3, 6, false);
    EXPECT_FALSE(fresh.IsStuck(6, 3));
    EXPECT_FALSE(fresh.IsStuck(3, -1));
    EXPECT_TRUE(fresh.IsStuck(3, 3));
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> pairs;
        unsigned chained;
    } cases[] = {
        {"no window touches the main", {{0, 1}, {2, 3}}, 0u},
        {"direct neighbours only", {{1, 5}, {4, 5}, {2, 3}}, (1u << 1) | (1u << 4)},
        {"main-4-0-3-2-1", {{5, 4}, {4, 0}, {0, 3}, {3, 2}, {2, 1}}, 0x1Fu},
        // Expansion walks the windows in index order; a chain against it needs five rounds.
        {"main-0-4-3-2-1", {{5, 0}, {0, 4}, {4, 3}, {3, 2}, {2, 1}}, 0x1Fu},
        {"a separate group stays behind", {{5, 1}, {1, 0}, {2, 3}, {3, 4}}, 0x3u},
    };
    for (const auto& c : cases) {
        StuckMatrix m;
        for (int a = 0; a < 6; ++a) {
            for (int b = 0; b < 6; ++b) {
                m.SetStuck(a, b, false);
            }
            m.SetSelf(a);
        }
        for (const auto& p : c.pairs) {
            m.SetStuck(p.first, p.second, true);
        }
        EXPECT_EQ(m.ChainedToMain(), c.chained) << c.name;
    }
}

}  // namespace
}  // namespace melvora
