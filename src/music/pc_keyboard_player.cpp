#include "music/pc_keyboard_player.h"

#include "music/piano_keyboard.h"

namespace melvora {

PcKeyboardPlayer::PcKeyboardPlayer(PianoKeyboard& keyboard, PcKeyboardHost& host,
                                   int32_t layoutOption)
    : keyboard_(keyboard), host_(host), layout_(layoutOption) {}

void PcKeyboardPlayer::ClearLabels() {
    PcKeyboardLayout::ClearLabels(keyboard_);
}

void PcKeyboardPlayer::SetOctave(int pcOctave) {
    host_.AllNotesOff();
    ClearLabels();
    octave_ = pcOctave;
    fadeStep_ = 0;
    host_.Invalidate();
    if (held_.empty()) {
        host_.KillTimer(kFadeStepTimer);
        host_.StartTimer(kFadeStartTimer, kFadeDelayMs);
        layout_.PutLabels(keyboard_, octave_);
    }
}

void PcKeyboardPlayer::SetLayout(int32_t layoutOption) {
    layout_ = PcKeyboardLayout(layoutOption);
    SetOctave(octave_);
}

bool PcKeyboardPlayer::KeyDown(int virtualKey, bool repeat) {
    if (virtualKey >= kKeyF1 && virtualKey <= kKeyF8) {
        SetOctave(virtualKey - kKeyF1 + 1);
        return true;
    }
    const int slot = layout_.SlotOf(virtualKey, octave_, keyboard_.SlotCount());
    if (slot < 0) {
        return false;
    }
    // A held key sounds once: auto-repeats, and a second down without the repeat bit (a lost
    // key-up), do nothing.
    if (repeat || held_.count(virtualKey) != 0) {
        return true;
    }
    host_.PlayKey(slot);
    if (held_.empty()) {
        if (fadeStep_ == 0) {
            host_.KillTimer(kFadeStartTimer);
        } else if (fadeStep_ < kFadeSteps) {
            host_.KillTimer(kFadeStepTimer);
            fadeStep_ = 0;
        } else {
            fadeStep_ = 0;
            layout_.PutLabels(keyboard_, octave_);
        }
    }
    held_[virtualKey] = slot;
    host_.Invalidate();
    return true;
}

bool PcKeyboardPlayer::KeyUp(int virtualKey) {
    const auto found = held_.find(virtualKey);
    if (found == held_.end()) {
        return layout_.SlotOf(virtualKey, octave_, keyboard_.SlotCount()) >= 0;
    }
    // The key it pressed is let go, even when the octave changed while it was held.
    host_.StopKey(found->second);
    held_.erase(found);
    if (held_.empty()) {
        host_.StartTimer(kFadeStartTimer, kFadeDelayMs);
    }
    return true;
}

void PcKeyboardPlayer::ReleaseAll() {
    if (held_.empty()) {
        return;
    }
    for (const auto& key : held_) {
        host_.StopKey(key.second);
    }
    held_.clear();
    host_.StartTimer(kFadeStartTimer, kFadeDelayMs);
}

bool PcKeyboardPlayer::OnTimer(int timerId) {
    if (timerId == kFadeStartTimer) {
        host_.KillTimer(kFadeStartTimer);
        ++fadeStep_;
        if (fadeStep_ < kFadeSteps) {
            host_.StartTimer(kFadeStepTimer, kFadeStepMs);
        } else {
            ClearLabels();
        }
    } else if (timerId == kFadeStepTimer) {
        ++fadeStep_;
        if (fadeStep_ >= kFadeSteps) {
            host_.KillTimer(kFadeStepTimer);
            ClearLabels();
        }
    } else {
        return false;
    }
    host_.Invalidate();
    return true;
}

void PcKeyboardPlayer::Tints(float white[4], float black[4]) const {
    PianoKeyboard::HighlightColour(PianoKeyboard::kHover, false, white);
    PianoKeyboard::HighlightColour(PianoKeyboard::kHover, true, black);
    const float step = static_cast<float>(fadeStep_);
    for (int c = 0; c < 3; ++c) {
        white[c] /= 1.0f - 0.02f * step;
        black[c] /= 1.0f - 0.05f * step;
    }
}

}  // namespace melvora
