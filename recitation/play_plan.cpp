#include "recitation/play_plan.h"

#include "recitation/recitation_rules.h"

#include "recitation/time_stretch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool before(AyahRef a, AyahRef b) {
    return a.surah < b.surah || (a.surah == b.surah && a.ayah < b.ayah);
}

} // namespace

Pauses validPauses(int afterAyahKind, int ayahTenths, int ayahLengthPercent, int afterPassTenths) {
    Pauses p;
    p.ayahTenths = validPauseTenths(ayahTenths);
    p.ayahLengthPercent = validPauseLengthPercent(ayahLengthPercent);
    if (afterAyahKind == static_cast<int>(AyahPause::kFixed) && p.ayahTenths)
        p.afterAyah = AyahPause::kFixed;
    else if (afterAyahKind == static_cast<int>(AyahPause::kLengthMultiple) && p.ayahLengthPercent)
        p.afterAyah = AyahPause::kLengthMultiple;
    if (!p.ayahTenths) p.ayahTenths = 10;
    if (!p.ayahLengthPercent) p.ayahLengthPercent = 100;
    p.afterPassTenths = validPauseTenths(afterPassTenths);
    return p;
}

AyahRef unpackAyah(int stored, int (*ayahCount)(int surah)) {
    const int surah = stored / 1000;
    const int ayah = stored % 1000;
    if (stored <= 0 || surah < 1 || surah > 114 || ayah < 1 || ayah > ayahCount(surah)) return {};
    return {surah, ayah};
}

PlayPlan::PlayPlan(AyahRef a, AyahRef b, int passes, int repeats, int (*ayahCount)(int surah))
    : first_(before(b, a) ? b : a), last_(before(b, a) ? a : b), passes_(validPasses(passes)),
      repeats_(validAyahRepeats(repeats)), ayahCount_(ayahCount) {}

bool PlayPlan::contains(AyahRef ayah) const {
    return ayah.valid() && !before(ayah, first_) && !before(last_, ayah);
}

PlayStep PlayPlan::start(AyahRef ayah) const {
    PlayStep step;
    step.ayah = contains(ayah) ? ayah : first_;
    return step;
}

bool PlayPlan::endsPass(const PlayStep& step) const {
    return step.ayah == last_ && step.repeat >= repeats_;
}

bool PlayPlan::next(const PlayStep& step, PlayStep* out) const {
    PlayStep n = step;
    if (step.repeat < repeats_) {
        ++n.repeat;
    } else if (step.ayah == last_ || !contains(step.ayah)) {
        if (passes_ != kEndlessPasses && step.pass >= passes_) return false;
        n = PlayStep{first_, 1, step.pass + 1};
    } else {
        n.repeat = 1;
        n.ayah = step.ayah.ayah < ayahCount_(step.ayah.surah)
                     ? AyahRef{step.ayah.surah, step.ayah.ayah + 1}
                     : AyahRef{step.ayah.surah + 1, 1};
    }
    *out = n;
    return true;
}

int pauseAfterMs(const Pauses& pauses, int playedMs, bool endedPass) {
    int ms = 0;
    if (pauses.afterAyah == AyahPause::kFixed) ms = pauses.ayahTenths * 100;
    if (pauses.afterAyah == AyahPause::kLengthMultiple)
        ms = static_cast<int>(static_cast<long long>(std::max(playedMs, 0)) *
                              pauses.ayahLengthPercent / 100);
    if (endedPass) ms += pauses.afterPassTenths * 100;
    return ms;
}

bool formatPauseStatus(char* out, size_t size, int remainingMs) {
    const int seconds = (std::max(remainingMs, 0) + 999) / 1000;
    const int n = std::snprintf(out, size, "Pause: repeat the ayah (%d s)", seconds);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        if (size) out[0] = '\0';
        return false;
    }
    return true;
}

bool formatSpeedStatus(char* out, size_t size, int speedPercent) {
    const int p = validSpeedPercent(speedPercent);
    const int n = p == 100 ? std::snprintf(out, size, "%s", "")
                           : std::snprintf(out, size, "Speed %d.%02dx", p / 100, p % 100);
    if (n < 0 || static_cast<size_t>(n) >= size) {
        if (size) out[0] = '\0';
        return false;
    }
    return true;
}

bool appendSpeedArgument(char* commandLine, size_t size, int speedPercent) {
    const int p = validSpeedPercent(speedPercent);
    if (p == 100) return true;
    const size_t used = std::strlen(commandLine);
    if (used >= size) return false;
    const int n = std::snprintf(commandLine + used, size - used, " %d.%02d", p / 100, p % 100);
    if (n < 0 || static_cast<size_t>(n) >= size - used) {
        commandLine[used] = '\0';
        return false;
    }
    return true;
}

int steppedSpeedPercent(int percent, int steps) {
    return std::clamp(validSpeedPercent(percent) + 5 * steps, 50, 200);
}

int soundLengthMs(const Mp3Stream& stream, int speedPercent) {
    if (stream.empty() || stream.sampleRate <= 0) return 0;
    const long long samples =
        static_cast<long long>(stream.frames.size()) * stream.samplesPerFrame -
        stream.leadingSilenceSamples() - stream.trailingSilenceSamples();
    if (samples <= 0) return 0;
    return static_cast<int>(samples * 1000 * 100 / stream.sampleRate /
                            validSpeedPercent(speedPercent));
}
