// Writing and reading the glyph runs file; the layout is described in glyph_runs.h.
#include "picture/glyph_runs.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace {

const char kMagic[4] = {'N', 'R', 'G', 'R'};
constexpr std::size_t kLineHeaderBytes = 6;
constexpr std::size_t kGlyphBytes = 12;
constexpr std::size_t kAyahHeaderBytes = 6;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t getSigned32(const std::uint8_t* p) {
    const std::uint32_t v = get32(p);
    return v <= 0x7FFFFFFFu ? static_cast<std::int32_t>(v) : -static_cast<std::int32_t>(~v) - 1;
}

std::int16_t getSigned16(const std::uint8_t* p) {
    const std::uint16_t v = get16(p);
    return v <= 0x7FFF
               ? static_cast<std::int16_t>(v)
               : static_cast<std::int16_t>(-static_cast<int>(static_cast<std::uint16_t>(~v)) - 1);
}

std::int32_t clampedSum(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    if (sum < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (sum > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(sum);
}

bool recordFits(const AyahRuns& ayah) {
    if (ayah.width < 1 || ayah.width > kGlyphRunsMaxPicture || ayah.height < 1 ||
        ayah.height > kGlyphRunsMaxPicture || ayah.lines.empty() ||
        ayah.lines.size() > static_cast<std::size_t>(kGlyphRunsMaxLines) ||
        ayah.textLetters.size() > static_cast<std::size_t>(kGlyphRunsMaxTextBytes) ||
        ayah.formLetters.size() > static_cast<std::size_t>(kGlyphRunsMaxTextBytes))
        return false;
    for (const RunLine& line : ayah.lines) {
        if (line.glyphs.size() > static_cast<std::size_t>(kGlyphRunsMaxGlyphs)) return false;
        for (const RunGlyph& g : line.glyphs) {
            const std::int64_t offset = static_cast<std::int64_t>(g.y) - line.baseline;
            if (offset < std::numeric_limits<std::int16_t>::min() ||
                offset > std::numeric_limits<std::int16_t>::max() || g.rule >= kGlyphRunsRuleLimit)
                return false;
        }
    }
    return true;
}

// Reads one ayah record that must fill exactly `size` bytes; the runs go to out if given.
bool parseRecord(const std::uint8_t* p, std::size_t size, AyahRuns* out) {
    if (size < kAyahHeaderBytes) return false;
    const int width = get16(p), height = get16(p + 2), lines = get16(p + 4);
    if (width < 1 || width > kGlyphRunsMaxPicture || height < 1 || height > kGlyphRunsMaxPicture ||
        lines < 1 || lines > kGlyphRunsMaxLines)
        return false;
    if (out) {
        out->width = width;
        out->height = height;
        out->lines.resize(static_cast<std::size_t>(lines));
    }
    std::size_t at = kAyahHeaderBytes;
    for (int l = 0; l < lines; ++l) {
        if (size - at < kLineHeaderBytes) return false;
        const std::int32_t baseline = getSigned32(p + at);
        const std::size_t glyphs = get16(p + at + 4);
        at += kLineHeaderBytes;
        if (glyphs > static_cast<std::size_t>(kGlyphRunsMaxGlyphs) ||
            (size - at) / kGlyphBytes < glyphs)
            return false;
        RunLine* line = out ? &out->lines[static_cast<std::size_t>(l)] : nullptr;
        if (line) {
            line->baseline = baseline;
            line->glyphs.resize(glyphs);
        }
        for (std::size_t g = 0; g < glyphs; ++g, at += kGlyphBytes) {
            const std::uint8_t* q = p + at;
            if (q[11] >= kGlyphRunsRuleLimit) return false;
            if (!line) continue;
            RunGlyph& glyph = line->glyphs[g];
            glyph.glyph = get16(q);
            glyph.x = getSigned32(q + 2);
            glyph.y = clampedSum(baseline, getSigned16(q + 6));
            glyph.letter = get16(q + 8);
            glyph.word = q[10];
            glyph.rule = q[11];
        }
    }
    for (auto* letters : {out ? &out->textLetters : nullptr, out ? &out->formLetters : nullptr}) {
        if (size - at < 2) return false;
        const std::size_t count = get16(p + at);
        at += 2;
        if (count > static_cast<std::size_t>(kGlyphRunsMaxTextBytes) || (size - at) / 2 < count)
            return false;
        if (letters) {
            letters->resize(count);
            for (std::size_t b = 0; b < count; ++b)
                (*letters)[b] = get16(p + at + 2 * b);
        }
        at += 2 * count;
    }
    return at == size;
}

} // namespace

std::uint32_t glyphRunsChecksum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 16777619u;
    }
    return hash;
}

