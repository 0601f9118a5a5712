#include "search/arabic_spelling.h"

#include <cstring>

namespace {

bool isHamza(unsigned char byte) {
    return byte == 0xC1 || byte == 0xC3 || byte == 0xC4 || byte == 0xC5 || byte == 0xC6;
}

// Equal bytes agree; a hamza written on no seat agrees with a hamza on any seat.
bool agree(unsigned char textByte, unsigned char queryByte) {
    if (textByte == queryByte) return true;
    return (textByte == kSpellingHamza && isHamza(queryByte)) ||
           (queryByte == kSpellingHamza && isHamza(textByte));
}

// A folded query ready to be looked for in many forms: which form bytes can begin an
// occurrence is worked out once.
class SpellingPattern {
  public:
    explicit SpellingPattern(const std::string& folded)
        : query_(reinterpret_cast<const unsigned char*>(folded.c_str())) {
        if (folded.empty()) return;
        for (int b = 1; b < 256; ++b)
            canStart_[b] = b == kSpellingOptional || b == kSpellingEither ||
                           agree(static_cast<unsigned char>(b), query_[0]);
    }

    bool foundIn(const char* form) const {
        if (!form || query_[0] == '\0') return false;
        for (const auto* t = reinterpret_cast<const unsigned char*>(form); *t != '\0'; ++t)
            if (canStart_[*t] && matchesAt(t, query_)) return true;
        return false;
    }

  private:
    // The query from q on matches the form from t on. An optional byte is first taken
    // (when it agrees), then left out; the branches are few, since optional bytes are
    // sparse and seldom followed by the same letter. A choice of two bytes takes the one
    // that agrees.
    static bool matchesAt(const unsigned char* t, const unsigned char* q) {
        while (*q != '\0') {
            if (*t == kSpellingOptional) {
                if (t[1] == '\0') return false; // a marker with nothing after it
                if (agree(t[1], *q) && matchesAt(t + 2, q + 1)) return true;
                t += 2;
                continue;
            }
            if (*t == kSpellingEither) {
                if (t[1] == '\0' || t[2] == '\0') return false;
                if (!agree(t[1], *q) && !agree(t[2], *q)) return false;
                t += 3;
                ++q;
                continue;
            }
            if (*t == '\0' || !agree(*t, *q)) return false;
            ++t;
            ++q;
        }
        return true;
    }

  public:
    // Marks in taken the form bytes of every occurrence (its markers with the bytes they
    // offer); the first way each occurrence matches is the one marked.
    void markIn(const char* form, std::vector<bool>& taken) const {
        if (!form || query_[0] == '\0') return;
        const auto* begin = reinterpret_cast<const unsigned char*>(form);
        std::vector<std::size_t> path;
        for (const unsigned char* t = begin; *t != '\0'; ++t) {
            path.clear();
            if (canStart_[*t] && matchPath(begin, t, query_, path))
                for (std::size_t at : path)
                    taken[at] = true;
        }
    }

  private:
    // As matchesAt, keeping the offsets of the bytes the match takes.
    static bool matchPath(const unsigned char* begin, const unsigned char* t,
                          const unsigned char* q, std::vector<std::size_t>& path) {
        const std::size_t kept = path.size();
        const auto take = [&](const unsigned char* from, int count) {
            for (int i = 0; i < count; ++i)
                path.push_back(static_cast<std::size_t>(from + i - begin));
        };
        while (*q != '\0') {
            if (*t == kSpellingOptional) {
                if (t[1] == '\0') break;
                if (agree(t[1], *q)) {
                    take(t, 2);
                    if (matchPath(begin, t + 2, q + 1, path)) return true;
                    path.resize(path.size() - 2);
                }
                t += 2;
                continue;
            }
            if (*t == kSpellingEither) {
                if (t[1] == '\0' || t[2] == '\0') break;
                if (!agree(t[1], *q) && !agree(t[2], *q)) break;
                take(t, 3);
                t += 3;
                ++q;
                continue;
            }
            if (*t == '\0' || !agree(*t, *q)) break;
            take(t, 1);
            ++t;
            ++q;
        }
        if (*q == '\0') return true;
        path.resize(kept);
        return false;
    }

