#pragma once

#include <cstdint>

namespace melvora {

// Time and timers for the exercise runner and its sample player: the runner's window with
// GetTickCount and SetTimer in the program, a hand-driven clock in tests. Window thread.
class RunnerClock {
  public:
    // Timer 1: progress of the sample or of the try, every 100 ms. Timer 2: next note.
    static constexpr int kProgressTimer = 1;
    static constexpr int kNoteTimer = 2;

    virtual ~RunnerClock() = default;
    // Milliseconds since some fixed moment; wraps like GetTickCount.
    virtual uint32_t NowMs() = 0;
    // (Re)starts timer `timerId` to fire every `periodMs` (at least 1) until stopped.
    virtual void StartTimer(int timerId, uint32_t periodMs) = 0;
    virtual void StopTimer(int timerId) = 0;
};

}  // namespace melvora
