#include "tajwid/tajwid_rules.h"

#include <algorithm>

namespace tajwid {

std::vector<CodePoint> decodeUtf8(const std::string& text) {
    std::vector<CodePoint> out;
    out.reserve(text.size() / 2);
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80         ? 1
                             : (lead >> 5) == 6  ? 2
                             : (lead >> 4) == 14 ? 3
                             : (lead >> 3) == 30 ? 4
                                                 : 0;
        char32_t value = length == 1   ? lead
                         : length == 2 ? lead & 0x1F
                         : length == 3 ? lead & 0x0F
                                       : lead & 0x07;
        bool ok = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; ok && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            ok = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        if (!ok) {
            out.push_back({0xFFFD, i});
            ++i;
            continue;
        }
        out.push_back({value, i});
        i += length;
    }
    return out;
}

namespace {

// Letters (and letter-like signs) that start a unit; everything from one to the next that is
// a mark belongs to it.
bool isLetter(char32_t c) {
    return (c >= 0x0621 && c <= 0x063A) || (c >= 0x0640 && c <= 0x064A) || c == 0x0671 ||
           c == 0x0670 || c == 0x06E5 || c == 0x06E6;
}

bool isMark(char32_t c) {
    if (c >= 0x064B && c <= 0x065F) return true;
    if (c >= 0x08F0 && c <= 0x08F2) return true;
    return c >= 0x06D6 && c <= 0x06ED && c != 0x06DD && c != 0x06DE && c != 0x06E5 && c != 0x06E6 &&
           c != 0x06E9;
}

// The pause signs above the text: they say where a reader may stop and are not coloured.
bool isPauseSign(char32_t c) {
    return c >= 0x06D6 && c <= 0x06DC;
}

constexpr char32_t kAlif = 0x0627, kAlifMaksura = 0x0649, kAlifWasla = 0x0671, kDaggerAlif = 0x0670,
                   kTatweel = 0x0640, kSmallWaw = 0x06E5, kSmallYa = 0x06E6, kNun = 0x0646,
                   kMim = 0x0645, kBa = 0x0628, kWaw = 0x0648, kYa = 0x064A, kLam = 0x0644,
                   kRa = 0x0631, kTa = 0x062A, kTah = 0x0637;

// A letter with the marks written on it.
struct Unit {
    std::size_t begin = 0, end = 0; // code points [begin, end)
    char32_t letter = 0;
    std::size_t word = 0; // counts the blanks before it
    bool vowel = false;   // fatha, damma, kasra
    bool tanween = false; // the plain forms: clear pronunciation follows
    bool openTanween = false;
    bool openFathatan = false, plainFathatan = false;
    bool sukun = false;
    bool shaddah = false;
    bool maddah = false;
    bool smallMeem = false;
    bool hamzaMark = false;
    bool neverRead = false;  // rounded zero
    bool readAtStop = false; // rectangular zero

    bool bare() const {
        return !vowel && !tanween && !openTanween && !sukun && !shaddah && !neverRead &&
               !readAtStop && !maddah && !hamzaMark;
    }
};

void addMark(Unit& u, char32_t c) {
    switch (c) {
    case 0x064E:
    case 0x064F:
    case 0x0650: u.vowel = true; break;
    case 0x064B: u.plainFathatan = u.tanween = true; break;
    case 0x064C:
    case 0x064D: u.tanween = true; break;
    case 0x0657:
    case 0x08F0: u.openFathatan = u.openTanween = true; break;
    case 0x065E:
    case 0x08F1:
    case 0x0656:
    case 0x08F2: u.openTanween = true; break;
    case 0x0651: u.shaddah = true; break;
    case 0x06E1: u.sukun = true; break;
    case 0x0652: u.neverRead = true; break;
    case 0x06E0: u.readAtStop = true; break;
    case 0x0653: u.maddah = true; break;
    case 0x06E2:
    case 0x06ED: u.smallMeem = true; break;
    case 0x0654:
    case 0x0655: u.hamzaMark = true; break;
    default: break;
    }
}

bool isHamza(const Unit& u) {
    return u.letter == 0x0621 || u.letter == 0x0623 || u.letter == 0x0624 || u.letter == 0x0625 ||
           u.letter == 0x0626 || u.hamzaMark;
}

// The throat letters: hamzah, ha, ain, ha, ghain, kha.
bool isThroat(const Unit& u) {
    return isHamza(u) || u.letter == 0x0647 || u.letter == 0x0639 || u.letter == 0x062D ||
           u.letter == 0x063A || u.letter == 0x062E;
}

// The fifteen letters a nun sakinah or tanween is hidden before.
bool isIkhfaLetter(char32_t c) {
    switch (c) {
    case 0x062A:
    case 0x062B:
    case 0x062C:
    case 0x062F:
    case 0x0630:
    case 0x0632:
    case 0x0633:
    case 0x0634:
    case 0x0635:
    case 0x0636:
    case 0x0637:
    case 0x0638:
    case 0x0641:
    case 0x0642:
    case 0x0643: return true;
    default: return false;
    }
}

bool isQalqalahLetter(char32_t c) {
    return c == 0x0642 || c == kTah || c == kBa || c == 0x062C || c == 0x062F;
}

bool isMaddLetter(char32_t c) {
    return c == kAlif || c == kWaw || c == kYa || c == kAlifMaksura || c == kDaggerAlif ||
           c == kSmallWaw || c == kSmallYa;
}

// Letters pronounced from one place: ta, dal, tah; tha, dhal, zah; ba and mim.
int articulationGroup(char32_t c) {
    switch (c) {
    case 0x062A:
    case 0x062F:
    case 0x0637: return 1;
    case 0x062B:
    case 0x0630:
    case 0x0638: return 2;
    case 0x0628:
    case 0x0645: return 3;
    default: return 0;
    }
}

class Ayah {
  public:
    explicit Ayah(const std::u32string& text) : text_(text) {
        std::size_t word = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char32_t c = text[i];
            if (isLetter(c)) {
                Unit u;
                u.begin = i;
                u.end = i + 1;
                u.letter = c;
                u.word = word;
                units_.push_back(u);
            } else if (isMark(c) && !units_.empty() && units_.back().end == i) {
                addMark(units_.back(), c);
                units_.back().end = i + 1;
            } else if (!isMark(c)) {
                ++word; // a blank or a sign between words
            }
        }
    }

