#include "platform/win32/wave_port_winmm.h"

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

// The WAVEHDR that WINMM fills lives beside our header; it is made at the first prepare,
// reused while the device recycles the header, and dropped when the device frees it.
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

// The waveIn and waveOut functions mirror each other; these two tables name them so that one
// port template drives either direction.
struct WaveInCalls {
    using Handle = HWAVEIN;
    static MMRESULT Open(HWAVEIN* handle, const WAVEFORMATEX* format) {
        return waveInOpen(handle, WAVE_MAPPER, format, 0, 0, CALLBACK_NULL);
    }
    static MMRESULT Prepare(HWAVEIN h, WAVEHDR* wh) {
        return waveInPrepareHeader(h, wh, sizeof(WAVEHDR));
    }
    static MMRESULT Queue(HWAVEIN h, WAVEHDR* wh) {
        return waveInAddBuffer(h, wh, sizeof(WAVEHDR));
    }
    static MMRESULT Reset(HWAVEIN h) { return waveInReset(h); }
    static MMRESULT Unprepare(HWAVEIN h, WAVEHDR* wh) {
        return waveInUnprepareHeader(h, wh, sizeof(WAVEHDR));
    }
    static MMRESULT Close(HWAVEIN h) { return waveInClose(h); }
    static MMRESULT ErrorText(MMRESULT code, wchar_t* text, UINT size) {
        return waveInGetErrorTextW(code, text, size);
    }
};

struct WaveOutCalls {
    using Handle = HWAVEOUT;
    static MMRESULT Open(HWAVEOUT* handle, const WAVEFORMATEX* format) {
        return waveOutOpen(handle, WAVE_MAPPER, format, 0, 0, CALLBACK_NULL);
    }
    static MMRESULT Prepare(HWAVEOUT h, WAVEHDR* wh) {
        return waveOutPrepareHeader(h, wh, sizeof(WAVEHDR));
    }
    static MMRESULT Queue(HWAVEOUT h, WAVEHDR* wh) { return waveOutWrite(h, wh, sizeof(WAVEHDR)); }
    static MMRESULT Reset(HWAVEOUT h) { return waveOutReset(h); }
    static MMRESULT Unprepare(HWAVEOUT h, WAVEHDR* wh) {
        return waveOutUnprepareHeader(h, wh, sizeof(WAVEHDR));
    }
    static MMRESULT Close(HWAVEOUT h) { return waveOutClose(h); }
    static MMRESULT ErrorText(MMRESULT code, wchar_t* text, UINT size) {
        return waveOutGetErrorTextW(code, text, size);
    }
};

// Everything the two ports share; Port is WaveInPort or WaveOutPort.
template <class Calls, class Port>
class WinmmPort : public Port {
  public:
    ~WinmmPort() override {
        if (handle_ != nullptr) {
            Calls::Reset(handle_);
            Calls::Close(handle_);
        }
    }
    bool Open(const WaveFormat& format) override {
        if (handle_ != nullptr) {
            return false;
        }
        WAVEFORMATEX wfx = ToWaveFormatEx(format);
        typename Calls::Handle handle = nullptr;
        if (Failed(Calls::Open(&handle, &wfx))) {
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
        if (Failed(Calls::Prepare(handle_, wh))) {
            return false;
        }
        header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }
    bool Reset() override { return handle_ != nullptr && !Failed(Calls::Reset(handle_)); }
    bool Unprepare(WaveHeader& header) override {
        WAVEHDR* wh = Record(header);
        if (handle_ == nullptr || wh == nullptr) {
            return false;
        }
        if (Failed(Calls::Unprepare(handle_, wh))) {
            return false;
        }
        header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_relaxed);
        return true;
    }
    void Forget(WaveHeader& header) override { DropRecord(header); }
    bool Close() override {
        if (handle_ == nullptr || Failed(Calls::Close(handle_))) {
            return false;
        }
        handle_ = nullptr;
        return true;
    }
    bool IsDone(WaveHeader& header) override { return LookDone(header); }
    void Sleep(int milliseconds) override { WaitMilliseconds(milliseconds); }
    int LastError() const override { return static_cast<int>(lastError_); }
    std::wstring ErrorText(int code) const override {
        wchar_t text[MAXERRORLENGTH] = {};
        if (Calls::ErrorText(static_cast<MMRESULT>(code), text, MAXERRORLENGTH) !=
            MMSYSERR_NOERROR) {
            return std::wstring();
        }
        return text;
    }

  protected:
    // True when a call failed; keeps its code for LastError.
    bool Failed(MMRESULT result) {
        if (result != MMSYSERR_NOERROR) {
            lastError_ = result;
            return true;
        }
        return false;
    }
    // Hands a prepared header to the device (add buffer / write).
    bool Queue(WaveHeader& header) {
        WAVEHDR* wh = Record(header);
        if (handle_ == nullptr || wh == nullptr) {
            return false;
        }
        header.flags.store(
            (header.flags.load(std::memory_order_relaxed) & ~kWaveHeaderDone) | kWaveHeaderInQueue,
            std::memory_order_relaxed);
        if (Failed(Calls::Queue(handle_, wh))) {
            header.flags.fetch_and(~kWaveHeaderInQueue, std::memory_order_relaxed);
            return false;
        }
        return true;
    }

    typename Calls::Handle handle_ = nullptr;
    MMRESULT lastError_ = MMSYSERR_NOERROR;
};

class WinmmWaveInPort : public WinmmPort<WaveInCalls, WaveInPort> {
  public:
    bool AddBuffer(WaveHeader& header) override { return Queue(header); }
    bool Start() override { return handle_ != nullptr && !Failed(waveInStart(handle_)); }
};

class WinmmWaveOutPort : public WinmmPort<WaveOutCalls, WaveOutPort> {
  public:
    bool Write(WaveHeader& header) override { return Queue(header); }
};

}  // namespace

std::unique_ptr<WaveInPort> MakeWinmmWaveInPort() {
    return std::make_unique<WinmmWaveInPort>();
}

std::unique_ptr<WaveOutPort> MakeWinmmWaveOutPort() {
    return std::make_unique<WinmmWaveOutPort>();
}

}  // namespace melvora
