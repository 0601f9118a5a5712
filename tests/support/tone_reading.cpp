#include "tone_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tone_reading {
namespace {

constexpr int kWindowsPerSecond = 500; // 2 ms: almost a period of the lowest test tone
constexpr size_t kFewestPeriods = 5;   // fewer periods read alike are no tone
constexpr double kPitchTolerance = 0.08;
constexpr double kShortestToneMs = 10.0;
// A sound with no run of periods read alike, shorter than this, is a moment of a tone that
// the output dropped sound around (its periods cut at both ends), not a sound of its own.
constexpr double kShortestUnreadMs = 50.0;

struct Span {
    size_t begin; // samples
    size_t end;
};

// The stretches of sound: runs of 2 ms windows with a sample at least as loud as loudLevel.
std::vector<Span> soundSpans(const int16_t* samples, size_t count, int rate, int loudLevel) {
    const size_t window = static_cast<size_t>(std::max(1, rate / kWindowsPerSecond));
    std::vector<Span> spans;
    for (size_t first = 0; first < count; first += window) {
        const size_t end = std::min(count, first + window);
        int loudest = 0;
        for (size_t i = first; i < end; ++i)
            loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
        if (loudest < loudLevel) continue;
        if (!spans.empty() && spans.back().end == first)
            spans.back().end = end;
        else
            spans.push_back(Span{first, end});
    }
    return spans;
}

// The rising zero crossings inside a span, in samples, placed between two samples by
// their values.
std::vector<double> risingCrossings(const int16_t* samples, const Span& span) {
    std::vector<double> crossings;
    for (size_t i = span.begin + 1; i < span.end; ++i) {
        const int before = samples[i - 1], after = samples[i];
        if (before < 0 && after >= 0)
            crossings.push_back(static_cast<double>(i - 1) +
                                static_cast<double>(-before) / (after - before));
    }
    return crossings;
}

// The expected pitch nearest to a period's, or -1 when none is within the tolerance.
int pitchOf(double periodSamples, int rate, const std::vector<double>& expectedHz) {
    const double hz = rate / periodSamples;
    int nearest = -1;
    for (size_t k = 0; k < expectedHz.size(); ++k)
        if (nearest < 0 || std::abs(hz - expectedHz[k]) < std::abs(hz - expectedHz[nearest]))
            nearest = static_cast<int>(k);
    if (nearest < 0 || std::abs(hz - expectedHz[nearest]) > kPitchTolerance * expectedHz[nearest])
        return -1;
    return nearest;
}

// Periods [first, last) read as one pitch.
struct Run {
    size_t first;
    size_t last;
    int pitch;
};

// The runs of a span long enough to be tones; shorter runs between two of one pitch join them.
std::vector<Run> toneRuns(const std::vector<double>& crossings, int rate,
                          const std::vector<double>& expectedHz) {
    std::vector<Run> runs;
    for (size_t p = 0; p + 1 < crossings.size(); ++p) {
        const int pitch = pitchOf(crossings[p + 1] - crossings[p], rate, expectedHz);
        if (!runs.empty() && runs.back().pitch == pitch)
            runs.back().last = p + 1;
        else
            runs.push_back(Run{p, p + 1, pitch});
    }
    std::vector<Run> kept;
    for (const Run& run : runs) {
        if (run.last - run.first < kFewestPeriods) continue;
        if (!kept.empty() && kept.back().pitch == run.pitch)
            kept.back().last = run.last;
        else
            kept.push_back(run);
    }
    return kept;
}

// A tone of a span; unread when the span had no run to read it by.
struct Piece : Tone {
    bool unread = false;
};

double msOf(double sample, int rate) {
    return sample * 1000.0 / rate;
}

// The tones of one span: its runs, the time between two of them (where one tone ended and
// the next began) shared at its middle; the first begins and the last ends with the span.
void addSpanTones(const int16_t* samples, const Span& span, int rate,
                  const std::vector<double>& expectedHz, std::vector<Piece>& tones) {
    const std::vector<double> crossings = risingCrossings(samples, span);
    const std::vector<Run> runs = toneRuns(crossings, rate, expectedHz);
    const double spanBegin = msOf(static_cast<double>(span.begin), rate);
    const double spanEnd = msOf(static_cast<double>(span.end), rate);
    if (runs.empty()) {
        Piece sound;
        sound.unread = true;
        sound.beginMs = spanBegin;
        sound.endMs = spanEnd;
        if (crossings.size() > 1)
            sound.hz = (crossings.size() - 1) * rate / (crossings.back() - crossings.front());
        tones.push_back(sound);
        return;
    }
    for (size_t k = 0; k < runs.size(); ++k) {
        const Run& run = runs[k];
        Piece tone;
        tone.pitch = run.pitch;
        tone.hz = (run.last - run.first) * rate / (crossings[run.last] - crossings[run.first]);
        tone.beginMs = k == 0
                           ? spanBegin
                           : msOf((crossings[runs[k - 1].last] + crossings[run.first]) / 2, rate);
        tone.endMs = k + 1 == runs.size()
                         ? spanEnd
                         : msOf((crossings[run.last] + crossings[runs[k + 1].first]) / 2, rate);
        tones.push_back(tone);
    }
}

} // namespace

Reading readTones(const int16_t* samples, size_t count, int rate,
                  const std::vector<double>& expectedHz, int loudLevel) {
    Reading reading;
    if (!samples || rate <= 0) return reading;
    std::vector<Piece> pieces;
    for (const Span& span : soundSpans(samples, count, rate, loudLevel))
        addSpanTones(samples, span, rate, expectedHz, pieces);
    for (const Piece& piece : pieces) {
        if (piece.lengthMs() < kShortestToneMs) continue;
        if (piece.unread && piece.lengthMs() < kShortestUnreadMs) continue;
        Tone* last = reading.tones.empty() ? nullptr : &reading.tones.back();
        if (last && last->pitch >= 0 && last->pitch == piece.pitch) {
            const double before = last->lengthMs();
            last->hz =
                (last->hz * before + piece.hz * piece.lengthMs()) / (before + piece.lengthMs());
            last->droppedMs += piece.beginMs - last->endMs;
            last->endMs = piece.endMs;
            ++reading.dropouts;
        } else {
            reading.tones.push_back(piece);
        }
    }
    return reading;
}

std::vector<int16_t> samplesOfPcm16(const std::string& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(
            static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8)));
    return samples;
}

} // namespace tone_reading