    std::vector<Rule> classify() const {
        std::vector<Rule> rules(text_.size(), Rule::None);
        for (std::size_t k = 0; k < units_.size(); ++k) {
            const Unit& u = units_[k];
            const Rule rule = classifyUnit(k);
            // A doubled nun or mim with tanween (summun bukmun) carries two rules: the letter
            // its ghunnah, the tanween marks the rule of the tanween.
            const Rule tanween = rule == Rule::Ghunnah ? tanweenRule(k) : rule;
            for (std::size_t i = u.begin; i < u.end; ++i) {
                if (isPauseSign(text_[i])) continue;
                rules[i] = isTanweenMark(text_[i], u) ? tanween : rule;
            }
        }
        return rules;
    }

  private:
    const std::u32string& text_;
    std::vector<Unit> units_;

    // Units that carry no sound of their own between two pronounced letters: the alif and
    // alif maksura seats of tanween and long vowels, the connecting alif, a bare tatweel,
    // letters never read.
    bool silentSeat(const Unit& u) const {
        if (u.letter == kAlif || u.letter == kAlifWasla || u.letter == kDaggerAlif)
            return !u.maddah && !u.hamzaMark;
        if (u.letter == kAlifMaksura || u.letter == kTatweel || u.letter == kSmallWaw ||
            u.letter == kSmallYa)
            return u.bare();
        return u.neverRead || u.readAtStop;
    }

    // The next pronounced unit after k, or units_.size() at the ayah's end.
    std::size_t next(std::size_t k) const {
        std::size_t j = k + 1;
        while (j < units_.size() && silentSeat(units_[j]))
            ++j;
        return j;
    }

    bool isLastUnit(std::size_t k) const { return k + 1 == units_.size(); }

    // The rules of nun sakinah and tanween, decided by the letter that follows.
    Rule nunRule(std::size_t k) const {
        const std::size_t j = next(k);
        if (j >= units_.size()) return Rule::None;
        const Unit& n = units_[j];
        if (n.letter == kYa || n.letter == kWaw || n.letter == kNun || n.letter == kMim)
            return Rule::IdghamBighunnah;
        if (n.letter == kLam || n.letter == kRa) return Rule::IdghamBilaghunnah;
        if (n.letter == kBa) return Rule::Iqlab;
        if (isIkhfaLetter(n.letter)) return Rule::IkhfaHaqiqi;
        return Rule::None;
    }

    Rule maddRule(std::size_t k) const {
        const Unit& u = units_[k];
        if (!isMaddLetter(u.letter)) return Rule::MaddLazim; // the opening letters: alif lam mim
        std::size_t j = k + 1;
        while (j < units_.size() && (units_[j].neverRead || units_[j].readAtStop ||
                                     (units_[j].letter == kTatweel && units_[j].bare())))
            ++j;
        if (j >= units_.size()) return Rule::None;
        const Unit& n = units_[j];
        if (isHamza(n)) return n.word != u.word ? Rule::MaddJaizMunfasil : Rule::MaddWajibMuttasil;
        if (n.word == u.word && (n.shaddah || n.sukun || n.bare())) return Rule::MaddLazim;
        return Rule::None;
    }

