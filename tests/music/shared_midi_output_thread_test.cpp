#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "music/midi_message.h"
#include "music/shared_midi_output.h"
#include "platform/recording_midi_out.h"

namespace melvora {
namespace {

// A port that, unlike the recording fake, has no lock of its own: its state is a plain
// flag, as a device handle is. ThreadSanitizer and the closed-send counter see any call
// that is not ordered by the shared output.
class UnlockedPort : public MidiOut {
  public:
    bool Open(int) override {
        ++opens;
        return open_ = true;
    }
    bool IsOpen() const override { return open_; }
    bool ShortMessage(uint32_t) override {
        sendsWhileClosed += open_ ? 0 : 1;
        return open_;
    }
    bool Close() override {
        open_ = false;
        return true;
    }
    int opens = 0;
    int sendsWhileClosed = 0;

  private:
    bool open_ = false;
};

// The play-along step (worker thread) and the input echo (MIDI thread) send while the media
// player (window thread) takes the device away and gives it back, again and again.
TEST(SharedMidiOutputThreads, SendersNeverReachAClosedDevice) {
    auto owned = std::make_unique<UnlockedPort>();
    UnlockedPort* port = owned.get();
    SharedMidiOutput output(std::move(owned));
    ASSERT_TRUE(output.Open());

    std::atomic<bool> stop{false};
    std::atomic<int> accepted{0};
    auto sender = [&](int key) {
        while (!stop.load()) {
            if (output.Send(midi::NoteOn(key, 88))) {
                accepted.fetch_add(1);
            }
            output.Send(midi::NoteOff(key));
        }
    };
    std::thread worker(sender, 60);
    std::thread midiThread(sender, 72);
    int cycles = 0;
    for (; cycles < 2000; ++cycles) {
        output.Release();
        ASSERT_TRUE(output.Reclaim());
    }
    // On a loaded machine the senders may not have run yet: keep cycling until they have
    // been accepted (the output is open between the cycles), within a generous deadline.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (accepted.load() == 0 && std::chrono::steady_clock::now() < deadline) {
        output.Release();
        ASSERT_TRUE(output.Reclaim());
        ++cycles;
        std::this_thread::yield();
    }
    stop.store(true);
    worker.join();
    midiThread.join();

    output.Close();
    EXPECT_EQ(port->sendsWhileClosed, 0);
    EXPECT_EQ(port->opens, cycles + 1);
    EXPECT_GT(accepted.load(), 0);
}

}  // namespace
}  // namespace melvora