bool writeGlyphRuns(const GlyphRunsContent& content, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (content.surahs.size() != static_cast<std::size_t>(kGlyphRunsSurahs) ||
        content.emPixels < 1 || content.emPixels > 0xFFFF)
        return false;
    std::size_t ayat = 0;
    for (const auto& surah : content.surahs) {
        if (surah.empty() || surah.size() > static_cast<std::size_t>(kGlyphRunsMaxAyat))
            return false;
        for (const AyahRuns& ayah : surah)
            if (!recordFits(ayah)) return false;
        ayat += surah.size();
    }
    std::vector<std::uint8_t> payload;
    for (const auto& surah : content.surahs)
        put16(payload, static_cast<std::uint32_t>(surah.size()));
    const std::size_t offsetsAt = payload.size();
    payload.resize(payload.size() + 4 * ayat);
    std::size_t index = 0;
    for (const auto& surah : content.surahs) {
        for (const AyahRuns& ayah : surah) {
            if (payload.size() > 0xFFFFFFFFu) return false;
            set32(payload, offsetsAt + 4 * index++, static_cast<std::uint32_t>(payload.size()));
            put16(payload, static_cast<std::uint32_t>(ayah.width));
            put16(payload, static_cast<std::uint32_t>(ayah.height));
            put16(payload, static_cast<std::uint32_t>(ayah.lines.size()));
            for (const RunLine& line : ayah.lines) {
                put32(payload, static_cast<std::uint32_t>(line.baseline));
                put16(payload, static_cast<std::uint32_t>(line.glyphs.size()));
                for (const RunGlyph& g : line.glyphs) {
                    put16(payload, g.glyph);
                    put32(payload, static_cast<std::uint32_t>(g.x));
                    put16(payload, static_cast<std::uint32_t>(
                                       static_cast<std::int32_t>(g.y - line.baseline)) &
                                       0xFFFF);
                    put16(payload, g.letter);
                    payload.push_back(g.word);
                    payload.push_back(g.rule);
                }
            }
            for (const auto* letters : {&ayah.textLetters, &ayah.formLetters}) {
                put16(payload, static_cast<std::uint32_t>(letters->size()));
                for (std::uint16_t letter : *letters)
                    put16(payload, letter);
            }
        }
    }
    if (payload.size() + kGlyphRunsHeaderBytes > kMaxGlyphRunsFileBytes) return false;
    bytes.assign(kMagic, kMagic + 4);
    put16(bytes, kGlyphRunsVersion);
    put16(bytes, static_cast<std::uint32_t>(content.emPixels));
    put32(bytes, static_cast<std::uint32_t>(ayat));
    put32(bytes, content.fontBytes);
    put32(bytes, content.fontChecksum);
    put32(bytes, static_cast<std::uint32_t>(payload.size()));
    put32(bytes, glyphRunsChecksum(payload.data(), payload.size()));
    put32(bytes, 0);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return true;
}

