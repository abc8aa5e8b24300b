// wave-port-check: the capture and playback devices on the real WINMM ports. Plays two seconds
// of a 440 Hz tone while recording, then prints what each device did and the level and the
// zero-crossing frequency of the recorded second half. Where the output is looped back to the
// input (a PulseAudio null sink under Wine), the tone comes back. Exit code 0 when both
// devices opened and every block was read and written.

#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "audio/wave_in_device.h"
#include "audio/wave_out_device.h"
#include "platform/win32/wave_port_winmm.h"

int main() {
    using namespace melvora;
    constexpr int kRate = 44100;
    constexpr int kBlock = 1323;
    constexpr int kBlocks = 66;  // about two seconds
    WaveInDevice capture(MakeWinmmWaveInPort());
    WaveOutDevice playback(MakeWinmmWaveOutPort());
    capture.SetFormat(kRate, 16, 1, 1);
    playback.SetFormat(kRate, 16, 1, 1);
    const int inOpen = capture.Open(128, 3);
    const int outOpen = playback.Open(128, 5);
    std::printf("capture open %d (%d buffers of %d bytes), playback open %d\n", inOpen,
                capture.BufferCount(), capture.BytesPerBuffer(), outOpen);

    int writeFailures = 0;
    std::thread player([&] {
        std::vector<int16_t> block(kBlock);
        long index = 0;
        for (int b = 0; b < kBlocks + 10; ++b) {
            for (auto& s : block) {
                s = static_cast<int16_t>(
                    12000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * index++ / kRate));
            }
            if (playback.WriteBlock(block.data(), kBlock) != 1) {
                ++writeFailures;
            }
        }
    });
    std::vector<int16_t> recorded;
    std::vector<int16_t> block(kBlock);
    int readFailures = 0;
    for (int b = 0; b < kBlocks; ++b) {
        if (capture.ReadBlock(block.data(), kBlock) != 1) {
            ++readFailures;
        }
        recorded.insert(recorded.end(), block.begin(), block.end());
    }
    player.join();
    const int stopped = playback.Stop();
    const int closed = capture.Close();

    const size_t half = recorded.size() / 2;
    double sum = 0;
    int crossings = 0;
    for (size_t i = half; i < recorded.size(); ++i) {
        sum += static_cast<double>(recorded[i]) * recorded[i];
        if (i > half && (recorded[i - 1] < 0) != (recorded[i] < 0)) {
            ++crossings;
        }
    }
    const double seconds = static_cast<double>(recorded.size() - half) / kRate;
    std::printf("read failures %d, write failures %d, stop %d, close %d\n", readFailures,
                writeFailures, stopped, closed);
    std::printf("recorded rms %.1f, zero-crossing frequency %.1f Hz\n",
                std::sqrt(sum / static_cast<double>(recorded.size() - half)),
                crossings / 2.0 / seconds);
    return inOpen == 1 && outOpen == 1 && readFailures == 0 && writeFailures == 0 ? 0 : 1;
}
