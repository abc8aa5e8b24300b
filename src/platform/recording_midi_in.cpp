#include "platform/recording_midi_in.h"

namespace melvora {

std::string RecordingMidiIn::DeviceName(int deviceId) const {
    if (deviceId < 0 || deviceId >= DeviceCount()) {
        return std::string();
    }
    return names_[static_cast<size_t>(deviceId)];
}

bool RecordingMidiIn::Open(int deviceId, Callback callback) {
    std::lock_guard<std::mutex> hold(lock_);
    if (failOpen || deviceId < 0 || deviceId >= static_cast<int>(names_.size())) {
        return false;
    }
    open_ = true;
    openedDevice = deviceId;
    ++opens;
    callback_ = std::move(callback);
    return true;
}

bool RecordingMidiIn::IsOpen() const {
    std::lock_guard<std::mutex> hold(lock_);
    return open_;
}

bool RecordingMidiIn::Start() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_ || failStart) {
        return false;
    }
    started = true;
    return true;
}

bool RecordingMidiIn::Stop() {
    std::lock_guard<std::mutex> hold(lock_);
    started = false;
    return open_;
}

bool RecordingMidiIn::Close() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!open_) {
        return false;
    }
    open_ = false;
    started = false;
    callback_ = nullptr;
    ++closes;
    return true;
}

void RecordingMidiIn::Deliver(uint32_t packedMessage) {
    Callback callback;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!open_ || !started) {
            return;
        }
        callback = callback_;
    }
    callback(packedMessage);
}

}  // namespace melvora
