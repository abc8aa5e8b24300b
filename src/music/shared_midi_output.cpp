#include "music/shared_midi_output.h"

#include "music/midi_message.h"

namespace melvora {

SharedMidiOutput::SharedMidiOutput(std::unique_ptr<MidiOut> port) : port_(std::move(port)) {}

SharedMidiOutput::~SharedMidiOutput() {
    Close();
}

bool SharedMidiOutput::Open(int deviceId) {
    std::lock_guard<std::mutex> hold(lock_);
    if (tried_) {
        return openedOnce_;
    }
    tried_ = true;
    deviceId_ = deviceId;
    program_ = 0;
    openedOnce_ = OpenLocked();
    return openedOnce_;
}

bool SharedMidiOutput::OpenLocked() {
    if (!port_ || !port_->Open(deviceId_)) {
        return false;
    }
    port_->ShortMessage(midi::ProgramChange(static_cast<int>(program_)));
    if (channelVolume_ >= 0) {
        port_->ShortMessage(midi::Pack(midi::kControlChange, midi::kVolumeController,
                                       static_cast<uint32_t>(channelVolume_)));
    }
    return true;
}

bool SharedMidiOutput::IsOpen() const {
    std::lock_guard<std::mutex> hold(lock_);
    return port_ && port_->IsOpen();
}

void SharedMidiOutput::Close() {
    std::lock_guard<std::mutex> hold(lock_);
    if (port_ && port_->IsOpen()) {
        port_->ShortMessage(midi::AllNotesOff());
        port_->Close();
    }
    released_ = false;
}

bool SharedMidiOutput::Send(uint32_t packedShortMessage) {
    std::lock_guard<std::mutex> hold(lock_);
    if (!port_ || !port_->IsOpen()) {
        return false;
    }
    const uint32_t status = midi::Status(packedShortMessage);
    if ((status & 0xF0u) == midi::kProgramChange) {
        program_ = static_cast<uint32_t>(midi::Data1(packedShortMessage));
    } else if ((status & 0xF0u) == midi::kControlChange &&
               static_cast<uint32_t>(midi::Data1(packedShortMessage)) == midi::kVolumeController) {
        channelVolume_ = midi::Data2(packedShortMessage);
    }
    return port_->ShortMessage(packedShortMessage);
}

void SharedMidiOutput::Release() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!port_ || !port_->IsOpen()) {
        return;
    }
    port_->ShortMessage(midi::AllNotesOff());
    port_->Close();
    released_ = true;
}

bool SharedMidiOutput::Reclaim() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!port_) {
        return false;
    }
    if (port_->IsOpen()) {
        return true;
    }
    // Only a device that was ours comes back: one that never opened stays closed.
    if (!released_) {
        return false;
    }
    if (!OpenLocked()) {
        return false;
    }
    released_ = false;
    return true;
}

}  // namespace melvora
