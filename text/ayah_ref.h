// One ayah of the Quran: its surah (1..114) and its number in the surah (from 1).
// {0, 0} names no ayah.
#ifndef NORAVEL_TEXT_AYAH_REF_H
#define NORAVEL_TEXT_AYAH_REF_H

struct AyahRef {
    int surah = 0;
    int ayah = 0;
    bool valid() const { return surah > 0 && ayah > 0; }
    bool operator==(const AyahRef& o) const { return surah == o.surah && ayah == o.ayah; }
    bool operator!=(const AyahRef& o) const { return !(*this == o); }
};

#endif
