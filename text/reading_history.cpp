#include "text/reading_history.h"

#include <cstdlib>
#include <cstring>

ReadingHistory::~ReadingHistory() {
    std::free(entries_);
    entries_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void ReadingHistory::setReallocate(Reallocate reallocate) {
    reallocate_ = reallocate;
}

void ReadingHistory::removeAt(int index) {
    std::memmove(entries_ + index, entries_ + index + 1,
                 static_cast<std::size_t>(size_ - index - 1) * sizeof *entries_);
    --size_;
}

int ReadingHistory::add(int surah, int ayah) {
    // Thinning: removing positions 0, 1, ..., 250 one after another (each removal shifts the
    // rest down) drops every second entry from the oldest and keeps the newest 250.
    if (size_ >= kLimit) {
        for (int i = 0; i <= 250 && i < size_; ++i)
            removeAt(i);
    }

    const uint32_t entry = pack(surah, ayah);
    for (int i = size_ - 1; i >= 0; --i) {
        if (entries_[i] == entry) removeAt(i);
    }

    if (size_ == capacity_) {
        const int grown = capacity_ == 0 ? 1 : size_ * 2;
        Reallocate grow = reallocate_ ? reallocate_ : std::realloc;
        void* block = grow(entries_, static_cast<std::size_t>(grown) * sizeof *entries_);
        if (!block) return 0; // the old block stays valid and owned
        entries_ = static_cast<uint32_t*>(block);
        capacity_ = grown;
    }
    entries_[size_++] = entry;
    return size_;
}