    // A letter without any mark melts into the next one; the Uthmani text puts a shaddah on
    // that one where the merge is complete.
    Rule mergeRule(std::size_t k) const {
        const Unit& u = units_[k];
        const std::size_t j = next(k);
        if (j >= units_.size()) return Rule::None;
        const Unit& n = units_[j];
        const bool mergesWithTa = u.letter == kTah && n.letter == kTa;
        if (!n.shaddah && !mergesWithTa) return Rule::None;
        // Inside a word a bare lam before a doubled letter is the article's (al-, or li- with
        // the connecting alif dropped, as in lil-nasi).
        if (u.letter == kLam && n.word == u.word) return Rule::LamSyamsiyah;
        if (u.letter == n.letter) return Rule::IdghamMutamatsilain;
        if ((u.letter == kWaw || u.letter == kYa)) return Rule::None; // a long vowel
        const int group = articulationGroup(u.letter);
        if (group != 0 && group == articulationGroup(n.letter)) return Rule::IdghamMutajanisain;
        return Rule::IdghamMutaqaribain;
    }

    // The marks of a tanween: the tanween sign, or a vowel with the small meem of iqlab.
    static bool isTanweenMark(char32_t c, const Unit& u) {
        switch (c) {
        case 0x064B:
        case 0x064C:
        case 0x064D:
        case 0x0656:
        case 0x0657:
        case 0x065E:
        case 0x08F0:
        case 0x08F1:
        case 0x08F2:
        case 0x06E2:
        case 0x06ED: return true;
        case 0x064E:
        case 0x064F:
        case 0x0650: return u.smallMeem;
        default: return false;
        }
    }

    // The rule of a tanween (or of a nun with the small meem), from the letter that follows.
    Rule tanweenRule(std::size_t k) const {
        const Unit& u = units_[k];
        const std::size_t j = next(k);
        // The small meem also stands at an ayah's end before an ayah that starts with ba; the
        // reader stops there, so nothing follows the tanween.
        if (j >= units_.size()) return Rule::None;
        if (u.smallMeem && (u.letter == kNun || u.vowel)) return Rule::Iqlab;
        if (u.openTanween) return nunRule(k);
        if (u.tanween && isThroat(units_[j])) return Rule::Izhar;
        return Rule::None;
    }

    Rule classifyUnit(std::size_t k) const {
        const Unit& u = units_[k];
        if (u.letter == kAlifWasla) return k == 0 ? Rule::None : Rule::HamzatWasl;
        if (u.neverRead) return Rule::SilentLetter;
        if (u.readAtStop) return isLastUnit(k) ? Rule::None : Rule::SilentLetter;
        if (u.maddah) return maddRule(k);
        if (u.shaddah && (u.letter == kNun || u.letter == kMim)) return Rule::Ghunnah;

        // The reader stops on the last letter: without its vowel it echoes strongly. Fathatan
        // is read as a long a at a stop (its alif seat follows), so it keeps its vowel.
        if (isQalqalahLetter(u.letter) && isLastUnit(k) && !u.plainFathatan && !u.openFathatan)
            return Rule::QalqalahKubra;
        if (u.smallMeem || u.openTanween || u.tanween) return tanweenRule(k);
        if (u.letter == kNun) {
            if (u.sukun) return Rule::Izhar;
            if (u.bare()) return nunRule(k);
        }
        if (u.letter == kMim) {
            if (u.sukun) return Rule::Izhar;
            if (u.bare()) {
                const std::size_t j = next(k);
                if (j < units_.size() && units_[j].letter == kBa) return Rule::IkhfaSyafawi;
                if (j < units_.size() && units_[j].letter == kMim) return Rule::IdghamMimi;
                return Rule::None;
            }
        }
        if (isQalqalahLetter(u.letter) && u.sukun) return Rule::QalqalahSughra;
        if (u.bare() && !isMaddLetter(u.letter) && u.letter != kTatweel) return mergeRule(k);
        if (u.bare() && (u.letter == kWaw || u.letter == kYa)) {
            const Rule merged = mergeRule(k);
            if (merged == Rule::IdghamMutamatsilain) return merged;
        }
        return Rule::None;
    }
};

} // namespace

std::vector<Rule> classify(const std::u32string& ayah) {
    return Ayah(ayah).classify();
}

std::vector<Rule> classifyUtf8(const std::string& ayah) {
    std::u32string text;
    for (const CodePoint& cp : decodeUtf8(ayah))
        text.push_back(cp.value);
    return classify(text);
}

const char* ruleName(Rule rule) {
    static const char* const kNames[kRuleCount] = {
        "none",
        "ghunnah",
        "ikhfa haqiqi",
        "ikhfa syafawi",
        "idgham bighunnah",
        "idgham bilaghunnah",
        "idgham mimi",
        "idgham mutamatsilain",
        "idgham mutajanisain",
        "idgham mutaqaribain",
        "iqlab",
        "izhar",
        "qalqalah sughra",
        "qalqalah kubra",
        "madd wajib muttasil",
        "madd jaiz munfasil",
        "madd lazim",
        "lam syamsiyah",
        "hamzat wasl",
        "silent letter",
    };
    const auto index = static_cast<std::size_t>(rule);
    return index < kRuleCount ? kNames[index] : "?";
}

} // namespace tajwid
