#pragma once

#include <array>
#include <cstdint>

namespace melvora {

// Which windows of the window set touch each other. Slots 0 to 4 are the floating windows in
// their index order, slot 5 is the main window (or the exercise window while an exercise
// runs). Touching is symmetric; every pair counts as touching at construction, so a fresh
// window set moves as one block with the main window.
class StuckMatrix {
  public:
    static constexpr int kSlotCount = 6;
    static constexpr int kMainSlot = 5;
    static constexpr int kFloatingCount = 5;
    // Rounds of chain expansion; enough for a chain through all five floating windows.
    static constexpr int kExpansionRounds = 5;

    StuckMatrix();

    // Slots outside 0..5 read as not stuck and are ignored when set.
    bool IsStuck(int a, int b) const;
    // Sets or clears both (a, b) and (b, a).
    void SetStuck(int a, int b, bool stuck);
    // Sets only (a, a); a window always touches itself.
    void SetSelf(int a);

    // The floating windows stuck to the main slot directly or through a chain of other
    // windows, as a bit mask (bit i for floating window i).
    unsigned ChainedToMain() const;

  private:
    std::array<std::array<std::uint8_t, kSlotCount>, kSlotCount> cells_{};
};

}  // namespace melvora
