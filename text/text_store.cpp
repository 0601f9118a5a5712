#include "text/text_store.h"

#include <climits>
#include <cstring>
#include <new>

namespace {

constexpr int kRows = TextStore::kRows;
constexpr int kColumns = TextStore::kColumns;
constexpr int kMaxSurah = TextStore::kSurahs;
constexpr int kMaxAyah = kColumns - 1;

const char kNotFound[] = "Not Found";
const char kEmpty[] = "";

// A null entry stands for the table's default ("Not Found" or ""), so resetting a
// table is a memset and the tables need no start-up initialisation.
int ayahCounts[TextStore::kSurahListSize];
const char* surahNames[TextStore::kSurahListSize];
const char* translations[kRows][kColumns];
const char* arabicTexts[kRows][kColumns];
int recitationStarts[kRows][kColumns];
int recitationEnds[kRows][kColumns];
const char* recitationFiles[kRows][kColumns];
int languageInForce;

// Any row/column that indexes the grids must pass this first.
bool inGrid(int surah, int ayah) {
    return surah >= 1 && surah < kRows && ayah >= 1 && ayah < kColumns;
}

// Records are stored only for real surahs; rows 115..120 keep their defaults.
bool storable(int surah, int ayah) {
    return inGrid(surah, ayah) && surah <= kMaxSurah;
}

void resetSurahList() {
    for (int i = 0; i < TextStore::kSurahListSize; ++i) {
        ayahCounts[i] = 0;
        surahNames[i] = nullptr;
    }
}

// Position of the first CR LF at or after `from`, or `size` when there is none.
size_t findCrLf(const char* data, size_t size, size_t from) {
    while (from < size) {
        const void* cr = std::memchr(data + from, '\r', size - from);
        if (!cr) return size;
        size_t at = static_cast<const char*>(cr) - data;
        if (at + 1 < size && data[at + 1] == '\n') return at;
        from = at + 1;
    }
    return size;
}

// Position of the first NUL at or after `from`, or `size` when there is none.
size_t findNul(const char* data, size_t size, size_t from) {
    if (from >= size) return size;
    const void* nul = std::memchr(data + from, '\0', size - from);
    return nul ? static_cast<const char*>(nul) - data : size;
}

// Position of the CR LF that ends a translation text starting at `from`, or `size`.
// An earlier load has already turned that CR into NUL, so NUL LF ends it too.
size_t findLineEnd(const char* data, size_t size, size_t from) {
    size_t search = from + 1; // the LF follows at least one byte of the text or its CR
    while (search < size) {
        const void* lf = std::memchr(data + search, '\n', size - search);
        if (!lf) return size;
        size_t at = static_cast<const char*>(lf) - data;
        if (data[at - 1] == '\r' || data[at - 1] == '\0') return at - 1;
        search = at + 1;
    }
    return size;
}

// Converts the field data[from, end) like strtol in base 10: leading blanks, CR,
// LF and tabs are skipped, then an optional sign and digits are read up to the
// first other byte. No digits give 0; values beyond int are clamped. The field is
// first copied into a fixed scratch buffer; of a field longer than 511 bytes only
// the first 511 are converted (the data's fields are a few bytes long).
int readNumber(const char* data, size_t from, size_t end) {
    char scratch[512];
    size_t length = end - from;
    if (length > sizeof scratch - 1) length = sizeof scratch - 1;
    std::memcpy(scratch, data + from, length);
    scratch[length] = '\0';

    const char* p = scratch;
    while (*p == ' ' || *p == '\r' || *p == '\n' || *p == '\t')
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Position just past a NUL-terminated text's NUL and the CR LF that follows it.
size_t pastNulTerminator(const char* data, size_t size, size_t nul) {
    size_t next = nul + 1;
    if (next + 1 < size && data[next] == '\r' && data[next + 1] == '\n') next += 2;
    return next;
}

enum class RecordKind { SurahList, Translation, Arabic };

// Walks a record list: (count CR LF name NUL CR LF) for the surah list, (surah CR LF
// ayah CR LF text terminator) for the others. The text ends at NUL in the surah
// list and the Arabic text; a translation text ends at CR LF, whose CR is turned
// into NUL in `writable` (the same bytes as `data`). The walk ends at the end of the
// data, at "~", or where a separator or terminator is missing; a record cut short
// is not stored, nor is one outside surahs 1..114 and ayat 1..300.
void walkRecords(RecordKind kind, const char* data, size_t size, char* writable) {
    if (!data) return;
    size_t pos = 0;
    int surahIndex = 0; // the k-th record of the surah list describes surah k+1
    while (pos < size && data[pos] != '~') {
        size_t firstEnd = findCrLf(data, size, pos);
        if (firstEnd == size) return;
        int first = readNumber(data, pos, firstEnd);
        size_t textStart = firstEnd + 2;

        int ayah = 0;
        if (kind != RecordKind::SurahList) {
            size_t secondEnd = findCrLf(data, size, textStart);
            if (secondEnd == size) return;
            ayah = readNumber(data, textStart, secondEnd);
            textStart = secondEnd + 2;
        }

        const char* text = data + textStart;
        if (kind == RecordKind::Translation) {
            size_t textEnd = findLineEnd(data, size, textStart);
            if (textEnd == size) return;
            writable[textEnd] = '\0';
            if (storable(first, ayah)) translations[first][ayah] = text;
            pos = textEnd + 2;
            continue;
        }

        size_t nul = findNul(data, size, textStart);
        if (nul == size) return;
        if (kind == RecordKind::Arabic) {
            if (storable(first, ayah)) arabicTexts[first][ayah] = text;
        } else if (surahIndex < kMaxSurah) {
            // The count sizes the ayah list and the timing walk, so it is kept
            // within the grid's columns.
            ayahCounts[surahIndex] = first < 0 ? 0 : first > kMaxAyah ? kMaxAyah : first;
            surahNames[surahIndex] = text;
        }
        ++surahIndex;
        pos = pastNulTerminator(data, size, nul);
    }
}

template <typename T> void fillGrid(T (&grid)[kRows][kColumns], T value) {
    for (auto& row : grid)
        for (auto& slot : row)
            slot = value;
}

} // namespace

WritableCopy::WritableCopy(ResourceBytes source) {
    if (!source.data || source.size == 0) return;
    bytes_.reset(new (std::nothrow) char[source.size]);
    if (!bytes_) return;
    std::memcpy(bytes_.get(), source.data, source.size);
    size_ = source.size;
}

void TextStore::loadFrom(ResourceBytes surahs, WritableBytes translation, ResourceBytes timing,
                         int language) {
    resetSurahList();
    fillGrid(translations, static_cast<const char*>(nullptr));
    walkRecords(RecordKind::SurahList, surahs.data, surahs.size, nullptr);
    languageInForce = language;
    walkRecords(RecordKind::Translation, translation.data, translation.size, translation.data);
    loadRecitationTimingFrom(timing);
}

void TextStore::loadArabicFrom(ResourceBytes arabic) {
    fillGrid(arabicTexts, static_cast<const char*>(nullptr));
    walkRecords(RecordKind::Arabic, arabic.data, arabic.size, nullptr);
}

// Record per ayah: start CR LF end CR LF file name NUL CR LF, with no surah or ayah
// number: the position in the data says which ayah it belongs to.
void TextStore::loadRecitationTimingFrom(ResourceBytes timing) {
    const char* data = timing.data;
    size_t size = timing.size;
    if (!data) return;
    size_t pos = 0;
    for (int surah = 1; surah <= kMaxSurah; ++surah) {
        for (int ayah = 1; ayah <= ayahCount(surah); ++ayah) {
            size_t startEnd = findCrLf(data, size, pos);
            if (startEnd == size) return;
            size_t endEnd = findCrLf(data, size, startEnd + 2);
            if (endEnd == size) return;
            size_t nul = findNul(data, size, endEnd + 2);
            if (nul == size) return;
            recitationStarts[surah][ayah] = readNumber(data, pos, startEnd);
            recitationEnds[surah][ayah] = readNumber(data, startEnd + 2, endEnd);
            recitationFiles[surah][ayah] = data + endEnd + 2;
            pos = pastNulTerminator(data, size, nul);
        }
    }
}

void TextStore::reset() {
    resetSurahList();
    fillGrid(translations, static_cast<const char*>(nullptr));
    fillGrid(arabicTexts, static_cast<const char*>(nullptr));
    fillGrid(recitationStarts, 0);
    fillGrid(recitationEnds, 0);
    fillGrid(recitationFiles, static_cast<const char*>(nullptr));
    languageInForce = 0;
}

int TextStore::language() {
    return languageInForce;
}

int TextStore::ayahCount(int surah) {
    return surah >= 1 && surah <= kSurahListSize ? ayahCounts[surah - 1] : 0;
}

const char* TextStore::surahName(int surah) {
    if (surah < 1 || surah > kSurahListSize || !surahNames[surah - 1]) return kEmpty;
    return surahNames[surah - 1];
}

const char* TextStore::translation(int surah, int ayah) {
    if (ayah == 0) return kEmpty;
    if (!inGrid(surah, ayah) || !translations[surah][ayah]) return kNotFound;
    return translations[surah][ayah];
}

const char* TextStore::arabic(int surah, int ayah) {
    if (!inGrid(surah, ayah) || !arabicTexts[surah][ayah]) return kEmpty;
    return arabicTexts[surah][ayah];
}

Recitation TextStore::recitation(int surah, int ayah) {
    if (!inGrid(surah, ayah) || ayah > ayahCount(surah) || !recitationFiles[surah][ayah])
        return {0, 0, nullptr};
    return {recitationStarts[surah][ayah], recitationEnds[surah][ayah],
            recitationFiles[surah][ayah]};
}
