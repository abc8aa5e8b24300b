#pragma once

#include <memory>

#include "platform/wave_port.h"

namespace melvora {

// Ports on the system's default wave devices (WAVE_MAPPER) through WINMM, without callbacks.
// Windows only.
std::unique_ptr<WaveInPort> MakeWinmmWaveInPort();
std::unique_ptr<WaveOutPort> MakeWinmmWaveOutPort();

}  // namespace melvora
