#include "text/translation_text.h"

#include <new>

namespace {

// Reads a decimal number of at most 9 digits ending at `stop` from data[pos..size);
// moves pos past the stop byte. -1 when there is no such number.
long readField(const char* data, size_t size, size_t& pos, char stop) {
    long value = 0;
    int digits = 0;
    while (pos < size && data[pos] >= '0' && data[pos] <= '9') {
        if (++digits > 9) return -1;
        value = value * 10 + (data[pos] - '0');
        ++pos;
    }
    if (digits == 0 || pos >= size || data[pos] != stop) return -1;
    ++pos;
    return value;
}

} // namespace

int TranslationText::load(const char* data, size_t size) {
    data_ = data;
    spans_.clear();
    for (uint32_t& first : first_)
        first = 0;
    lastSurah_ = 0;
    ayatLoaded_ = 0;
    if (!data || size > UINT32_MAX) return 0;
    try {
        spans_.reserve(6400);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    size_t pos = 0;
    int surah = 0;
    int nextAyah = 0;
    while (pos < size) {
        const long s = readField(data, size, pos, ' ');
        const long a = readField(data, size, pos, ' ');
        const long length = readField(data, size, pos, '\n');
        if (s < 1 || s > kSurahs || a < 0 || a > kMaxAyah || length < 0) break;
        // A surah opens with its meaning (ayah 0); its ayat follow without a gap.
        const bool opensNext = s == surah + 1 && a == 0;
        const bool continues = s == surah && a == nextAyah && a >= 1;
        if (!opensNext && !continues) break;
        if (static_cast<size_t>(length) >= size - pos || data[pos + length] != '\n') break;
        if (opensNext) {
            surah = static_cast<int>(s);
            first_[surah] = static_cast<uint32_t>(spans_.size());
            lastSurah_ = surah;
        } else {
            ++ayatLoaded_;
        }
        spans_.push_back({static_cast<uint32_t>(pos), static_cast<uint32_t>(length)});
        first_[surah + 1] = static_cast<uint32_t>(spans_.size());
        nextAyah = static_cast<int>(a) + 1;
        pos += static_cast<size_t>(length) + 1;
    }
    return ayatLoaded_;
}

int TranslationText::ayahCount(int surah) const {
    if (surah < 1 || surah > lastSurah_) return 0;
    return static_cast<int>(first_[surah + 1] - first_[surah]) - 1;
}

std::string_view TranslationText::at(int surah, int index) const {
    if (surah < 1 || surah > lastSurah_ || index < 0 || index > ayahCount(surah)) return {};
    const Span& span = spans_[first_[surah] + static_cast<uint32_t>(index)];
    return std::string_view(data_ + span.offset, span.length);
}

std::string_view TranslationText::ayah(int surah, int ayah) const {
    return ayah < 1 ? std::string_view() : at(surah, ayah);
}

std::string_view TranslationText::surahMeaning(int surah) const {
    return at(surah, 0);
}
