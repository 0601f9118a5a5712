// Fuzzes the reader of the glyph runs file. The checksums are put right before the bytes
// are read, so that the fuzzer reaches the records behind it; every ayah of a file
// that loads is either empty (its record does not add up) or within the numbers it promised.
#include "picture/glyph_runs.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    signGlyphRuns(bytes);
    GlyphRunsFile file;
    if (!file.load(bytes)) {
        if (file.loaded() || !file.ayah(1, 1).empty()) std::abort();
        return 0;
    }
    for (int s = 1; s <= kGlyphRunsSurahs; ++s) {
        for (int a = 1; a <= file.ayahCount(s); ++a) {
            const AyahRuns runs = file.ayah(s, a);
            if (runs.empty()) continue;
            if (runs.width > kGlyphRunsMaxPicture ||
                runs.lines.size() > static_cast<std::size_t>(kGlyphRunsMaxLines))
                std::abort();
            for (const RunLine& line : runs.lines)
                for (const RunGlyph& g : line.glyphs)
                    if (g.rule >= kGlyphRunsRuleLimit) std::abort();
            // Marking every byte of either text stays within the letters the file names.
            const std::vector<bool> text =
                lettersOfTextBytes(runs, std::vector<bool>(runs.textLetters.size(), true));
            const std::vector<bool> form =
                lettersOfFormBytes(runs, std::vector<bool>(runs.formLetters.size(), true));
            if (text.size() > kNoLetter || form.size() > kNoLetter) std::abort();
        }
    }
    return 0;
}
