#include "app/stuck_matrix.h"

namespace melvora {

namespace {

bool ValidSlot(int slot) {
    return slot >= 0 && slot < StuckMatrix::kSlotCount;
}

}  // namespace

StuckMatrix::StuckMatrix() {
    for (auto& row : cells_) {
        row.fill(1);
    }
}

bool StuckMatrix::IsStuck(int a, int b) const {
    if (!ValidSlot(a) || !ValidSlot(b)) {
        return false;
    }
    return cells_[a][b] != 0;
}

void StuckMatrix::SetStuck(int a, int b, bool stuck) {
    if (!ValidSlot(a) || !ValidSlot(b)) {
        return;
    }
    cells_[a][b] = stuck ? 1 : 0;
    cells_[b][a] = stuck ? 1 : 0;
}

void StuckMatrix::SetSelf(int a) {
    if (ValidSlot(a)) {
        cells_[a][a] = 1;
    }
}

unsigned StuckMatrix::ChainedToMain() const {
    std::array<bool, kSlotCount> marked{};
    std::array<bool, kSlotCount> expanded{};
    for (int i = 0; i < kFloatingCount; ++i) {
        marked[i] = cells_[kMainSlot][i] != 0;
    }
    // The main slot's own row was the start; expanding it again adds nothing.
    expanded[kMainSlot] = true;
    for (int round = 0; round < kExpansionRounds; ++round) {
        for (int i = 0; i < kSlotCount; ++i) {
            if (!marked[i] || expanded[i]) {
                continue;
            }
            for (int j = 0; j < kSlotCount; ++j) {
                if (cells_[i][j] != 0) {
                    marked[j] = true;
                }
            }
            expanded[i] = true;
        }
    }
    unsigned mask = 0;
    for (int i = 0; i < kFloatingCount; ++i) {
        if (marked[i]) {
            mask |= 1u << i;
        }
    }
    return mask;
}

}  // namespace melvora
