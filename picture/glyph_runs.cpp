// Writing and reading the glyph runs file; the layout is described in glyph_runs.h.
#include "picture/glyph_runs.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace {

const char kMagic[4] = {'N', 'R', 'G', 'R'};
// The fewest bytes a glyph and a map entry take: a glyph is a u16 and five numbers of at
// least a byte each.
constexpr std::size_t kLeastGlyphBytes = 7;
constexpr std::size_t kLeastLetterBytes = 1;
// Places are written within this many 64ths of a pixel of the picture's corner, so that
// every step between two of them fits the numbers.
constexpr std::int32_t kFarthest = 1 << 29;

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

void putNumber(std::vector<std::uint8_t>& out, std::uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(v));
}

void putSigned(std::vector<std::uint8_t>& out, std::int64_t v) {
    // Zigzag: 0, -1, 1, -2 ... become 0, 1, 2, 3 ...; the writer keeps |v| below 2^31.
    putNumber(out, static_cast<std::uint32_t>(v < 0 ? ((-v - 1) << 1) | 1 : v << 1));
}

// A letter or word number that may be "none": 0 for none, else one more than the zigzag of
// its step from the last one given.
void putStep(std::vector<std::uint8_t>& out, std::uint32_t value, std::uint32_t none,
             std::uint32_t& last) {
    if (value == none) {
        out.push_back(0);
        return;
    }
    const std::int64_t step = static_cast<std::int64_t>(value) - last;
    putNumber(out, static_cast<std::uint32_t>(step < 0 ? ((-step - 1) << 1) | 1 : step << 1) + 1);
    last = value;
}

// Reads the numbers of one record, never past its end; any fault sticks.
class Reader {
  public:
    Reader(const std::uint8_t* p, std::size_t size) : p_(p), end_(p + size) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return ok_ && p_ == end_; }
    std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }

    std::uint16_t u16() {
        if (left() < 2) return fail();
        const std::uint16_t v = get16(p_);
        p_ += 2;
        return v;
    }
    std::uint8_t u8() {
        if (left() < 1) return fail();
        return *p_++;
    }
    std::uint32_t number() {
        std::uint64_t v = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (left() < 1) return fail();
            const std::uint8_t b = *p_++;
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) return v <= 0xFFFFFFFFu ? static_cast<std::uint32_t>(v) : fail();
        }
        return fail();
    }
    std::int64_t signedNumber() {
        const std::uint32_t v = number();
        return (v & 1) ? -static_cast<std::int64_t>(v >> 1) - 1 : static_cast<std::int64_t>(v >> 1);
    }
    // A number written by putStep: none, or last moved by the step (which must stay below
    // none).
    std::uint32_t step(std::uint32_t none, std::uint32_t& last) {
        const std::uint32_t v = number();
        if (v == 0) return none;
        const std::uint32_t z = v - 1;
        const std::int64_t moved =
            static_cast<std::int64_t>(last) +
            ((z & 1) ? -static_cast<std::int64_t>(z >> 1) - 1 : static_cast<std::int64_t>(z >> 1));
        if (moved < 0 || moved >= none) return fail();
        last = static_cast<std::uint32_t>(moved);
        return last;
    }
    // Whether v fits 32 signed bits (a fault otherwise).
    std::int32_t within32(std::int64_t v) {
        if (v < std::numeric_limits<std::int32_t>::min() ||
            v > std::numeric_limits<std::int32_t>::max())
            return fail();
        return static_cast<std::int32_t>(v);
    }
    // Makes the reading fail; returns 0 for the caller to pass on.
    std::uint8_t fail() {
        ok_ = false;
        p_ = end_;
        return 0;
    }

  private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    bool ok_ = true;
};

bool recordFits(const AyahRuns& ayah) {
    if (ayah.width < 1 || ayah.width > kGlyphRunsMaxPicture || ayah.height < 1 ||
        ayah.height > kGlyphRunsMaxPicture || ayah.lines.empty() ||
        ayah.lines.size() > static_cast<std::size_t>(kGlyphRunsMaxLines) ||
        ayah.textLetters.size() > static_cast<std::size_t>(kGlyphRunsMaxTextBytes) ||
        ayah.formLetters.size() > static_cast<std::size_t>(kGlyphRunsMaxTextBytes))
        return false;
    for (const RunLine& line : ayah.lines) {
        if (line.glyphs.size() > static_cast<std::size_t>(kGlyphRunsMaxGlyphs)) return false;
        if (line.baseline < -kFarthest || line.baseline > kFarthest) return false;
        for (const RunGlyph& g : line.glyphs) {
            if (g.x < -kFarthest || g.x > kFarthest) return false;
            const std::int64_t offset = static_cast<std::int64_t>(g.y) - line.baseline;
            if (offset < std::numeric_limits<std::int16_t>::min() ||
                offset > std::numeric_limits<std::int16_t>::max() || g.rule >= kGlyphRunsRuleLimit)
                return false;
        }
    }
    return true;
}

