#include "app/app_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "app/temp_folder.h"

namespace melvora {
namespace {

using testing_support::ReadAll;
using testing_support::TempProgramDirectory;
using testing_support::WriteAll;
using Bytes = std::vector<unsigned char>;

uint32_t Raw(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}
float FromRaw(uint32_t v) {
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}
template <typename T>
uint32_t Raw(T v) {
    return static_cast<uint32_t>(v);
}

// Every field of options.dat at its documented offset, with a hand value (differing from the
// default wherever that can expose a shifted or swapped field; a quiet NaN with a payload and
// a denormal that must survive as raw bits) and the default value.
struct Field {
    const char* name;
    size_t offset;
    size_t sizeBytes;
    uint32_t hand;
    uint32_t defaults;
    uint32_t (*get)(const AppOptions&);
};
// clang-format off
#define FIELD(f, off, hand, def) {#f, off, sizeof(AppOptions::f), Raw(decltype(AppOptions::f)(hand)), \
    Raw(decltype(AppOptions::f)(def)), [](const AppOptions& o) { return Raw(o.f); }}
// clang-format on

const std::vector<Field>& Fields() {
    // clang-format off
    static const std::vector<Field> fields = {
        FIELD(language, 0, 0, 1),                   FIELD(recordingFrequencyHz, 84, 22050, 44100),
        FIELD(skipRateSeconds, 88, 0.0125f, 0.03f), FIELD(frameLengthSeconds, 92, 0.0625f, 0.04f),
        FIELD(docking, 96, 0, 1),                   FIELD(snapping, 97, 1, 1),
        FIELD(voiceActivationSensitivity, 98, FromRaw(0x7fc12345u), 0.5f),
        FIELD(inputSource, 102, 3, 0),
        FIELD(averagingWindow, 186, 4, 1),          FIELD(resultHistoryLength, 190, 10, 5),
        FIELD(analysisView, 194, 5, 0),             FIELD(circleResolution, 198, 24, 12),
        FIELD(noteLetters, 202, 1, 0),      FIELD(tuningToleranceSemitones, 203, 1e-40f, 0.15f),
        FIELD(playAlong, 207, 1, 0),                FIELD(pcKeyboardLayout, 208, 1, 2),
        FIELD(midiVolume, 212, 2, 1),               FIELD(alwaysContinue, 216, 0, 1),
        FIELD(autoAdvance, 217, 1, 0),              FIELD(useVoiceActivityDetection, 218, 1, 0),
        FIELD(keepRecordings, 219, 0, 1)};
    // clang-format on
    return fields;
}

// The 220-byte image written by hand from the table, texts at 4 and 106.
Bytes Image(bool defaults) {
    Bytes b(220, 0);
    for (const Field& f : Fields()) {
        for (size_t i = 0; i < f.sizeBytes; ++i) {
            b[f.offset + i] =
                static_cast<unsigned char>((defaults ? f.defaults : f.hand) >> (8 * i));
        }
    }
    const char* font = defaults ? "Tahoma Bold" : "Courier New";
    std::memcpy(&b[4], font, std::strlen(font));
    if (!defaults) {
        std::memcpy(&b[106], "USB Keys", 8);
    }
    return b;
}

class OptionsFile : public ::testing::Test {
  protected:
    void SetUp() override { Options() = AppOptions(); }
    void TearDown() override { Options() = AppOptions(); }
    std::string FilePath() const { return dir_.path() + "options.dat"; }
    TempProgramDirectory dir_;
};

TEST_F(OptionsFile, EachFieldLoadsFromItsOffsetAndSavesBackByteExact) {
    const Bytes image = Image(false);
    ASSERT_TRUE(WriteAll(FilePath(), image));
    AppOptions o;
    ASSERT_TRUE(o.Load());
    EXPECT_EQ(o.notLoaded, 0);
    for (const Field& f : Fields()) {
        EXPECT_EQ(f.get(o), f.hand) << f.name;
    }
    EXPECT_STREQ(o.fontFace, "Courier New");
    EXPECT_STREQ(o.midiInputName, "USB Keys");
    ASSERT_TRUE(AppOptions().Save());
    ASSERT_TRUE(o.Save());
    EXPECT_EQ(ReadAll(FilePath()), image);
}

// Start-up keeps only a 220-byte file; anything else (a file that would load as English with
// letters if its length were accepted, or no file) gives Turkish defaults, written back.
TEST_F(OptionsFile, StartUpKeepsOnlyAValidFileAndOtherwiseWritesDefaults) {
    for (int length : {-1, 0, 1, 219, 221, 440, 220}) {
        SCOPED_TRACE(length);
        Bytes content = Image(false);
        content.resize(length < 0 ? 0 : length, 0x5a);
        std::remove(FilePath().c_str());
        ASSERT_TRUE(length < 0 || WriteAll(FilePath(), content));
        StartUpOptions();
        const bool valid = length == 220;
        EXPECT_EQ(Options().notLoaded, valid ? 0 : 1);
        EXPECT_EQ(Options().UiLanguage(), valid ? 0 : 1);
        EXPECT_EQ(Options().noteLetters, valid ? 1 : 0);
        EXPECT_EQ(Options().recordingFrequencyHz, valid ? 22050 : 44100);
        EXPECT_EQ(ReadAll(FilePath()), Image(!valid));
    }
}

// A damaged file must not set the rate of the recordings or the analysis sizes: each analysis
// field out of its range reads as its default, the others as stored. Only a stored language 1
// is Turkish.
TEST_F(OptionsFile, FieldsOutOfRangeReadAsTheirDefaults) {
    struct Case {
        size_t offset;
        uint32_t stored;
        int32_t rateHz;
        float skipSeconds, frameSeconds;
        int language = 0;
    };
    const uint32_t nan = 0x7fc00000u;
    const Case cases[] = {
        {84, 999, 44100, 0.0125f, 0.0625f},        {84, 0xfffffff9u, 44100, 0.0125f, 0.0625f},
        {84, 1000, 1000, 0.0125f, 0.0625f},        {84, 384000, 384000, 0.0125f, 0.0625f},
        {84, 384001, 44100, 0.0125f, 0.0625f},     {88, Raw(0.0f), 22050, 0.03f, 0.0625f},
        {88, nan, 22050, 0.03f, 0.0625f},          {88, Raw(1.0f), 22050, 1.0f, 0.0625f},
        {92, Raw(1.5f), 22050, 0.0125f, 0.04f},    {92, Raw(-0.0f), 22050, 0.0125f, 0.04f},
        {92, Raw(1e-30f), 22050, 0.0125f, 1e-30f}, {0, 1, 22050, 0.0125f, 0.0625f, 1},
        {0, 2, 22050, 0.0125f, 0.0625f, 0},        {0, 0x01000000, 22050, 0.0125f, 0.0625f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " stored " << c.stored);
        Bytes image = Image(false);
        for (int i = 0; i < 4; ++i) {
            image[c.offset + i] = static_cast<unsigned char>(c.stored >> (8 * i));
        }
        AppOptions o;
        ASSERT_TRUE(o.FromFileImage(image.data(), image.size()));
        EXPECT_EQ(o.recordingFrequencyHz, c.rateHz);
        EXPECT_EQ(Raw(o.skipRateSeconds), Raw(c.skipSeconds));
        EXPECT_EQ(Raw(o.frameLengthSeconds), Raw(c.frameSeconds));
        EXPECT_EQ(o.circleResolution, 24);  // the fields after them as stored
        EXPECT_EQ(o.language, c.language);
        EXPECT_EQ(o.UiLanguage(), c.language);
    }
}

// A failed save leaves the record as it is and is remembered until a save succeeds.
TEST_F(OptionsFile, AFailedSaveIsRememberedUntilOneSucceeds) {
    ASSERT_TRUE(AppOptions().Save());
    EXPECT_FALSE(AppOptions::LastSaveFailed());
    SetProgramDirectoryOverride(dir_.path() + "no/such/folder/");
    AppOptions o;
    o.midiVolume = 2;
    EXPECT_FALSE(o.Save());
    EXPECT_TRUE(AppOptions::LastSaveFailed());
    EXPECT_FALSE(o.Load());
    EXPECT_EQ(o.midiVolume, 2);
    EXPECT_EQ(o.notLoaded, 1);
    SetProgramDirectoryOverride(dir_.path());
    ASSERT_TRUE(AppOptions().Save());
    EXPECT_FALSE(AppOptions::LastSaveFailed());
}

// Texts are written as UTF-8; a file of an older build holds Windows-1254 bytes, which load
// as the same letters in UTF-8 (as the text conversion's own test shows for UTF-8 and every
// letter) and are written back as UTF-8. A text without its zero byte is cut to 79 bytes, a
// long one before a letter.
TEST_F(OptionsFile, EightBitTextsLoadAsUtf8AndLongOnesAreCutBeforeALetter) {
    std::string dotless;  // 79 dotless i in Windows-1254 need 158 bytes: 39 whole letters fit
    for (int i = 0; i < 39; ++i) {
        dotless += "\xC4\xB1";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"\xDE"
         "ark\xFD",
         "\xC5\x9E"
         "ark\xC4\xB1"},
        {std::string(79, '\xFD'), dotless},
        {std::string(80, 'M'), std::string(79, 'M')}};
    for (const auto& [stored, loaded] : cases) {
        SCOPED_TRACE(loaded);
        Bytes image = Image(false);
        std::memset(&image[106], 0, AppOptions::kTextFieldBytes);
        std::memcpy(&image[106], stored.data(), stored.size());
        ASSERT_TRUE(WriteAll(FilePath(), image));
        AppOptions o;
        ASSERT_TRUE(o.Load());
        EXPECT_EQ(std::string(o.midiInputName), loaded);
        EXPECT_EQ(o.averagingWindow, 4);  // the fields after the texts are unaffected
        ASSERT_TRUE(o.Save());
        const Bytes saved = ReadAll(FilePath());
        ASSERT_EQ(saved.size(), 220u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&saved[106])), loaded);
    }
}

}  // namespace
}  // namespace melvora
