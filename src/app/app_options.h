#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "transport/transport_settings.h"

namespace melvora {

// The user's settings. One global instance (Options()) lives for the whole run; every part
// of the program reads its fields directly, and code that changes a field calls Save() at
// once. "options.dat" in the program directory holds a fixed 220-byte little-endian image of
// every field but notLoaded, packed without alignment.
struct AppOptions {
    static constexpr size_t kFileSizeBytes = 220;
    static constexpr size_t kTextFieldBytes = 80;
    using FileImage = std::array<uint8_t, kFileSizeBytes>;
    // Ranges the file's analysis fields must lie in; FromFileImage puts the default in place
    // of a value outside (the WAV reader accepts the same rates).
    static constexpr int32_t kMinRecordingFrequencyHz = 1000;
    static constexpr int32_t kMaxRecordingFrequencyHz = 384000;
    static constexpr float kMaxAnalysisSeconds = 1.0f;  // frame length and skip rate, above 0

    // 1 until a valid options.dat has been read (the mixer then picks the microphone as on
    // a first run). Not stored in the file.
    uint8_t notLoaded = 1;
    // 0 English, 1 Turkish [default 1]. Load() turns any other stored value into 0.
    int32_t language = 1;
    // Face name of the outline font of the OpenGL views, zero-terminated.
    char fontFace[kTextFieldBytes] = "Tahoma Bold";
    // Sample rate of new recordings and of the transport when no file is open [44100].
    int32_t recordingFrequencyHz = 44100;
    // Analysis hop, one block per hop [0.03 s].
    float skipRateSeconds = 0.03f;
    // Analysis frame length [0.04 s].
    float frameLengthSeconds = 0.04f;
    // Floating windows stuck to the main window follow it [1].
    uint8_t docking = 1;
    // Snap distance 10 pixels instead of 1 [1].
    uint8_t snapping = 1;
    // Sensitivity of the voice activity gate, 0.0 to 1.0 [0.5].
    float voiceActivationSensitivity = 0.5f;
    // Index of the recording source chosen in the mixer [0].
    int32_t inputSource = 0;
    // Preferred MIDI input device, zero-terminated; the 80th byte is always 0 [empty].
    char midiInputName[kTextFieldBytes] = {};
    // Averaged results kept for the views: 1, 5 or 10 [5].
    int32_t resultHistoryLength = 5;
    // Results per published average [1].
    int32_t averagingWindow = 1;
    // Animation style 0 to 5 [0].
    int32_t analysisView = 0;
    // Points per quarter circle of the animation geometry [12].
    int32_t circleResolution = 12;
    // Name notes with letters (C, D ...) instead of solfege (Do, Re ...) [0].
    uint8_t noteLetters = 0;
    // Staff tuning tolerance [0.15 semitones].
    float tuningToleranceSemitones = 0.15f;
    // Keyboard plays along with the singer [0].
    uint8_t playAlong = 0;
    // PC keyboard layout: 1 single row, 2 double row [2].
    int32_t pcKeyboardLayout = 2;
    // MIDI volume: 0 low, 1 medium, 2 high [1].
    int32_t midiVolume = 1;
    // Resume an unfinished exercise without asking [1].
    uint8_t alwaysContinue = 1;
    // Exercise moves on to the next step by itself [0].
    uint8_t autoAdvance = 0;
    // Exercise steps use the voice activity gate [0].
    uint8_t useVoiceActivityDetection = 0;
    // Recordings of exercise tries stay on disk as WAV files [1].
    uint8_t keepRecordings = 1;

    // The language to show texts and menus in: 1 Turkish, 0 English for every other value.
    int UiLanguage() const { return language == 1 ? 1 : 0; }
    // What the transport and the deck read at their set-up: rate, frame, skip and language.
    TransportSettings ForTransport() const {
        TransportSettings settings;
        settings.recordingRateHz = recordingFrequencyHz;
        settings.frameLengthSeconds = frameLengthSeconds;
        settings.skipRateSeconds = skipRateSeconds;
        settings.language = UiLanguage();
        return settings;
    }

    // The 220-byte file image of the stored fields.
    FileImage ToFileImage() const;
    // Takes every stored field from `data` when `sizeBytes` is exactly 220 and clears
    // notLoaded; any other size leaves every field as it was. Returns true when read. A
    // language other than 1 reads as 0; an analysis field out of its range reads as its default.
    bool FromFileImage(const uint8_t* data, size_t sizeBytes);

    // Reads program directory + "options.dat" if it is exactly 220 bytes long; otherwise
    // nothing changes. Returns true when the file was read.
    bool Load();
    // Writes program directory + "options.dat". Returns false if the file could not be
    // written; the outcome is also kept for LastSaveFailed().
    [[nodiscard]] bool Save() const;
    // True when the newest Save() of any record failed: the main controls window tells the
    // user once that settings cannot be kept.
    static bool LastSaveFailed();

    // Program directory + "options.dat".
    static std::string FilePath();
};

// The one global settings record of the program.
AppOptions& Options();

// Called first thing by every program: loads options.dat and saves it back at once, so a
// missing or damaged file is replaced by a valid 220-byte one (with the defaults). A file that
// cannot be written is reported later, through AppOptions::LastSaveFailed(), once there is a
// window to show it.
void StartUpOptions();

}  // namespace melvora
