// Feeds arbitrary bytes to the text store's record walkers. The input is split at
// the separator "%%\n" into the surah list, the translation, the Arabic text and the
// timing (missing parts are empty); each part goes into a heap block of exactly its
// size, so that any read past its end is caught. Then every table entry that the
// loaded counts reach is read back in full.
#include "text/text_store.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

ResourceBytes readOnly(WritableCopy& copy) {
    return {copy.bytes().data, copy.bytes().size};
}

volatile size_t sink; // keeps the reads from being optimised away

void readAll(const char* text) {
    sink = sink + std::strlen(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[4];
    for (auto& part : parts) {
        size_t separator = input.find("%%\n");
        part = input.substr(0, separator);
        input =
            separator == std::string_view::npos ? std::string_view() : input.substr(separator + 3);
    }
    WritableCopy surahs({parts[0].data(), parts[0].size()});
    WritableCopy translation({parts[1].data(), parts[1].size()});
    WritableCopy arabic({parts[2].data(), parts[2].size()});
    WritableCopy timing({parts[3].data(), parts[3].size()});

    TextStore::reset();
    int language = size > 0 ? data[0] & 1 : 0;
    // Twice on the same copy: the second walk meets texts terminated by the first.
    for (int round = 0; round < 2; ++round) {
        TextStore::loadFrom(readOnly(surahs), translation.bytes(), readOnly(timing), language);
        TextStore::loadArabicFrom(readOnly(arabic));
    }

    for (int surah = 0; surah <= 121; ++surah) {
        readAll(TextStore::surahName(surah));
        int count = TextStore::ayahCount(surah);
        if (count < 0 || count > 300) __builtin_trap();
        for (int ayah = 0; ayah <= count + 1; ++ayah) {
            readAll(TextStore::translation(surah, ayah));
            readAll(TextStore::arabic(surah, ayah));
            Recitation recitation = TextStore::recitation(surah, ayah);
            if (recitation.file) readAll(recitation.file);
        }
    }
    TextStore::reset(); // the copies die here
    return 0;
}
