// The ayat the reader has shown, oldest first and newest last, without repeats and at most
// 500 of them. Each entry packs an ayah as (ayah << 16) | surah, both cut to 16 bits.
#ifndef NORAVEL_TEXT_READING_HISTORY_H
#define NORAVEL_TEXT_READING_HISTORY_H

#include <cstddef>
#include <cstdint>

class ReadingHistory {
  public:
    static constexpr int kLimit = 500; // reaching it thins the history to 250 before adding

    ReadingHistory() = default;
    virtual ~ReadingHistory();
    ReadingHistory(const ReadingHistory&) = delete;
    ReadingHistory& operator=(const ReadingHistory&) = delete;

    // Records a shown ayah (a repeat moves to the newest place) and returns the new number
    // of entries, or 0 when memory ran out (the ayah is then not recorded).
    int add(int surah, int ayah);

    static uint32_t pack(int surah, int ayah) {
        return (static_cast<uint32_t>(ayah) & 0xFFFFu) << 16 |
               (static_cast<uint32_t>(surah) & 0xFFFFu);
    }
    static int surahOf(uint32_t entry) { return static_cast<int>(entry & 0xFFFFu); }
    static int ayahOf(uint32_t entry) { return static_cast<int>(entry >> 16); }

    int size() const { return size_; }
    int capacity() const { return capacity_; }
    // The entry at `age` places from the newest (0 = newest); requires 0 <= age < size().
    uint32_t newest(int age) const { return entries_[size_ - 1 - age]; }
    // The entry at `index` counting from the oldest (0 = oldest); requires 0 <= index < size().
    uint32_t oldest(int index) const { return entries_[index]; }

    // Replaces the allocator (tests make it fail); nullptr restores std::realloc.
    using Reallocate = void* (*)(void* block, std::size_t bytes);
    void setReallocate(Reallocate reallocate);

  private:
    void removeAt(int index);

    uint32_t* entries_ = nullptr;
    int size_ = 0;
    int capacity_ = 0;
    Reallocate reallocate_ = nullptr;
};

#endif