void putRecord(std::vector<std::uint8_t>& out, const AyahRuns& ayah) {
    putNumber(out, static_cast<std::uint32_t>(ayah.width));
    putNumber(out, static_cast<std::uint32_t>(ayah.height));
    putNumber(out, static_cast<std::uint32_t>(ayah.lines.size()));
    std::int32_t lastBaseline = 0;
    std::uint32_t lastLetter = 0, lastWord = 0;
    for (const RunLine& line : ayah.lines) {
        putSigned(out, static_cast<std::int64_t>(line.baseline) - lastBaseline);
        lastBaseline = line.baseline;
        putNumber(out, static_cast<std::uint32_t>(line.glyphs.size()));
        std::int32_t lastX = 0;
        for (const RunGlyph& g : line.glyphs) {
            put16(out, g.glyph);
            putSigned(out, static_cast<std::int64_t>(g.x) - lastX);
            lastX = g.x;
            putSigned(out, static_cast<std::int64_t>(g.y) - line.baseline);
            putStep(out, g.letter, kNoLetter, lastLetter);
            putStep(out, g.word, kNoWord, lastWord);
            out.push_back(g.rule);
        }
    }
    for (const auto* letters : {&ayah.textLetters, &ayah.formLetters}) {
        putNumber(out, static_cast<std::uint32_t>(letters->size()));
        std::uint32_t last = 0;
        for (std::uint16_t letter : *letters)
            putStep(out, letter, kNoLetter, last);
    }
}

// Reads one ayah record that must fill exactly `size` bytes into out (false on any fault).
bool parseRecord(const std::uint8_t* p, std::size_t size, AyahRuns& out) {
    Reader in(p, size);
    const std::uint32_t width = in.number(), height = in.number(), lines = in.number();
    if (!in.ok() || width < 1 || width > kGlyphRunsMaxPicture || height < 1 ||
        height > kGlyphRunsMaxPicture || lines < 1 || lines > kGlyphRunsMaxLines)
        return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.lines.resize(lines);
    std::int32_t baseline = 0;
    std::uint32_t lastLetter = 0, lastWord = 0;
    for (std::uint32_t l = 0; l < lines; ++l) {
        baseline = in.within32(baseline + in.signedNumber());
        const std::uint32_t glyphs = in.number();
        if (!in.ok() || glyphs > static_cast<std::uint32_t>(kGlyphRunsMaxGlyphs) ||
            in.left() / kLeastGlyphBytes < glyphs)
            return false;
        RunLine& line = out.lines[l];
        line.baseline = baseline;
        line.glyphs.resize(glyphs);
        std::int32_t x = 0;
        for (RunGlyph& glyph : line.glyphs) {
            glyph.glyph = in.u16();
            x = in.within32(x + in.signedNumber());
            glyph.x = x;
            const std::int64_t offset = in.signedNumber();
            if (offset < std::numeric_limits<std::int16_t>::min() ||
                offset > std::numeric_limits<std::int16_t>::max())
                return false;
            glyph.y = in.within32(baseline + offset);
            glyph.letter = static_cast<std::uint16_t>(in.step(kNoLetter, lastLetter));
            glyph.word = static_cast<std::uint8_t>(in.step(kNoWord, lastWord));
            glyph.rule = in.u8();
            if (!in.ok() || glyph.rule >= kGlyphRunsRuleLimit) return false;
        }
    }
    for (auto* letters : {&out.textLetters, &out.formLetters}) {
        const std::uint32_t count = in.number();
        if (!in.ok() || count > static_cast<std::uint32_t>(kGlyphRunsMaxTextBytes) ||
            in.left() / kLeastLetterBytes < count)
            return false;
        letters->resize(count);
        std::uint32_t last = 0;
        for (std::uint16_t& letter : *letters)
            letter = static_cast<std::uint16_t>(in.step(kNoLetter, last));
    }
    return in.atEnd();
}

} // namespace

