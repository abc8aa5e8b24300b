// Feeds arbitrary bytes to the options.dat reader, then does with the settings what start-up
// does: configures an analysis engine from the recording rate, frame and skip and analyses a
// block. Beyond the sanitizers' checks it traps when the reader breaks its promises: a
// file of the wrong size that changes a field, a text without its end, a language other than
// 0 or 1, an image that does not read back to itself, or settings that give the engine a
// frame longer than a second of the fastest rate the program records at.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "analysis/analysis_engine.h"
#include "app/app_options.h"
#include "audio/wave_file.h"

namespace {

using melvora::AppOptions;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AppOptions options;
    const bool read = options.FromFileImage(data, size);
    Check(read == (size == AppOptions::kFileSizeBytes));
    if (!read) {
        Check(options.ToFileImage() == AppOptions().ToFileImage());
        Check(options.notLoaded == 1);
        return 0;
    }
    Check(options.notLoaded == 0);
    Check(options.language == 0 || options.language == 1);
    Check(std::memchr(options.fontFace, 0, sizeof(options.fontFace)) != nullptr);
    Check(std::memchr(options.midiInputName, 0, sizeof(options.midiInputName)) != nullptr);

    const AppOptions::FileImage image = options.ToFileImage();
    AppOptions again;
    Check(again.FromFileImage(image.data(), image.size()));
    Check(again.ToFileImage() == image);

    melvora::AnalysisEngine engine(nullptr, options.recordingFrequencyHz,
                                   options.frameLengthSeconds, options.skipRateSeconds, 1024);
    Check(engine.FrameLength() <= static_cast<int>(melvora::WaveFile::kMaxSampleRateHz));
    if (engine.HopLength() > 0) {
        std::vector<int16_t> block(static_cast<size_t>(engine.HopLength()));
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<int16_t>((i * 2654435761u) >> 16);
        }
        engine.ProcessBlock(block.data());
    }
    return 0;
}
