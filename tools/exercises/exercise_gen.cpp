// melvora-exercise-gen DESCRIPTION.txt OUTPUT.exc
//
// Writes an exercise file from its readable description (format: exercises/exercise_source.h;
// the descriptions of the shipped exercises are in data/Exercises/src). Prints the problem
// and its line, and writes nothing, when the description is not valid.
#include <cstdio>
#include <string>
#include <vector>

#include "exercises/exercise.h"
#include "exercises/exercise_source.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DESCRIPTION.txt OUTPUT.exc\n", argv[0]);
        return 2;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "%s: cannot open\n", argv[1]);
        return 1;
    }
    std::string text;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), in)) > 0) {
        text.append(chunk, got);
    }
    std::fclose(in);

    melvora::ExerciseSource source;
    std::string error;
    if (!source.Parse(text, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<uint8_t> bytes = source.Encode();
    // The program must be able to read what we write.
    if (!melvora::Exercise::FromBytes(argv[2], bytes)) {
        std::fprintf(stderr, "%s: the encoded exercise does not read back\n", argv[1]);
        return 1;
    }
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "%s: cannot create\n", argv[2]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "%s: write failed\n", argv[2]);
        std::remove(argv[2]);
        return 1;
    }
    std::printf("%s: %lu steps, %lu bytes\n", argv[2],
                static_cast<unsigned long>(source.steps.size()),
                static_cast<unsigned long>(bytes.size()));
    return 0;
}
