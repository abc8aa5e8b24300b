#include "platform/recording_midi_out.h"

namespace melvora {

std::vector<uint32_t> RecordingMidiOut::Journal::Messages() const {
    std::lock_guard<std::mutex> hold(lock);
    return messages;
}

void RecordingMidiOut::Journal::Clear() {
    std::lock_guard<std::mutex> hold(lock);
    messages.clear();
}

bool RecordingMidiOut::Open(int deviceId) {
    std::lock_guard<std::mutex> hold(journal_.lock);
    if (journal_.failOpen) {
        return false;
    }
    if (open_) {
        ++journal_.closes;
    }
    open_ = true;
    ++journal_.opens;
    journal_.lastDeviceId = deviceId;
    return true;
}

bool RecordingMidiOut::IsOpen() const {
    std::lock_guard<std::mutex> hold(journal_.lock);
    return open_;
}

bool RecordingMidiOut::ShortMessage(uint32_t packedMessage) {
    std::lock_guard<std::mutex> hold(journal_.lock);
    if (!open_) {
        ++journal_.sendsWhileClosed;
        return false;
    }
    journal_.messages.push_back(packedMessage);
    return true;
}

bool RecordingMidiOut::Close() {
    std::lock_guard<std::mutex> hold(journal_.lock);
    if (!open_) {
        return false;
    }
    open_ = false;
    ++journal_.closes;
    return true;
}

}  // namespace melvora
