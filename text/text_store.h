// The scripture text store: surah names and ayah counts, the translation in the
// language in force, the Arabic text and the recitation timing of every ayah.
//
// The tables are fixed static arrays indexed directly by surah (row) and ayah
// (column). Their entries point into the resource data, which the caller keeps
// alive for the whole run; nothing is copied except the short number fields.
// This file is the portable part: it walks resource bytes handed to it. The
// Windows layer finds the resources and calls the `...From` functions below.
#ifndef NORAVEL_TEXT_TEXT_STORE_H
#define NORAVEL_TEXT_TEXT_STORE_H

#include <cstddef>
#include <memory>
#include <utility>

// Read-only bytes of one resource (as mapped by the system, or read from a file).
struct ResourceBytes {
    const char* data;
    size_t size;
};

// Bytes that the loader may write into (the translation resources, whose texts are
// terminated in place).
struct WritableBytes {
    char* data;
    size_t size;
};

// One heap copy of a resource's bytes. The system maps a program's resources
// read-only, so the translation texts are terminated in such a copy instead; the
// copy must live as long as the tables point into it (in the program: for the run).
// Making it is the only allocation of a load. When memory runs out the copy is
// empty, and walking it fills nothing.
class WritableCopy {
  public:
    WritableCopy() = default;
    explicit WritableCopy(ResourceBytes source);
    WritableCopy(WritableCopy&& other) noexcept { *this = std::move(other); }
    WritableCopy& operator=(WritableCopy&& other) noexcept {
        bytes_ = std::move(other.bytes_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    WritableBytes bytes() { return {bytes_.get(), size_}; }
    bool empty() const { return size_ == 0; }

  private:
    std::unique_ptr<char[]> bytes_;
    size_t size_ = 0;
};

// Where the recitation of one ayah lies: milliseconds from the beginning of the
// audio file, and the file's name (nullptr when no timing is loaded for the ayah).
// Start and end are stored as the data gives them, even when end is not after start.
struct Recitation {
    int startMs;
    int endMs;
    const char* file;
};

// The bytes of the program's "TXT" resource `id` ({nullptr, 0} when it has none), as
// the system maps them for the run (text_store_win.cpp).
ResourceBytes findTextResource(int id);

class TextStore {
  public:
    static constexpr int kSurahs = 114;
    static constexpr int kRows = 121;    // surah numbers 0..120; only 1..114 are ever filled
    static constexpr int kColumns = 301; // ayah numbers 0..300
    static constexpr int kSurahListSize = 120;

    // Resets counts, names and translation, walks the surah list, stores `language`
    // (0 Indonesian, any other value English) as the language in force, walks the
    // translation (which must be in a writable copy; its texts are terminated there,
    // and walking the same copy again gives the same texts) and then loads the
    // recitation timing.
    static void loadFrom(ResourceBytes surahs, WritableBytes translation, ResourceBytes timing,
                         int language);
    // Resets the Arabic texts and walks the Arabic resource.
    static void loadArabicFrom(ResourceBytes arabic);
    // Reads one timing record per ayah of the loaded surah list, in order. The
    // recitation tables are not reset first; the walk stops quietly where the data ends.
    static void loadRecitationTimingFrom(ResourceBytes timing);
    // Returns every table, recitation included, to its state before any load.
    static void reset();

    static int language();

    // The program's loads (text_store_win.cpp): they take the bytes from the program's
    // "TXT" resources. `language` as loadFrom takes it: 0 Indonesian, any other English
    // (the caller reads it from the settings).
    static void load(int language);
    static void loadArabic();
    static void loadRecitationTiming();

    // Every accessor accepts any arguments. Outside the filled grid (surah 1..120,
    // ayah 1..300) they give the same defaults as an ayah beyond a surah's count,
    // except that ayah 0 always gives an empty text.
    static int ayahCount(int surah);                     // 0 outside 1..114 or before loading
    static const char* surahName(int surah);             // "" outside 1..114 or before loading
    static const char* translation(int surah, int ayah); // "Not Found" by default
    static const char* arabic(int surah, int ayah);      // "" by default
    // {0, 0, nullptr} unless ayah lies in 1..ayahCount(surah) and its timing was read.
    static Recitation recitation(int surah, int ayah);
};

#endif
