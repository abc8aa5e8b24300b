#include "app/app_options.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_system.h"
#include "platform/program_directory.h"
#include "platform/text_encoding.h"

namespace melvora {
namespace {

// Packs fields one after another in file order, little-endian whatever the host.
class ImageWriter {
  public:
    explicit ImageWriter(AppOptions::FileImage& image) : image_(image) {}
    void U8(uint8_t value) { image_[pos_++] = value; }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        U32(bits);
    }
    void Text(const char* text) {
        std::memcpy(&image_[pos_], text, AppOptions::kTextFieldBytes);
        pos_ += AppOptions::kTextFieldBytes;
    }

  private:
    void U32(uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            image_[pos_++] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
    AppOptions::FileImage& image_;
    size_t pos_ = 0;
};

class ImageReader {
  public:
    explicit ImageReader(const uint8_t* data) : data_(data) {}
    uint8_t U8() { return data_[pos_++]; }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32() {
        const uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    void Text(char* text) {
        // A damaged file must not leave a text without its end: at most 79 bytes are taken.
        const char* field = reinterpret_cast<const char*>(data_ + pos_);
        size_t length = 0;
        while (length < AppOptions::kTextFieldBytes - 1 && field[length] != '\0') {
            ++length;
        }
        pos_ += AppOptions::kTextFieldBytes;
        // Written as UTF-8; files of older builds hold the system's 8-bit code page, whose
        // letters may need two bytes each now. A longer text is cut before a whole letter.
        std::string value = StoredTextToUtf8(std::string(field, length));
        size_t keep = std::min(value.size(), AppOptions::kTextFieldBytes - 1);
        while (keep > 0 && keep < value.size() && (value[keep] & 0xC0) == 0x80) {
            --keep;
        }
        std::memset(text, 0, AppOptions::kTextFieldBytes);
        std::memcpy(text, value.data(), keep);
    }

  private:
    uint32_t U32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(data_[pos_++]) << (8 * i);
        }
        return value;
    }
    const uint8_t* data_;
    size_t pos_ = 0;
};

std::atomic<bool>& LastSaveFailedFlag() {
    static std::atomic<bool> failed{false};
    return failed;
}

}  // namespace

AppOptions::FileImage AppOptions::ToFileImage() const {
    FileImage image{};
    ImageWriter w(image);
    w.I32(language);
    w.Text(fontFace);
    w.I32(recordingFrequencyHz);
    w.F32(skipRateSeconds);
    w.F32(frameLengthSeconds);
    w.U8(docking);
    w.U8(snapping);
    w.F32(voiceActivationSensitivity);
    w.I32(inputSource);
    w.Text(midiInputName);
    // The averaging window comes before the history length in the file.
    w.I32(averagingWindow);
    w.I32(resultHistoryLength);
    w.I32(analysisView);
    w.I32(circleResolution);
    w.U8(noteLetters);
    w.F32(tuningToleranceSemitones);
    w.U8(playAlong);
    w.I32(pcKeyboardLayout);
    w.I32(midiVolume);
    w.U8(alwaysContinue);
    w.U8(autoAdvance);
    w.U8(useVoiceActivityDetection);
    w.U8(keepRecordings);
    return image;
}

bool AppOptions::FromFileImage(const uint8_t* data, size_t sizeBytes) {
    if (data == nullptr || sizeBytes != kFileSizeBytes) {
        return false;
    }
    ImageReader r(data);
    notLoaded = 0;
    language = r.I32();
    // Only 0 and 1 have texts and menus; anything else is shown in English everywhere.
    if (language != 1) {
        language = 0;
    }
    r.Text(fontFace);
    recordingFrequencyHz = r.I32();
    skipRateSeconds = r.F32();
    frameLengthSeconds = r.F32();
    // No dialog edits these three; a damaged file would have the transport record at any rate
    // and the analysis build frames of millions of samples. Out of range means the default.
    const AppOptions defaults;
    if (recordingFrequencyHz < kMinRecordingFrequencyHz ||
        recordingFrequencyHz > kMaxRecordingFrequencyHz) {
        recordingFrequencyHz = defaults.recordingFrequencyHz;
    }
    if (!(skipRateSeconds > 0.0f && skipRateSeconds <= kMaxAnalysisSeconds)) {
        skipRateSeconds = defaults.skipRateSeconds;
    }
    if (!(frameLengthSeconds > 0.0f && frameLengthSeconds <= kMaxAnalysisSeconds)) {
        frameLengthSeconds = defaults.frameLengthSeconds;
    }
    docking = r.U8();
    snapping = r.U8();
    voiceActivationSensitivity = r.F32();
    inputSource = r.I32();
    r.Text(midiInputName);
    averagingWindow = r.I32();
    resultHistoryLength = r.I32();
    analysisView = r.I32();
    circleResolution = r.I32();
    noteLetters = r.U8();
    tuningToleranceSemitones = r.F32();
    playAlong = r.U8();
    pcKeyboardLayout = r.I32();
    midiVolume = r.I32();
    alwaysContinue = r.U8();
    autoAdvance = r.U8();
    useVoiceActivityDetection = r.U8();
    keepRecordings = r.U8();
    return true;
}

std::string AppOptions::FilePath() {
    return ProgramDirectory() + "options.dat";
}

bool AppOptions::Load() {
    std::FILE* file = OpenFile(FilePath(), "rb");
    if (file == nullptr) {
        return false;
    }
    // One byte more than the image tells a longer file from an exact one.
    uint8_t buffer[kFileSizeBytes + 1];
    const size_t got = std::fread(buffer, 1, sizeof(buffer), file);
    std::fclose(file);
    return FromFileImage(buffer, got);
}

bool AppOptions::Save() const {
    bool ok = false;
    if (std::FILE* file = OpenFile(FilePath(), "wb")) {
        const FileImage image = ToFileImage();
        const size_t written = std::fwrite(image.data(), 1, image.size(), file);
        const bool closed = std::fclose(file) == 0;
        ok = written == image.size() && closed;
    }
    LastSaveFailedFlag().store(!ok);
    return ok;
}

bool AppOptions::LastSaveFailed() {
    return LastSaveFailedFlag().load();
}

AppOptions& Options() {
    // Never destroyed: the worker thread may still read settings while the program exits.
    static AppOptions* options = new AppOptions();
    return *options;
}

void StartUpOptions() {
    AppOptions& options = Options();
    options.Load();
    // A failure is kept by Save() and shown by the main controls window.
    static_cast<void>(options.Save());
}

}  // namespace melvora
