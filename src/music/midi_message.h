#pragma once

#include <cstdint>

namespace melvora {

// Packing and reading of MIDI short messages on channel 1: status | data1 << 8 | data2 << 16,
// as midiOutShortMsg takes them and the MIDI input callback delivers them.
namespace midi {

constexpr uint32_t kNoteOff = 0x80;
constexpr uint32_t kNoteOn = 0x90;
constexpr uint32_t kControlChange = 0xB0;
constexpr uint32_t kProgramChange = 0xC0;
constexpr uint32_t kActiveSensing = 0xFE;
constexpr uint32_t kAllNotesOffController = 123;
constexpr uint32_t kVolumeController = 7;
// Velocity of every note off this program sends, and of the notes the staff plays.
constexpr uint32_t kReleaseVelocity = 64;

constexpr uint32_t Pack(uint32_t status, uint32_t data1, uint32_t data2 = 0) {
    return (status & 0xFFu) | (data1 & 0x7Fu) << 8 | (data2 & 0x7Fu) << 16;
}
constexpr uint32_t NoteOn(int key, int velocity) {
    return Pack(kNoteOn, static_cast<uint32_t>(key), static_cast<uint32_t>(velocity));
}
constexpr uint32_t NoteOff(int key) {
    return Pack(kNoteOff, static_cast<uint32_t>(key), kReleaseVelocity);
}
constexpr uint32_t ProgramChange(int program) {
    return Pack(kProgramChange, static_cast<uint32_t>(program));
}
constexpr uint32_t AllNotesOff() {
    return Pack(kControlChange, kAllNotesOffController, 0);
}

constexpr uint32_t Status(uint32_t message) {
    return message & 0xFFu;
}
constexpr int Data1(uint32_t message) {
    return static_cast<int>(message >> 8 & 0xFFu);
}
constexpr int Data2(uint32_t message) {
    return static_cast<int>(message >> 16 & 0xFFu);
}

// Note-on velocity of the MIDI volume option: 0 low 56, 1 medium 88, 2 high 127. Other
// values are taken as medium.
constexpr int VelocityOfVolume(int32_t midiVolume) {
    return midiVolume == 0 ? 56 : midiVolume == 2 ? 127 : 88;
}

}  // namespace midi
}  // namespace melvora
