#include "platform/wave_port_winmm.h"

#include <windows.h>
#include <mmsystem.h>

namespace melvora {

namespace {

WAVEFORMATEX ToWaveFormatEx(const WaveFormat& format) {
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = format.formatTag;
    wfx.nChannels = format.channels;
    wfx.nSamplesPerSec = format.sampleRateHz;
    wfx.nAvgBytesPerSec = format.averageBytesPerSecond;
    wfx.nBlockAlign = format.blockAlign;
    wfx.wBitsPerSample = format.bitsPerSample;
    wfx.cbSize = 0;
    return wfx;
}

WAVEHDR* Record(WaveHeader& header) {
    return static_cast<WAVEHDR*>(header.portRecord);
}

// The WAVEHDR that WINMM fills lives beside our header; it is made at the first prepare and
// dropped once unprepared, so the device never sees it.
WAVEHDR* MakeRecord(WaveHeader& header) {
    WAVEHDR* wh = Record(header);
    if (wh == nullptr) {
        wh = new WAVEHDR;
        header.portRecord = wh;
    }
    ZeroMemory(wh, sizeof(WAVEHDR));
    wh->lpData = header.data;
    wh->dwBufferLength = header.bufferLengthBytes;
    return wh;
}

void DropRecord(WaveHeader& header) {
    delete Record(header);
    header.portRecord = nullptr;
}

// The driver sets WHDR_DONE from its own thread: read the flag from memory at every look.
bool LookDone(WaveHeader& header) {
    WAVEHDR* wh = Record(header);
    if (wh == nullptr) {
        return (header.flags.load(std::memory_order_acquire) & kWaveHeaderDone) != 0;
    }
    MemoryBarrier();
    const DWORD flags = *static_cast<volatile DWORD*>(&wh->dwFlags);
    if ((flags & WHDR_DONE) == 0) {
        return false;
    }
    MemoryBarrier();
    const uint32_t ours = header.flags.load(std::memory_order_relaxed);
    if ((ours & kWaveHeaderDone) == 0) {
        header.bytesRecorded = wh->dwBytesRecorded;
        header.flags.store((ours | kWaveHeaderDone) & ~kWaveHeaderInQueue,
                           std::memory_order_release);
    }
    return true;
}

void WaitMilliseconds(int milliseconds) {
    ::Sleep(milliseconds > 0 ? milliseconds : 0);
}

class WinmmWaveInPort : public WaveInPort {
  public:
    ~WinmmWaveInPort() override {
        if (handle_ != nullptr) {
            waveInReset(handle_);
            waveInClose(handle_);
        }
    }
    bool Open(const WaveFormat& format) override {
        if (handle_ != nullptr) {
            return false;
        }
        WAVEFORMATEX wfx = ToWaveFormatEx(format);
        HWAVEIN handle = nullptr;
        if (waveInOpen(&handle, WAVE_MAPPER, &wfx, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            return false;
        }
        handle_ = handle;
        return true;
    }
    bool IsOpen() const override { return handle_ != nullptr; }
    bool Prepare(WaveHeader& header) override {
        if (handle_ == nullptr) {
            return false;
        }
        WAVEHDR* wh = MakeRecord(header);
        if (waveInPrepareHeader(handle_, wh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            return false;
        }
        header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }
    bool AddBuffer(WaveHeader& header) override {
        WAVEHDR* wh = Record(header);
        if (handle_ == nullptr || wh == nullptr) {
            return false;
        }
        header.flags.store(
            (header.flags.load(std::memory_order_relaxed) & ~kWaveHeaderDone) | kWaveHeaderInQueue,
            std::memory_order_relaxed);
        if (waveInAddBuffer(handle_, wh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            header.flags.fetch_and(~kWaveHeaderInQueue, std::memory_order_relaxed);
            return false;
        }
        return true;
    }
    bool Start() override { return handle_ != nullptr && waveInStart(handle_) == MMSYSERR_NOERROR; }
    bool Reset() override { return handle_ != nullptr && waveInReset(handle_) == MMSYSERR_NOERROR; }
    bool Unprepare(WaveHeader& header) override {
        WAVEHDR* wh = Record(header);
        if (handle_ == nullptr || wh == nullptr) {
            return false;
        }
        if (waveInUnprepareHeader(handle_, wh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            return false;
        }
        DropRecord(header);
        header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }
    bool Close() override {
        if (handle_ == nullptr || waveInClose(handle_) != MMSYSERR_NOERROR) {
            return false;
        }
        handle_ = nullptr;
        return true;
    }
    bool IsDone(WaveHeader& header) override { return LookDone(header); }
    void Sleep(int milliseconds) override { WaitMilliseconds(milliseconds); }

  private:
    HWAVEIN handle_ = nullptr;
};

class WinmmWaveOutPort : public WaveOutPort {
  public:
    ~WinmmWaveOutPort() override {
        if (handle_ != nullptr) {
            waveOutReset(handle_);
            waveOutClose(handle_);
        }
    }
    bool Open(const WaveFormat& format) override {
        if (handle_ != nullptr) {
            return false;
        }
        WAVEFORMATEX wfx = ToWaveFormatEx(format);
        HWAVEOUT handle = nullptr;
        if (waveOutOpen(&handle, WAVE_MAPPER, &wfx, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            return false;
        }
        handle_ = handle;
        return true;
    }
    bool IsOpen() const override { return handle_ != nullptr; }
    bool Prepare(WaveHeader& header) override {
        if (handle_ == nullptr) {
            return false;
        }
        WAVEHDR* wh = MakeRecord(header);
        if (waveOutPrepareHeader(handle_, wh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            return false;
        }
        header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }
    bool Write(WaveHeader& header) override {
        WAVEHDR* wh = Record(header);
        if (handle_ == nullptr || wh == nullptr) {
            return false;
        }
        header.flags.store(
            (header.flags.load(std::memory_order_relaxed) & ~kWaveHeaderDone) | kWaveHeaderInQueue,
            std::memory_order_relaxed);
        if (waveOutWrite(handle_, wh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            header.flags.fetch_and(~kWaveHeaderInQueue, std::memory_order_relaxed);
            return false;
        }
        return true;
    }
    bool Reset() override {
        return handle_ != nullptr && waveOutReset(handle_) == MMSYSERR_NOERROR;
    }
    bool Unprepare(WaveHeader& header) override {
        WAVEHDR* wh = Record(header);
        if (handle_ == nullptr || wh == nullptr) {
            return false;
        }
        if (waveOutUnprepareHeader(handle_, wh, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            return false;
        }
        DropRecord(header);
        header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }
    bool Close() override {
        if (handle_ == nullptr || waveOutClose(handle_) != MMSYSERR_NOERROR) {
            return false;
        }
        handle_ = nullptr;
        return true;
    }
    bool IsDone(WaveHeader& header) override { return LookDone(header); }
    void Sleep(int milliseconds) override { WaitMilliseconds(milliseconds); }

  private:
    HWAVEOUT handle_ = nullptr;
};

}  // namespace

std::unique_ptr<WaveInPort> MakeWinmmWaveInPort() {
    return std::make_unique<WinmmWaveInPort>();
}

std::unique_ptr<WaveOutPort> MakeWinmmWaveOutPort() {
    return std::make_unique<WinmmWaveOutPort>();
}

}  // namespace melvora
