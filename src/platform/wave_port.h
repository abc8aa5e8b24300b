#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace melvora {

// The waveIn/waveOut shaped seam under the capture and playback devices. The devices keep
// all buffer logic; a port only forwards to a sound card (WINMM, or the simulated card of the
// tests) and reports, through each header's done flag, which buffers the card has finished.

// Format of a port: the fields of a PCM WAVEFORMATEX.
struct WaveFormat {
    uint16_t formatTag = 1;  // 1 PCM
    uint16_t channels = 1;
    uint32_t sampleRateHz = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;  // bytes per frame
    uint16_t bitsPerSample = 16;
};

// Header flags, with the values WINMM uses.
constexpr uint32_t kWaveHeaderDone = 0x01;
constexpr uint32_t kWaveHeaderPrepared = 0x02;
constexpr uint32_t kWaveHeaderInQueue = 0x10;

// One device buffer. The device owns the header and its data block; while the header is queued
// to the card, only the card touches data and bytesRecorded, and it sets the done flag last
// (release), so whoever sees the flag (acquire) sees the bytes.
struct WaveHeader {
    char* data = nullptr;
    uint32_t bufferLengthBytes = 0;
    uint32_t bytesRecorded = 0;  // capture: bytes the card filled, valid once done
    std::atomic<uint32_t> flags{0};
    void* portRecord = nullptr;  // the port's own record for this header (a WAVEHDR for WINMM)
};

// What the capture and playback ports share. Every call returns true on success, like
// MMSYSERR_NOERROR.
class WavePort {
  public:
    virtual ~WavePort() = default;
    [[nodiscard]] virtual bool Open(const WaveFormat& format) = 0;
    virtual bool IsOpen() const = 0;
    [[nodiscard]] virtual bool Prepare(WaveHeader& header) = 0;
    // Stops the card at once and returns every queued header to the device, marked done.
    virtual bool Reset() = 0;
    virtual bool Unprepare(WaveHeader& header) = 0;
    virtual bool Close() = 0;
    // Looks at the header's done flag as the card left it; for capture, the first look that
    // finds it set also fills in bytesRecorded.
    virtual bool IsDone(WaveHeader& header) = 0;
    // Waits `milliseconds` of the card's time (0 yields).
    virtual void Sleep(int milliseconds) = 0;
    // The device is about to free an unprepared header: drop the port's own record of it.
    virtual void Forget(WaveHeader& header) { header.portRecord = nullptr; }
    // The sound system's code of the last call that failed (0 when none did), and the
    // system's text for a code (empty when it has none). Window thread for ErrorText.
    virtual int LastError() const { return 0; }
    virtual std::wstring ErrorText(int /*code*/) const { return std::wstring(); }
};

class WaveInPort : public WavePort {
  public:
    [[nodiscard]] virtual bool AddBuffer(WaveHeader& header) = 0;
    [[nodiscard]] virtual bool Start() = 0;
};

class WaveOutPort : public WavePort {
  public:
    // Queues a prepared header for playing; bufferLengthBytes bytes of data are played.
    [[nodiscard]] virtual bool Write(WaveHeader& header) = 0;
};

}  // namespace melvora
