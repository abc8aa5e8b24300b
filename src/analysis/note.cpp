#include "analysis/note.h"

#include <cmath>
#include <cstdio>

namespace melvora {
namespace {

const char* const kLetterNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                      "F#", "G",  "G#", "A",  "A#", "B"};
const char* const kSolfegeNames[12] = {"Do",  "Do#", "Re",   "Re#", "Mi",  "Fa",
                                       "Fa#", "Sol", "Sol#", "La",  "La#", "Si"};

// C8 and the twelfth root of two as the single-precision values the note table was tuned
// with; keeping them keeps the note boundaries where users have always seen them.
constexpr float kC8Hz = 4186.009f;
constexpr float kTwelfth = 0.0833333358168602f;
constexpr float kC0Hz = 16.352f;

std::string Format(const char* format, const char* name, double frequencyHz, int octave) {
    // Sized by a first pass: the frequency of an absurd octave can run to hundreds of digits.
    const int length = std::snprintf(nullptr, 0, format, name, frequencyHz, octave);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, name, frequencyHz, octave);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

Note Note::FromFrequency(float frequencyHz) {
    Note note;  // A4
    // Infinity and NaN would keep the octave search below from ever ending.
    if (!(frequencyHz > 0.0f) || !std::isfinite(frequencyHz)) {
        return note;
    }
    const float f = frequencyHz;
    float c = kC8Hz;
    int octave = 8;
    if (c > f) {
        // Halving ends at latest at 0, which every positive f reaches.
        while (c > f) {
            c *= 0.5f;
            --octave;
        }
    } else {
        // Ends at latest when c overflows to infinity, which is above every finite f.
        while (!(c > f)) {
            c *= 2.0f;
            ++octave;
        }
        c *= 0.5f;
        --octave;
    }
    // Now c is the C of f's octave: c <= f < 2c.
    const double r = std::pow(2.0, static_cast<double>(kTwelfth));
    double t = c * r;
    for (int k = 0; k < 12; ++k) {
        if (t > f) {
            const double below = t / r;
            if (f < (below + t) / 2.0) {
                note.octave = octave;
                note.semitone = k;
            } else if (k == 11) {
                note.octave = octave + 1;
                note.semitone = 0;
            } else {
                note.octave = octave;
                note.semitone = k + 1;
            }
            return note;
        }
        t *= r;
    }
    // f lies at or just under 2c after rounding: the C above.
    note.octave = octave + 1;
    note.semitone = 0;
    return note;
}

Note Note::FromMidiKey(int key) {
    Note note;
    // Floor division, so negative keys stay on the 0..11 semitone scale.
    note.octave = (key >= 0 ? key / 12 : -((-key + 11) / 12)) - 1;
    note.semitone = key - 12 * (note.octave + 1);
    return note;
}

double Note::ToFrequency() const {
    return kC0Hz * std::pow(2.0, octave + semitone * static_cast<double>(kTwelfth));
}

uint32_t Note::MidiKey() const {
    // Computed in 64 bits so that absurd octaves wrap instead of overflowing a signed int.
    const int64_t key = 12 * (static_cast<int64_t>(octave) + 1) + semitone;
    return static_cast<uint32_t>(static_cast<uint64_t>(key) << 8);
}

std::string Note::Name(bool withOctave, bool letters) const {
    if (semitone < 0 || semitone > 11) {
        return std::string();
    }
    std::string name = letters ? kLetterNames[semitone] : kSolfegeNames[semitone];
    if (withOctave) {
        name += std::to_string(octave);
    }
    return name;
}

std::string Note::Label(bool letters, int language) const {
    const std::string name = Name(false, letters);
    const double frequencyHz = ToFrequency();
    if (language == 1) {
        return Format("%s\n%.2f\n(%d. oktav)", name.c_str(), frequencyHz, octave);
    }
    const char* format = "%s\n%.2f\n(%dth octave)";
    if (octave == 1) {
        format = "%s\n%.2f\n(%dst octave)";
    } else if (octave == 2) {
        format = "%s\n%.2f\n(%dnd octave)";
    } else if (octave == 3) {
        format = "%s\n%.2f\n(%drd octave)";
    }
    return Format(format, name.c_str(), frequencyHz, octave);
}

}  // namespace melvora
