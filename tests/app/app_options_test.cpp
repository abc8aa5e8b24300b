#include "app/app_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/temp_folder.h"

namespace melvora {
namespace {

using testing_support::ReadAll;
using testing_support::TempProgramDirectory;
using testing_support::WriteAll;
using Bytes = std::vector<unsigned char>;

void PutU32(Bytes& b, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[offset + i] = static_cast<unsigned char>(v >> (8 * i));
    }
}
void PutF32(Bytes& b, size_t offset, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(b, offset, v);
}
uint32_t Bits(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return v;
}

class OptionsFile : public ::testing::Test {
  protected:
    void SetUp() override { Options() = AppOptions(); }
    void TearDown() override { Options() = AppOptions(); }
    std::string FilePath() const { return dir_.path() + "options.dat"; }
    TempProgramDirectory dir_;
};

// The file image written by hand, field by field at the documented offsets, so a shifted
// or reordered field cannot hide behind a symmetric reader and writer.
Bytes HandMadeImage() {
    Bytes b(220, 0);
    PutU32(b, 0, 0);  // English
    std::memcpy(&b[4], "Courier New", 11);
    PutU32(b, 84, 22050);
    PutF32(b, 88, 0.0125f);
    PutF32(b, 92, 0.0625f);
    b[96] = 0;
    b[97] = 1;
    PutF32(b, 98, 0.75f);
    PutU32(b, 102, 3);
    std::memcpy(&b[106], "USB Keys", 8);
    PutU32(b, 186, 4);   // averaging window
    PutU32(b, 190, 10);  // result history length
    PutU32(b, 194, 5);
    PutU32(b, 198, 24);
    b[202] = 1;
    PutF32(b, 203, 0.3f);
    b[207] = 1;
    PutU32(b, 208, 1);
    PutU32(b, 212, 2);
    b[216] = 0;
    b[217] = 1;
    b[218] = 1;
    b[219] = 0;
    return b;
}

TEST_F(OptionsFile, EachFieldLoadsFromItsOffset) {
    ASSERT_TRUE(WriteAll(FilePath(), HandMadeImage()));
    AppOptions o;
    ASSERT_TRUE(o.Load());
    EXPECT_EQ(o.notLoaded, 0);
    EXPECT_EQ(o.language, 0);
    EXPECT_STREQ(o.fontFace, "Courier New");
    EXPECT_EQ(o.recordingFrequencyHz, 22050);
    EXPECT_EQ(o.skipRateSeconds, 0.0125f);
    EXPECT_EQ(o.frameLengthSeconds, 0.0625f);
    EXPECT_EQ(o.docking, 0);
    EXPECT_EQ(o.snapping, 1);
    EXPECT_EQ(o.voiceActivationSensitivity, 0.75f);
    EXPECT_EQ(o.inputSource, 3);
    EXPECT_STREQ(o.midiInputName, "USB Keys");
    EXPECT_EQ(o.averagingWindow, 4);
    EXPECT_EQ(o.resultHistoryLength, 10);
    EXPECT_EQ(o.analysisView, 5);
    EXPECT_EQ(o.circleResolution, 24);
    EXPECT_EQ(o.noteLetters, 1);
    EXPECT_EQ(o.tuningToleranceSemitones, 0.3f);
    EXPECT_EQ(o.playAlong, 1);
    EXPECT_EQ(o.pcKeyboardLayout, 1);
    EXPECT_EQ(o.midiVolume, 2);
    EXPECT_EQ(o.alwaysContinue, 0);
    EXPECT_EQ(o.autoAdvance, 1);
    EXPECT_EQ(o.useVoiceActivityDetection, 1);
    EXPECT_EQ(o.keepRecordings, 0);
    EXPECT_EQ(o.UiLanguage(), 0);
}

TEST_F(OptionsFile, SaveWritesTheSameBytesAsTheHandMadeImage) {
    const Bytes expected = HandMadeImage();
    AppOptions o;
    ASSERT_TRUE(o.FromFileImage(expected.data(), expected.size()));
    ASSERT_TRUE(o.Save());
    EXPECT_EQ(ReadAll(FilePath()), expected);
}

TEST_F(OptionsFile, DefaultsAreWrittenAtTheirOffsets) {
    ASSERT_TRUE(AppOptions().Save());
    const Bytes b = ReadAll(FilePath());
    ASSERT_EQ(b.size(), 220u);
    Bytes expected(220, 0);
    PutU32(expected, 0, 1);
    std::memcpy(&expected[4], "Tahoma Bold", 11);
    PutU32(expected, 84, 44100);
    PutF32(expected, 88, 0.03f);
    PutF32(expected, 92, 0.04f);
    expected[96] = 1;
    expected[97] = 1;
    PutF32(expected, 98, 0.5f);
    PutU32(expected, 186, 1);
    PutU32(expected, 190, 5);
    PutU32(expected, 198, 12);
    PutF32(expected, 203, 0.15f);
    PutU32(expected, 208, 2);
    PutU32(expected, 212, 1);
    expected[216] = 1;
    expected[219] = 1;
    EXPECT_EQ(b, expected);
}

TEST_F(OptionsFile, SaveLoadSaveIsByteExactIncludingUnalignedFloatBitPatterns) {
    AppOptions o;
    o.language = 1;
    std::strcpy(o.fontFace, "Arial Black");
    std::strcpy(o.midiInputName, "In 2");
    // Quiet NaN with a payload and a denormal: both must survive as raw bits.
    uint32_t nanBits = 0x7fc12345u;
    std::memcpy(&o.voiceActivationSensitivity, &nanBits, 4);
    o.tuningToleranceSemitones = 1e-40f;
    o.skipRateSeconds = -0.0f;
    o.frameLengthSeconds = 123456.789f;
    o.recordingFrequencyHz = -7;
    o.circleResolution = 0x7fffffff;
    o.docking = 0xff;
    ASSERT_TRUE(o.Save());
    Bytes previous = ReadAll(FilePath());
    ASSERT_EQ(previous.size(), 220u);
    for (int round = 0; round < 3; ++round) {
        AppOptions again;
        ASSERT_TRUE(again.Load());
        ASSERT_TRUE(again.Save());
        const Bytes now = ReadAll(FilePath());
        EXPECT_EQ(now, previous) << "round " << round;
        EXPECT_EQ(Bits(again.voiceActivationSensitivity), nanBits);
        EXPECT_EQ(Bits(again.tuningToleranceSemitones), Bits(1e-40f));
        EXPECT_EQ(Bits(again.skipRateSeconds), 0x80000000u);
        previous = now;
    }
}

class WrongLengthFile : public OptionsFile, public ::testing::WithParamInterface<size_t> {};

TEST_P(WrongLengthFile, IsIgnoredAndReplacedByDefaultsAtStartUp) {
    // A file that would load as English with letters if its length were accepted.
    Bytes content = HandMadeImage();
    content.resize(GetParam(), 0x5a);
    ASSERT_TRUE(WriteAll(FilePath(), content));

    StartUpOptions();

    const AppOptions& o = Options();
    EXPECT_EQ(o.notLoaded, 1);
    EXPECT_EQ(o.language, 1);
    EXPECT_EQ(o.noteLetters, 0);
    EXPECT_EQ(o.recordingFrequencyHz, 44100);
    const AppOptions::FileImage defaults = AppOptions().ToFileImage();
    EXPECT_EQ(ReadAll(FilePath()), Bytes(defaults.begin(), defaults.end()));
}

INSTANTIATE_TEST_SUITE_P(Lengths, WrongLengthFile, ::testing::Values(0u, 1u, 219u, 221u, 440u));

TEST_F(OptionsFile, MissingFileStartsInTurkishAt44100AndWritesDefaults) {
    bool exists = true;
    ReadAll(FilePath(), &exists);
    ASSERT_FALSE(exists);

    StartUpOptions();

    EXPECT_EQ(Options().notLoaded, 1);
    EXPECT_EQ(Options().UiLanguage(), 1);
    EXPECT_EQ(Options().recordingFrequencyHz, 44100);
    const Bytes written = ReadAll(FilePath(), &exists);
    EXPECT_TRUE(exists);
    EXPECT_EQ(written.size(), 220u);
}

TEST_F(OptionsFile, ValidFileIsKeptByStartUpAndClearsNotLoaded) {
    const Bytes image = HandMadeImage();
    ASSERT_TRUE(WriteAll(FilePath(), image));
    StartUpOptions();
    EXPECT_EQ(Options().notLoaded, 0);
    EXPECT_EQ(Options().UiLanguage(), 0);
    EXPECT_EQ(Options().recordingFrequencyHz, 22050);
    EXPECT_EQ(ReadAll(FilePath()), image);
}

class StoredLanguage : public OptionsFile,
                       public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(StoredLanguage, OnlyOneMeansTurkish) {
    Bytes image = HandMadeImage();
    PutU32(image, 0, static_cast<uint32_t>(GetParam().first));
    AppOptions o;
    ASSERT_TRUE(o.FromFileImage(image.data(), image.size()));
    EXPECT_EQ(o.language, GetParam().second);
    EXPECT_EQ(o.UiLanguage(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, StoredLanguage,
                         ::testing::Values(std::make_pair(0, 0), std::make_pair(1, 1),
                                           std::make_pair(2, 0), std::make_pair(-1, 0),
                                           std::make_pair(0x01000000, 0)));

TEST_F(OptionsFile, UnterminatedTextFieldsAreCutToSeventyNineCharacters) {
    Bytes image = HandMadeImage();
    std::memset(&image[4], 'F', 80);
    std::memset(&image[106], 'M', 80);
    AppOptions o;
    ASSERT_TRUE(o.FromFileImage(image.data(), image.size()));
    EXPECT_EQ(std::strlen(o.fontFace), 79u);
    EXPECT_EQ(std::strlen(o.midiInputName), 79u);
    // The fields after the texts are unaffected.
    EXPECT_EQ(o.recordingFrequencyHz, 22050);
    EXPECT_EQ(o.averagingWindow, 4);
}

TEST_F(OptionsFile, SaveIntoMissingFolderFailsWithoutTouchingTheRecord) {
    SetProgramDirectoryOverride(dir_.path() + "no/such/folder");
    AppOptions o;
    o.midiVolume = 2;
    EXPECT_FALSE(o.Save());
    EXPECT_FALSE(o.Load());
    EXPECT_EQ(o.midiVolume, 2);
    EXPECT_EQ(o.notLoaded, 1);
    SetProgramDirectoryOverride(dir_.path());
}

}  // namespace
}  // namespace melvora