bool GlyphRunsFile::load(std::vector<std::uint8_t> bytes) {
    bytes_.clear();
    offsets_.clear();
    firstAyah_.clear();
    if (bytes.size() < kGlyphRunsHeaderBytes || bytes.size() > kMaxGlyphRunsFileBytes ||
        std::memcmp(bytes.data(), kMagic, 4) != 0 || get16(&bytes[4]) != kGlyphRunsVersion)
        return false;
    const int emPixels = get16(&bytes[6]);
    const std::uint32_t ayat = get32(&bytes[8]);
    const std::uint32_t payloadSize = get32(&bytes[20]);
    if (emPixels < 1 || payloadSize != bytes.size() - kGlyphRunsHeaderBytes ||
        get32(&bytes[28]) != 0)
        return false;
    const std::uint8_t* payload = bytes.data() + kGlyphRunsHeaderBytes;
    if (glyphRunsChecksum(payload, payloadSize) != get32(&bytes[24])) return false;
    if (ayat < 1 || ayat > static_cast<std::uint32_t>(kGlyphRunsSurahs * kGlyphRunsMaxAyat))
        return false;
    const std::size_t tableBytes = 2 * kGlyphRunsSurahs + 4 * static_cast<std::size_t>(ayat);
    if (payloadSize < tableBytes) return false;

    std::vector<int> first(kGlyphRunsSurahs + 1, 0);
    for (int s = 0; s < kGlyphRunsSurahs; ++s) {
        const int count = get16(payload + 2 * s);
        if (count < 1 || count > kGlyphRunsMaxAyat) return false;
        first[s + 1] = first[s] + count;
    }
    if (static_cast<std::uint32_t>(first[kGlyphRunsSurahs]) != ayat) return false;
    std::vector<std::uint32_t> offsets(ayat);
    for (std::uint32_t i = 0; i < ayat; ++i) {
        offsets[i] = get32(payload + 2 * kGlyphRunsSurahs + 4 * static_cast<std::size_t>(i));
        const std::uint32_t floor =
            i == 0 ? static_cast<std::uint32_t>(tableBytes) : offsets[i - 1];
        if (offsets[i] < floor || offsets[i] > payloadSize) return false;
    }
    for (std::uint32_t i = 0; i < ayat; ++i) {
        const std::uint32_t end = i + 1 < ayat ? offsets[i + 1] : payloadSize;
        if (!parseRecord(payload + offsets[i], end - offsets[i], nullptr)) return false;
    }
    emPixels_ = emPixels;
    fontBytes_ = get32(&bytes[12]);
    fontChecksum_ = get32(&bytes[16]);
    offsets_ = std::move(offsets);
    firstAyah_ = std::move(first);
    bytes_ = std::move(bytes);
    return true;
}

int GlyphRunsFile::ayahCount(int surah) const {
    if (!loaded() || surah < 1 || surah > kGlyphRunsSurahs) return 0;
    return firstAyah_[surah] - firstAyah_[surah - 1];
}

AyahRuns GlyphRunsFile::ayah(int surah, int ayah) const {
    AyahRuns runs;
    if (ayah < 1 || ayah > ayahCount(surah)) return runs;
    const std::size_t index = static_cast<std::size_t>(firstAyah_[surah - 1] + ayah - 1);
    const std::size_t payloadSize = bytes_.size() - kGlyphRunsHeaderBytes;
    const std::size_t end = index + 1 < offsets_.size() ? offsets_[index + 1] : payloadSize;
    const std::uint8_t* payload = bytes_.data() + kGlyphRunsHeaderBytes;
    if (!parseRecord(payload + offsets_[index], end - offsets_[index], &runs)) return AyahRuns{};
    return runs;
}

namespace {

std::vector<bool> lettersOfBytes(const AyahRuns& runs,
                                 const std::vector<std::uint16_t>& byteLetters,
                                 const std::vector<bool>& matchedBytes) {
    if (byteLetters.size() != matchedBytes.size()) return {};
    // The code points the matched bytes were made from.
    std::vector<bool> matched;
    for (std::size_t b = 0; b < matchedBytes.size(); ++b) {
        const std::uint16_t letter = byteLetters[b];
        if (!matchedBytes[b] || letter == kNoLetter) continue;
        if (letter >= matched.size()) matched.resize(letter + 1u, false);
        matched[letter] = true;
    }
    if (matched.empty()) return {};
    // The clusters the glyphs name: each from its letter up to the next one named.
    std::vector<bool> named(matched.size(), false);
    std::size_t highest = 0;
    for (const RunLine& line : runs.lines)
        for (const RunGlyph& glyph : line.glyphs)
            if (glyph.letter != kNoLetter) {
                highest = std::max<std::size_t>(highest, glyph.letter);
                if (glyph.letter < named.size()) named[glyph.letter] = true;
            }
    std::vector<bool> marked(std::max(highest + 1, matched.size()), false);
    bool any = false;
    std::size_t cluster = matched.size(); // none named yet
    for (std::size_t c = 0; c < matched.size(); ++c) {
        if (named[c]) cluster = c;
        if (matched[c] && cluster < matched.size()) {
            marked[cluster] = true;
            any = true;
        }
    }
    return any ? marked : std::vector<bool>{};
}

} // namespace

std::vector<bool> lettersOfTextBytes(const AyahRuns& runs, const std::vector<bool>& matchedBytes) {
    return lettersOfBytes(runs, runs.textLetters, matchedBytes);
}

std::vector<bool> lettersOfFormBytes(const AyahRuns& runs, const std::vector<bool>& matchedBytes) {
    return lettersOfBytes(runs, runs.formLetters, matchedBytes);
}