    const unsigned char* query_;
    bool canStart_[256] = {};
};

} // namespace

void appendFoldedByte(unsigned char byte, std::string& out) {
    switch (byte) {
    case 0xF0: // the four vowel marks of the byte code
    case 0xF1:
    case 0xF3:
    case 0xF5: return;
    case 0xC2: // ALEF WITH MADDA ABOVE
        out += static_cast<char>(kSpellingHamza);
        out += static_cast<char>(kSpellingAlef);
        return;
    case 0xC9: out += '\xE5'; return; // TEH MARBUTA as HEH
    case 0xEC: out += '\xED'; return; // ALEF MAKSURA as YEH
    default: break;
    }
    if (byte >= 0x20) out += static_cast<char>(byte);
}

std::string foldArabicQuery(const char* query) {
    std::string folded;
    for (const char* p = query ? query : ""; *p != '\0'; ++p) {
        if (*p == ' ') {
            if (!folded.empty() && folded.back() != ' ') folded += ' ';
            continue;
        }
        appendFoldedByte(static_cast<unsigned char>(*p), folded);
    }
    if (!folded.empty() && folded.back() == ' ') folded.pop_back();
    return folded;
}

bool spellingFormHolds(const char* form, const std::string& foldedQuery) {
    return SpellingPattern(foldedQuery).foundIn(form);
}

ArabicSpellingForms::ArabicSpellingForms(ResourceBytes data) {
    if (!data.data) return;
    size_t pos = 0;
    // Reads the next form NUL CR LF; false where the data ends or breaks off.
    const auto readForm = [&] {
        const void* nul = std::memchr(data.data + pos, '\0', data.size - pos);
        if (!nul) return false;
        const size_t end = static_cast<size_t>(static_cast<const char*>(nul) - data.data);
        if (data.size - end < 3 || data.data[end + 1] != '\r' || data.data[end + 2] != '\n')
            return false;
        forms_.push_back(data.data + pos);
        pos = end + 3;
        return true;
    };
    for (int surah = 1; surah <= TextStore::kSurahs; ++surah) {
        firstOfSurah_[surah] = static_cast<int>(forms_.size());
        for (int ayah = 1; ayah <= TextStore::ayahCount(surah); ++ayah) {
            if (!readForm()) {
                forms_.clear();
                return;
            }
        }
    }
    firstOfSurah_[TextStore::kSurahs + 1] = static_cast<int>(forms_.size());
    // The end line must follow the last ayah's form: the data fits the surah list.
    static const char kEndLine[] = "~~~~~~~\r\n";
    const size_t endLength = sizeof kEndLine - 1;
    if (data.size - pos < endLength || std::memcmp(data.data + pos, kEndLine, endLength) != 0)
        forms_.clear();
}

int ArabicSpellingForms::ayahCount(int surah) const {
    if (!complete() || surah < 1 || surah > TextStore::kSurahs) return 0;
    return firstOfSurah_[surah + 1] - firstOfSurah_[surah];
}

const char* ArabicSpellingForms::arabic(int surah, int ayah) const {
    if (ayah < 1 || ayah > ayahCount(surah)) return "";
    return forms_[static_cast<size_t>(firstOfSurah_[surah] + ayah - 1)];
}

std::vector<SearchHit> scanArabicSpelling(const char* query, const ArabicTextSource& forms) {
    std::vector<SearchHit> hits;
    const std::string folded = foldArabicQuery(query);
    if (folded.empty()) return hits;
    const SpellingPattern pattern(folded);
    for (int surah = 1; surah <= TextStore::kSurahs; ++surah) {
        const int count = forms.ayahCount(surah);
        for (int ayah = 1; ayah <= count; ++ayah)
            if (pattern.foundIn(forms.arabic(surah, ayah))) hits.push_back({surah, ayah});
    }
    return hits;
}

std::vector<bool> matchedSpellingBytes(const char* form, const char* query) {
    std::vector<bool> taken(form ? std::strlen(form) : 0, false);
    const std::string folded = foldArabicQuery(query);
    if (!folded.empty()) SpellingPattern(folded).markIn(form, taken);
    return taken;
}