std::uint32_t glyphRunsChecksum(const std::uint8_t* bytes, std::size_t size) {
    // FNV-1a on 64 bits in four lanes of 8-byte words (the lanes do not wait for one
    // another), the lanes and the last bytes then folded into one.
    constexpr std::uint64_t kPrime = 1099511628211ull;
    std::uint64_t lane[4] = {14695981039346656037ull, 14695981039346656037ull ^ 1,
                             14695981039346656037ull ^ 2, 14695981039346656037ull ^ 3};
    std::size_t at = 0;
    for (; size - at >= 32; at += 32)
        for (int i = 0; i < 4; ++i) {
            std::uint64_t word = 0;
            for (int b = 7; b >= 0; --b)
                word = (word << 8) | bytes[at + 8 * i + b];
            lane[i] = (lane[i] ^ word) * kPrime;
        }
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint64_t v : lane)
        for (int b = 0; b < 8; ++b)
            hash = (hash ^ ((v >> (8 * b)) & 0xFF)) * kPrime;
    for (; at < size; ++at)
        hash = (hash ^ bytes[at]) * kPrime;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
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
    payload.resize(payload.size() + 8 * ayat);
    std::size_t index = 0;
    for (const auto& surah : content.surahs) {
        for (const AyahRuns& ayah : surah) {
            if (payload.size() > 0xFFFFFFFFu) return false;
            set32(payload, offsetsAt + 8 * index++, static_cast<std::uint32_t>(payload.size()));
            putRecord(payload, ayah);
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
    put32(bytes, 0); // the table's checksum, set by signGlyphRuns
    put32(bytes, 0);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    signGlyphRuns(bytes);
    return true;
}

void signGlyphRuns(std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kGlyphRunsHeaderBytes) return;
    const std::size_t payloadSize = bytes.size() - kGlyphRunsHeaderBytes;
    const std::uint64_t ayat = get32(&bytes[8]);
    const std::uint64_t tableBytes = 2 * kGlyphRunsSurahs + 8 * ayat;
    if (tableBytes > payloadSize) return;
    std::uint8_t* payload = bytes.data() + kGlyphRunsHeaderBytes;
    const std::uint8_t* entries = payload + 2 * kGlyphRunsSurahs;
    for (std::size_t i = 0; i < ayat; ++i) {
        const std::uint32_t at = get32(entries + 8 * i);
        const std::uint32_t end =
            i + 1 < ayat ? get32(entries + 8 * (i + 1)) : static_cast<std::uint32_t>(payloadSize);
        if (at > end || end > payloadSize) continue;
        const std::uint32_t sum = glyphRunsChecksum(payload + at, end - at);
        for (int b = 0; b < 4; ++b)
            payload[2 * kGlyphRunsSurahs + 8 * i + 4 + b] =
                static_cast<std::uint8_t>(sum >> (8 * b));
    }
    set32(bytes, 24, glyphRunsChecksum(payload, static_cast<std::size_t>(tableBytes)));
}

bool GlyphRunsFile::load(std::vector<std::uint8_t> bytes) {
    owned_.clear();
    if (!attach(bytes.data(), bytes.size())) return false;
    owned_ = std::move(bytes); // the same bytes: a vector's move keeps its buffer
    return true;
}

bool GlyphRunsFile::attach(const std::uint8_t* bytes, std::size_t size) {
    data_ = nullptr;
    size_ = 0;
    offsets_.clear();
    firstAyah_.clear();
    if (!bytes || size < kGlyphRunsHeaderBytes || size > kMaxGlyphRunsFileBytes ||
        std::memcmp(bytes, kMagic, 4) != 0 || get16(bytes + 4) != kGlyphRunsVersion)
        return false;
    const int emPixels = get16(bytes + 6);
    const std::uint32_t ayat = get32(bytes + 8);
    const std::uint32_t payloadSize = get32(bytes + 20);
    if (emPixels < 1 || payloadSize != size - kGlyphRunsHeaderBytes || get32(bytes + 28) != 0)
        return false;
    if (ayat < 1 || ayat > static_cast<std::uint32_t>(kGlyphRunsSurahs * kGlyphRunsMaxAyat))
        return false;
    const std::uint8_t* payload = bytes + kGlyphRunsHeaderBytes;
    const std::size_t tableBytes = 2 * kGlyphRunsSurahs + 8 * static_cast<std::size_t>(ayat);
    if (payloadSize < tableBytes || glyphRunsChecksum(payload, tableBytes) != get32(bytes + 24))
        return false;

    std::vector<int> first(kGlyphRunsSurahs + 1, 0);
    for (int s = 0; s < kGlyphRunsSurahs; ++s) {
        const int count = get16(payload + 2 * s);
        if (count < 1 || count > kGlyphRunsMaxAyat) return false;
        first[s + 1] = first[s] + count;
    }
    if (static_cast<std::uint32_t>(first[kGlyphRunsSurahs]) != ayat) return false;
    std::vector<std::uint32_t> offsets(ayat + 1u, payloadSize);
    for (std::uint32_t i = 0; i < ayat; ++i) {
        offsets[i] = get32(payload + 2 * kGlyphRunsSurahs + 8 * static_cast<std::size_t>(i));
        const std::uint32_t floor =
            i == 0 ? static_cast<std::uint32_t>(tableBytes) : offsets[i - 1];
        if (offsets[i] < floor || offsets[i] > payloadSize) return false;
    }
    // The records are checked when their ayah is read: reading all of them here would cost
    // the start time and memory for ayat that are never shown.
    emPixels_ = emPixels;
    fontBytes_ = get32(bytes + 12);
    fontChecksum_ = get32(bytes + 16);
    offsets_ = std::move(offsets);
    firstAyah_ = std::move(first);
    data_ = bytes;
    size_ = size;
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
    const std::uint8_t* payload = data_ + kGlyphRunsHeaderBytes;
    const std::uint32_t at = offsets_[index], size = offsets_[index + 1] - at;
    const std::uint32_t sum = get32(payload + 2 * kGlyphRunsSurahs + 8 * index + 4);
    if (glyphRunsChecksum(payload + at, size) != sum || !parseRecord(payload + at, size, runs))
        return AyahRuns{};
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
