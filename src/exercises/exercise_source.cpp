#include "exercises/exercise_source.h"

#include <cctype>
#include <cstdlib>

#include "exercises/byte_order.h"

namespace melvora {
namespace {

std::string Trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(s[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(s[end - 1]))) {
        --end;
    }
    return s.substr(begin, end - begin);
}

std::string Lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// Whole-string integer in [low, high].
bool ParseInt(const std::string& s, long low, long high, long* value) {
    if (s.empty() || s.size() > 11) {
        return false;
    }
    char* end = nullptr;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + s.size() || v < low || v > high) {
        return false;
    }
    *value = v;
    return true;
}

bool ParseInstrument(const std::string& value, int* instrument) {
    if (Lower(value) == "none") {
        *instrument = 255;
        return true;
    }
    long v;
    if (!ParseInt(value, 0, 127, &v)) {
        return false;
    }
    *instrument = static_cast<int>(v);
    return true;
}

// "\n" becomes a line break and "\\" a backslash; a zero byte cannot be written at all, so
// it can never cut a string short in the file.
bool Unescape(const std::string& value, std::string* out) {
    out->clear();
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\0') {
            return false;
        }
        if (value[i] != '\\') {
            out->push_back(value[i]);
            continue;
        }
        if (i + 1 >= value.size()) {
            return false;
        }
        const char next = value[++i];
        if (next == 'n') {
            out->push_back('\n');
        } else if (next == '\\') {
            out->push_back('\\');
        } else {
            return false;
        }
    }
    return true;
}

// Only whole lines are comments, so a '#' in a title or a sharp ("C#4") stays as it is.
bool IsComment(const std::string& trimmedLine) {
    return !trimmedLine.empty() && trimmedLine[0] == '#';
}

}  // namespace

bool ExerciseSource::ParseKey(const std::string& token, int* key) {
    if (Lower(token) == "rest") {
        *key = -1;
        return true;
    }
    long v;
    if (!token.empty() && std::isdigit(static_cast<unsigned char>(token[0]))) {
        if (!ParseInt(token, 0, 127, &v)) {
            return false;
        }
        *key = static_cast<int>(v);
        return true;
    }
    static const int kSemitoneOfLetter[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (token.empty()) {
        return false;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(token[0])));
    if (letter < 'A' || letter > 'G') {
        return false;
    }
    int semitone = kSemitoneOfLetter[letter - 'A'];
    size_t i = 1;
    if (i < token.size() && token[i] == '#') {
        semitone += 1;
        ++i;
    } else if (i < token.size() && token[i] == 'b') {
        semitone -= 1;
        ++i;
    }
    if (!ParseInt(token.substr(i), -1, 9, &v)) {
        return false;
    }
    const long k = 12 * (v + 1) + semitone;
    if (k < 0 || k > 127) {
        return false;
    }
    *key = static_cast<int>(k);
    return true;
}

bool ExerciseSource::Parse(const std::string& text, std::string* error) {
    *this = ExerciseSource();
    int velocity = 100;
    size_t lineStart = 0;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        if (error != nullptr) {
            *error = lineNumber > 0 ? "line " + std::to_string(lineNumber) + ": " + why : why;
        }
        return false;
    };
    bool sawTitle = false;
    while (lineStart <= text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = text.size();
        }
        ++lineNumber;
        const std::string line = Trim(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
        if (line.empty() || IsComment(line)) {
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            return fail("expected \"key: value\"");
        }
        const std::string key = Lower(Trim(line.substr(0, colon)));
        const std::string raw = Trim(line.substr(colon + 1));
        std::string value;
        if (!Unescape(raw, &value)) {
            return fail("bad escape (only \\n and \\\\ are known)");
        }
        if (key == "title") {
            title = value;
            sawTitle = true;
        } else if (key == "description") {
            description = value;
        } else if (key == "introduction") {
            introduction = value;
        } else if (key == "velocity") {
            long v;
            if (!ParseInt(value, 0, 127, &v)) {
                return fail("velocity must be 0 to 127");
            }
            velocity = static_cast<int>(v);
        } else if (key == "instrument") {
            int* target = steps.empty() ? &instrument : &steps.back().instrument;
            if (!ParseInstrument(value, target)) {
                return fail("instrument must be 0 to 127 or none");
            }
        } else if (key == "step") {
            steps.push_back(Step());
            steps.back().text = value;
        } else if (key == "notes") {
            if (steps.empty()) {
                return fail("notes before the first step");
            }
            size_t pos = 0;
            while (pos < value.size()) {
                while (pos < value.size() && std::isspace(static_cast<unsigned char>(value[pos]))) {
                    ++pos;
                }
                size_t end = pos;
                while (end < value.size() &&
                       !std::isspace(static_cast<unsigned char>(value[end]))) {
                    ++end;
                }
                if (end == pos) {
                    break;
                }
                const std::string token = value.substr(pos, end - pos);
                pos = end;
                const size_t slash = token.find('/');
                const size_t slash2 =
                    slash == std::string::npos ? std::string::npos : token.find('/', slash + 1);
                int noteKey;
                long durationMs;
                long noteVelocity = velocity;
                if (slash == std::string::npos || !ParseKey(token.substr(0, slash), &noteKey)) {
                    return fail("bad note \"" + token + "\" (KEY/DURATION_MS[/VELOCITY])");
                }
                const std::string durationText =
                    token.substr(slash + 1, slash2 == std::string::npos ? std::string::npos
                                                                        : slash2 - slash - 1);
                if (!ParseInt(durationText, 1, 600000, &durationMs)) {
                    return fail("bad duration in \"" + token + "\" (1 to 600000 ms)");
                }
                if (slash2 != std::string::npos &&
                    !ParseInt(token.substr(slash2 + 1), 0, 127, &noteVelocity)) {
                    return fail("bad velocity in \"" + token + "\" (0 to 127)");
                }
                ExerciseNote note;
                note.key = static_cast<int8_t>(noteKey);
                note.velocity = static_cast<uint8_t>(noteVelocity);
                note.durationMs = static_cast<int32_t>(durationMs);
                steps.back().notes.push_back(note);
            }
        } else {
            return fail("unknown key \"" + key + "\"");
        }
    }
    lineNumber = 0;
    if (!sawTitle || title.empty()) {
        return fail("the exercise needs a title");
    }
    if (steps.empty()) {
        return fail("the exercise needs at least one step");
    }
    return true;
}

std::vector<uint8_t> ExerciseSource::Encode() const {
    using exercise_bytes::AppendI32;
    using exercise_bytes::AppendString;
    using exercise_bytes::AppendU32;
    std::vector<uint8_t> header;
    AppendString(header, title);
    AppendString(header, description);
    AppendString(header, introduction);
    if (instrument >= 0) {
        header.push_back(static_cast<uint8_t>(instrument));
    }
    AppendI32(header, static_cast<int32_t>(steps.size()));

    std::vector<uint8_t> out;
    AppendU32(out, static_cast<uint32_t>(header.size()));
    out.insert(out.end(), header.begin(), header.end());
    for (const Step& step : steps) {
        std::vector<uint8_t> payload;
        AppendString(payload, step.text);
        if (step.instrument >= 0) {
            payload.push_back(static_cast<uint8_t>(step.instrument));
        }
        for (const ExerciseNote& note : step.notes) {
            payload.push_back(static_cast<uint8_t>(note.key));
            payload.push_back(note.velocity);
            AppendI32(payload, note.durationMs);
        }
        AppendU32(out, static_cast<uint32_t>(payload.size()));
        out.insert(out.end(), payload.begin(), payload.end());
    }
    return out;
}

}  // namespace melvora
