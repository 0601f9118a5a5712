// Reads a recording of test tones back: where each tone begins and ends and its pitch.
// The sound tests play tones of known pitches and lengths through the real player and the
// system's sound output, record what came out and compare it with what was played; the
// silences between the tones are what they measure.
#ifndef NORAVEL_TESTS_SUPPORT_TONE_READING_H
#define NORAVEL_TESTS_SUPPORT_TONE_READING_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tone_reading {

struct Tone {
    double beginMs = 0;
    double endMs = 0;
    double hz = 0;        // measured from the tone's own periods
    int pitch = -1;       // index of the expected pitch it was read as; -1: none of them
    double droppedMs = 0; // the silences inside it where the output dropped sound
    double lengthMs() const { return endMs - beginMs; }
    // How long it sounded: a tone played whole sounds as long as it is, however often the
    // output dropped a moment of it and played the rest later.
    double soundMs() const { return lengthMs() - droppedMs; }
};

struct Reading {
    std::vector<Tone> tones;
    int dropouts = 0; // silences inside one tone (the output dropped a moment of it)
};

// Sound is where 2 ms windows have a sample louder than loudLevel; each period of it is
// measured between rising zero crossings and read as the nearest of expectedHz (within
// 8 %). A run of fewer than a few periods read alike (a period that straddles the end of
// one tone and the start of the next, or a click) is no tone: its time goes to its
// neighbours. Neighbouring tones of one pitch with a silence between are one tone that the
// output dropped a moment of; a sound shorter than 10 ms is left out, and so is one shorter
// than 50 ms too short to hold such a run (a moment of a tone between two dropouts).
Reading readTones(const int16_t* samples, size_t count, int rate,
                  const std::vector<double>& expectedHz, int loudLevel);

// 16-bit little-endian mono samples from the bytes of a raw recording (an odd last byte
// is left out).
std::vector<int16_t> samplesOfPcm16(const std::string& bytes);

} // namespace tone_reading

#endif
