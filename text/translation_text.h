// One translation (or the transliteration) as its resource holds it: UTF-8 records
//   <surah> SP <ayah> SP <length> LF <length bytes of text> LF
// in order: per surah first ayah 0 (the meaning of the surah's name), then its ayat 1..n,
// surahs 1..114 one after the other. The length prefix lets a text hold any byte (a tab,
// a line break) without escaping, so every text is a view into the resource's bytes: a
// load allocates only the index (eight bytes per record), never a copy of the texts.
//
// The walk stops at the first record that is cut short, out of order or out of range;
// what was read before it stays. Numbers are checked before they index anything.
#ifndef NORAVEL_TEXT_TRANSLATION_TEXT_H
#define NORAVEL_TEXT_TRANSLATION_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class TranslationText {
  public:
    static constexpr int kSurahs = 114;
    static constexpr int kMaxAyah = 300;

    // Indexes `size` bytes at `data`, which must outlive this object (a resource mapped for
    // the run). Returns the number of ayat read (6,236 for a whole Quran). A second load
    // replaces the first.
    int load(const char* data, size_t size);

    // The ayat read for a surah (0 outside 1..114 or before loading).
    int ayahCount(int surah) const;
    // The text of an ayah; empty outside what was read.
    std::string_view ayah(int surah, int ayah) const;
    // The meaning of the surah's name in this language; empty when none was read.
    std::string_view surahMeaning(int surah) const;
    int ayatLoaded() const { return ayatLoaded_; }

  private:
    struct Span {
        uint32_t offset;
        uint32_t length;
    };
    std::string_view at(int surah, int index) const;

    const char* data_ = nullptr;
    // spans_[first_[s] + a] is ayah a (0: the meaning) of surah s; first_[s + 1] ends it.
    std::vector<Span> spans_;
    uint32_t first_[kSurahs + 2] = {};
    int lastSurah_ = 0;
    int ayatLoaded_ = 0;
};

#endif
