// The tajwid rule engine on ayat checked by hand letter by letter, and on the whole Quran.
#include "tajwid/tajwid_rules.h"
#include "tajwid/tajwid_view.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <fstream>
#include <string>
#include <vector>

using tajwid::Rule;

namespace {

// The rule of the first occurrence of `part` inside the n-th word (counted from 0) equal to
// `word` in the ayah. Fails the test if there is none.
Rule ruleIn(const std::string& ayah, const std::string& word, const std::string& part,
            int occurrence = 0) {
    std::size_t start = 0;
    for (;;) {
        std::size_t end = ayah.find(' ', start);
        if (end == std::string::npos) end = ayah.size();
        if (ayah.compare(start, end - start, word) == 0 && occurrence-- == 0) {
            const std::size_t at = ayah.find(part, start);
            if (at == std::string::npos || at >= end) break;
            const auto cps = tajwid::decodeUtf8(ayah);
            const auto rules = tajwid::classifyUtf8(ayah);
            for (std::size_t i = 0; i < cps.size(); ++i)
                if (cps[i].offset == at) return rules[i];
            break;
        }
        if (end >= ayah.size()) break;
        start = end + 1;
    }
    ADD_FAILURE() << "no " << part << " in " << word;
    return Rule::Count;
}

// Letters, and the signs that stand for letters (dagger alif, connecting alif, small waw and ya).
bool isLetter(char32_t c) {
    return (c >= 0x0621 && c <= 0x063A) || (c >= 0x0640 && c <= 0x064A) || c == 0x0670 ||
           c == 0x0671 || c == 0x06E5 || c == 0x06E6;
}

// The rule of every letter of the text, in reading order.
std::vector<Rule> letterRules(const std::string& text) {
    std::vector<Rule> out;
    const auto cps = tajwid::decodeUtf8(text);
    const auto rules = tajwid::classifyUtf8(text);
    for (std::size_t i = 0; i < cps.size(); ++i)
        if (isLetter(cps[i].value)) out.push_back(rules[i]);
    return out;
}

const nlohmann::json& quran() {
    static const nlohmann::json text = [] {
        std::ifstream in(std::string(NORAVEL_NODE_MODULES) + "/quran-json/dist/quran.json");
        return nlohmann::json::parse(in, nullptr, false);
    }();
    return text;
}

// Ayat and parts of ayat from quran-json (the marks on one letter may stand in another order
// here; the engine reads them as a set).
const std::string k2_255 = "ٱللَّهُ لَآ إِلَٰهَ إِلَّا هُوَ ٱلۡحَيُّ ٱلۡقَيُّومُۚ لَا تَأۡخُذُهُۥ سِنَةٞ وَلَا نَوۡمٞۚ "
                           "لَّهُۥ مَا فِي ٱلسَّمَٰوَٰتِ وَمَا فِي ٱلۡأَرۡضِۗ مَن ذَا ٱلَّذِي يَشۡفَعُ عِندَهُۥٓ إِلَّا "
                           "بِإِذۡنِهِۦۚ يَعۡلَمُ مَا بَيۡنَ أَيۡدِيهِمۡ وَمَا خَلۡفَهُمۡۖ وَلَا يُحِيطُونَ بِشَيۡءٖ "
                           "مِّنۡ عِلۡمِهِۦٓ إِلَّا بِمَا شَآءَۚ وَسِعَ كُرۡسِيُّهُ ٱلسَّمَٰوَٰتِ وَٱلۡأَرۡضَۖ وَلَا "
                           "يَـُٔودُهُۥ حِفۡظُهُمَاۚ وَهُوَ ٱلۡعَلِيُّ ٱلۡعَظِيمُ";
const std::string k2_10 = "فِي قُلُوبِهِم مَّرَضٞ فَزَادَهُمُ ٱللَّهُ مَرَضٗاۖ وَلَهُمۡ عَذَابٌ "
                          "أَلِيمُۢ بِمَا كَانُواْ يَكۡذِبُونَ";
const std::string k2_18 = "صُمُّۢ بُكۡمٌ عُمۡيٞ فَهُمۡ لَا يَرۡجِعُونَ";
const std::string k2_256 = "لَآ إِكۡرَاهَ فِي ٱلدِّينِۖ قَد تَّبَيَّنَ ٱلرُّشۡدُ مِنَ ٱلۡغَيِّۚ فَمَن يَكۡفُرۡ "
                           "بِٱلطَّـٰغُوتِ وَيُؤۡمِنۢ بِٱللَّهِ فَقَدِ ٱسۡتَمۡسَكَ بِٱلۡعُرۡوَةِ ٱلۡوُثۡقَىٰ لَا "
                           "ٱنفِصَامَ لَهَاۗ وَٱللَّهُ سَمِيعٌ عَلِيمٌ";
const std::string k111_5 = "فِي جِيدِهَا حَبۡلٞ مِّن مَّسَدِۭ";
const std::string k112_1 = "قُلۡ هُوَ ٱللَّهُ أَحَدٌ";
const std::string k112_3 = "لَمۡ يَلِدۡ وَلَمۡ يُولَدۡ";
const std::string k113_3 = "وَمِن شَرِّ غَاسِقٍ إِذَا وَقَبَ";
const std::string k77_20 = "أَلَمۡ نَخۡلُقكُّم مِّن مَّآءٖ مَّهِينٖ";
const std::string k76_15 = "وَيُطَافُ عَلَيۡهِم بِـَٔانِيَةٖ مِّن فِضَّةٖ وَأَكۡوَابٖ كَانَتۡ قَوَارِيرَا۠";
const std::string k2_258_part = "قَالَ أَنَا۠ أُحۡيِۦ وَأُمِيتُۖ";
const std::string k1_7_end = "وَلَا ٱلضَّآلِّينَ";
const std::string k2_1 = "الٓمٓ";
const std::string k2_11_part = "قَالُوٓاْ إِنَّمَا نَحۡنُ مُصۡلِحُونَ";
const std::string k4_176_end = "وَٱللَّهُ بِكُلِّ شَيۡءٍ عَلِيمُۢ";
const std::string k3_41_part = "وَٱذۡكُر رَّبَّكَ كَثِيرٗا";
const std::string k3_20_part = "فَقَدِ ٱهۡتَدَواْۖ وَّإِن تَوَلَّوۡاْ";
const std::string k5_28_part = "لَئِنۢ بَسَطتَ إِلَيَّ يَدَكَ";
const std::string k17_24_part = "وَقُل رَّبِّ ٱرۡحَمۡهُمَا";

} // namespace

TEST(TajwidRules, NunAndMimWithShaddahHoldGhunnah) {
    EXPECT_EQ(ruleIn(k2_255, "مِّنۡ", "م"), Rule::Ghunnah);  // mim of min after bi-syai'in
    EXPECT_EQ(ruleIn(k111_5, "مَّسَدِۭ", "م"), Rule::Ghunnah); // mim of masad after min
    EXPECT_EQ(ruleIn(k2_11_part, "إِنَّمَا", "ن"), Rule::Ghunnah);
    // summun bukmun: the doubled mim is ghunnah, its tanween (damma + small meem) iqlab.
    EXPECT_EQ(ruleIn(k2_18, "صُمُّۢ", "م"), Rule::Ghunnah);
    EXPECT_EQ(ruleIn(k2_18, "صُمُّۢ", "\xDB\xA2"), Rule::Iqlab);
}

TEST(TajwidRules, NunSakinahAndTanweenFollowTheNextLetterAcrossWords) {
    // Ikhfa haqiqi: nun of man before dhal; nun of 'indahu before dal inside the word;
    // open dammatan of maradun before fa; nun of min before shin.
    EXPECT_EQ(ruleIn(k2_255, "مَن", "ن"), Rule::IkhfaHaqiqi);
    EXPECT_EQ(ruleIn(k2_255, "عِندَهُۥٓ", "ن"), Rule::IkhfaHaqiqi);
    EXPECT_EQ(ruleIn(k2_10, "مَّرَضٞ", "ض"), Rule::IkhfaHaqiqi);
    EXPECT_EQ(ruleIn(k113_3, "وَمِن", "ن"), Rule::IkhfaHaqiqi);
    // Idgham bighunnah: sinatun before wa; syai'in before the mim of min; nun of fa-man
    // before ya; the fathatan of maradan, over the alif seat and the pause sign, before wa.
    EXPECT_EQ(ruleIn(k2_255, "سِنَةٞ", "ة"), Rule::IdghamBighunnah);
    EXPECT_EQ(ruleIn(k2_255, "بِشَيۡءٖ", "ء"), Rule::IdghamBighunnah);
    EXPECT_EQ(ruleIn(k2_256, "فَمَن", "ن"), Rule::IdghamBighunnah);
    EXPECT_EQ(ruleIn(k2_10, "مَرَضٗاۖ", "ض"), Rule::IdghamBighunnah);
    // Idgham bilaghunnah: naumun before lahu; yakun before lahu (112:4 form in 111:5 too).
    EXPECT_EQ(ruleIn(k2_255, "نَوۡمٞۚ", "م"), Rule::IdghamBilaghunnah);
    EXPECT_EQ(ruleIn("وَلَمۡ يَكُن لَّهُۥ كُفُوًا أَحَدُۢ", "يَكُن", "ن"), Rule::IdghamBilaghunnah);
    EXPECT_EQ(ruleIn("هُدٗى مِّن رَّبِّهِمۡۖ", "مِّن", "ن"), Rule::IdghamBilaghunnah);
    // Iqlab: the small meem over nun (yu'min) and over tanween (alimun bima, muhitun bi).
    EXPECT_EQ(ruleIn(k2_256, "وَيُؤۡمِنۢ", "ن"), Rule::Iqlab);
    EXPECT_EQ(ruleIn(k2_10, "أَلِيمُۢ", "م"), Rule::Iqlab);
    EXPECT_EQ(ruleIn(k5_28_part, "لَئِنۢ", "ن"), Rule::Iqlab);
    // Izhar: nun with sukun before 'ain; plain tanween before hamzah and before 'ain.
    EXPECT_EQ(ruleIn(k2_255, "مِّنۡ", "ن"), Rule::Izhar);
    EXPECT_EQ(ruleIn(k113_3, "غَاسِقٍ", "ق"), Rule::Izhar);
    EXPECT_EQ(ruleIn(k2_256, "سَمِيعٌ", "ع"), Rule::Izhar);
    EXPECT_EQ(ruleIn(k2_10, "عَذَابٌ", "ب"), Rule::Izhar);
}

TEST(TajwidRules, AtTheAyahsEndTheReaderStops) {
    // The text keeps the small meem where the next ayah starts with ba (4:176 'alimun, 112:4
    // ahadun, 111:5 masadin); at the stop no nun is turned, and a qalqalah letter echoes.
    EXPECT_EQ(ruleIn(k4_176_end, "عَلِيمُۢ", "م"), Rule::None);
    EXPECT_EQ(ruleIn(k111_5, "مَّسَدِۭ", "د"), Rule::QalqalahKubra);
    EXPECT_EQ(ruleIn("وَلَمۡ يَكُن لَّهُۥ كُفُوًا أَحَدُۢ", "أَحَدُۢ", "د"), Rule::QalqalahKubra);
    EXPECT_EQ(ruleIn(k2_256, "عَلِيمٌ", "م"), Rule::None); // plain tanween at the end
    EXPECT_EQ(ruleIn(k112_1, "أَحَدٌ", "د"), Rule::QalqalahKubra);
    EXPECT_EQ(ruleIn(k113_3, "وَقَبَ", "ب"), Rule::QalqalahKubra);
    EXPECT_EQ(ruleIn(k112_3, "يُولَدۡ", "د"), Rule::QalqalahKubra);
    // A fathatan at the end is read as a long a: no echo (the dal of 18:110 ahada).
    EXPECT_EQ(ruleIn("وَلَا يُشۡرِكۡ بِعِبَادَةِ رَبِّهِۦٓ أَحَدَۢا", "أَحَدَۢا", "د"), Rule::None);
    // Inside the reading a qalqalah letter with sukun echoes lightly (yalid, hablun), one
    // without any mark melts (qad tabayyana) and does not echo.
    EXPECT_EQ(ruleIn(k112_3, "يَلِدۡ", "د"), Rule::QalqalahSughra);
    EXPECT_EQ(ruleIn(k111_5, "حَبۡلٞ", "ب"), Rule::QalqalahSughra);
    EXPECT_EQ(ruleIn(k2_256, "قَد", "د"), Rule::IdghamMutajanisain);
    // The rectangular zero: alif of ana silent inside the reading, read at the stop (76:15).
    EXPECT_EQ(ruleIn(k2_258_part, "أَنَا۠", "ا", 0), Rule::SilentLetter);
    EXPECT_EQ(ruleIn(k76_15, "قَوَارِيرَا۠", "ا۠"), Rule::None);
}

TEST(TajwidRules, MimSakinahIsHiddenMergedOrClear) {
    EXPECT_EQ(ruleIn(k76_15, "عَلَيۡهِم", "م"), Rule::IkhfaSyafawi); // before bi-aniyatin
    EXPECT_EQ(ruleIn("وَمَا هُم بِمُؤۡمِنِينَ", "هُم", "م"), Rule::IkhfaSyafawi);
    EXPECT_EQ(ruleIn("وَهُم بِٱلۡأٓخِرَةِ", "وَهُم", "م"), Rule::IkhfaSyafawi);
    EXPECT_EQ(ruleIn(k2_10, "قُلُوبِهِم", "م"), Rule::IdghamMimi); // before marad
    EXPECT_EQ(ruleIn(k77_20, "نَخۡلُقكُّم", "م"), Rule::IdghamMimi);
    EXPECT_EQ(ruleIn("لَهُم مَّا يَشَآءُونَ", "لَهُم", "م"), Rule::IdghamMimi);
    EXPECT_EQ(ruleIn(k2_255, "أَيۡدِيهِمۡ", "م"), Rule::Izhar); // before wa
    EXPECT_EQ(ruleIn(k2_255, "خَلۡفَهُمۡۖ", "م"), Rule::Izhar);
    EXPECT_EQ(ruleIn(k112_3, "لَمۡ", "م"), Rule::Izhar);
}

TEST(TajwidRules, LettersMeltIntoTheDoubledLetterThatFollows) {
    // Mutajanisain: dal into ta (qad tabayyana); tah into ta without shaddah (basatta).
    EXPECT_EQ(ruleIn(k2_256, "قَد", "د"), Rule::IdghamMutajanisain);
    EXPECT_EQ(ruleIn(k5_28_part, "بَسَطتَ", "ط"), Rule::IdghamMutajanisain);
    EXPECT_EQ(ruleIn("إِذ ظَّلَمُوٓاْ", "إِذ", "ذ"), Rule::IdghamMutajanisain);
    // Mutaqaribain: qaf into kaf (nakhluqkum), lam into ra (qul rabbi).
    EXPECT_EQ(ruleIn(k77_20, "نَخۡلُقكُّم", "ق"), Rule::IdghamMutaqaribain);
    EXPECT_EQ(ruleIn(k17_24_part, "وَقُل", "ل"), Rule::IdghamMutaqaribain);
    EXPECT_EQ(ruleIn("بَل رَّفَعَهُ", "بَل", "ل"), Rule::IdghamMutaqaribain);
    // Mutamatsilain: ra into ra (udhkur rabbaka); the waw of ihtadaw, over its silent alif and
    // a pause sign, into wa-in.
    EXPECT_EQ(ruleIn(k3_41_part, "وَٱذۡكُر", "ر"), Rule::IdghamMutamatsilain);
    EXPECT_EQ(ruleIn(k3_20_part, "ٱهۡتَدَواْۖ", "و"), Rule::IdghamMutamatsilain);
    EXPECT_EQ(ruleIn("هَل لَّكُمۡ", "هَل", "ل"), Rule::IdghamMutamatsilain);
}

TEST(TajwidRules, MaddahIsToldApartByWhatFollows) {
    EXPECT_EQ(ruleIn(k2_255, "شَآءَۚ", "ا"), Rule::MaddWajibMuttasil);
    EXPECT_EQ(ruleIn(k77_20, "مَّآءٖ", "ا"), Rule::MaddWajibMuttasil);
    EXPECT_EQ(ruleIn("أُوْلَـٰٓئِكَ عَلَىٰ", "أُوْلَـٰٓئِكَ", "\xD9\xB0"), Rule::MaddWajibMuttasil);
    // Jaiz: la before ilaha; the small waw of 'indahu before illa; qalu with its silent alif.
    EXPECT_EQ(ruleIn(k2_255, "لَآ", "ا"), Rule::MaddJaizMunfasil);
    EXPECT_EQ(ruleIn(k2_255, "عِندَهُۥٓ", "ۥ"), Rule::MaddJaizMunfasil);
    EXPECT_EQ(ruleIn(k2_11_part, "قَالُوٓاْ", "و"), Rule::MaddJaizMunfasil);
    // Lazim: before a doubled lam (dallin), a doubled jim (hajja), on the opening letters.
    EXPECT_EQ(ruleIn(k1_7_end, "ٱلضَّآلِّينَ", "ا"), Rule::MaddLazim);
    EXPECT_EQ(ruleIn("أَلَمۡ تَرَ إِلَى ٱلَّذِي حَآجَّ", "حَآجَّ", "ا"), Rule::MaddLazim);
    EXPECT_EQ(ruleIn(k2_1, "الٓمٓ", "ل"), Rule::MaddLazim);
    EXPECT_EQ(ruleIn(k2_1, "الٓمٓ", "م"), Rule::MaddLazim);
    // The maddah itself takes the colour of its letter.
    EXPECT_EQ(ruleIn(k2_255, "شَآءَۚ", "\xD9\x93"), Rule::MaddWajibMuttasil);
}

TEST(TajwidRules, LettersWrittenButNotRead) {
    // Lam syamsiyah: al-samawat, Allah (lam before the doubled lam), li-l-nasi without the
    // connecting alif; the lam with sukun of al-hayy is read.
    EXPECT_EQ(ruleIn(k2_255, "ٱلسَّمَٰوَٰتِ", "ل"), Rule::LamSyamsiyah);
    EXPECT_EQ(ruleIn(k2_10, "ٱللَّهُ", "ل"), Rule::LamSyamsiyah);
    EXPECT_EQ(ruleIn("هُدٗى لِّلنَّاسِ", "لِّلنَّاسِ", "ل", 0), Rule::None);
    EXPECT_EQ(ruleIn("هُدٗى لِّلنَّاسِ", "لِّلنَّاسِ", "لن"), Rule::LamSyamsiyah);
    EXPECT_EQ(ruleIn(k2_255, "ٱلۡحَيُّ", "ل"), Rule::None);
    // Hamzat wasl: silent inside the reading, read where the ayah begins.
    EXPECT_EQ(ruleIn(k2_255, "ٱلۡحَيُّ", "ٱ"), Rule::HamzatWasl);
    EXPECT_EQ(ruleIn(k2_256, "وَٱللَّهُ", "ٱ"), Rule::HamzatWasl);
    EXPECT_EQ(ruleIn(k2_255, "ٱللَّهُ", "ٱ"), Rule::None);
    // Silent letters under the rounded zero: the alif of kanu, the waw of ula'ika.
    EXPECT_EQ(ruleIn(k2_10, "كَانُواْ", "اْ"), Rule::SilentLetter);
    EXPECT_EQ(ruleIn(k2_11_part, "قَالُوٓاْ", "ا", 0), Rule::None); // the alif after qaf
    EXPECT_EQ(ruleIn("أُوْلَـٰٓئِكَ عَلَىٰ", "أُوْلَـٰٓئِكَ", "و"), Rule::SilentLetter);
}

// 34:53 as the package writes it, checked letter by letter against the coloured picture.
TEST(TajwidRules, EveryLetterOf34_53AsCheckedByHand) {
    ASSERT_TRUE(quran().is_array()) << "run scripts/setup.sh for the quran-json package";
    const std::string text = quran()[33]["verses"][52]["text"];
    constexpr Rule o = Rule::None;
    const std::vector<Rule> expected = {
        o,
        o,
        Rule::QalqalahSughra, // wa-qad: the dal with sukun
        o,
        o,
        o,
        o,
        Rule::SilentLetter, // kafaru: the alif under the zero
        o,
        o,
        o, // bihi with its small ya
        o,
        Rule::IkhfaHaqiqi, // min before qaf
        o,
        Rule::QalqalahSughra,
        o, // qablu: the ba with sukun
        o,
        o,
        Rule::QalqalahSughra,
        o,
        o,
        o,
        o, // wa-yaqdhifuna: the qaf with sukun
        o,
        Rule::HamzatWasl,
        o,
        o,
        o,
        o, // bil-ghaibi: the lam is read (qamariyah)
        o,
        Rule::IdghamBighunnah, // min before the doubled mim
        Rule::Ghunnah,
        o,
        o,
        Rule::Iqlab, // makanin: small meem before ba'id
        o,
        o,
        o,
        Rule::QalqalahKubra, // ba'idin: the dal at the ayah's end
    };
    EXPECT_EQ(letterRules(text), expected);
}

TEST(TajwidRules, OpenTanweenIsUnderstoodInBothEncodings) {
    // The picture generator feeds the font U+08F0..U+08F2 for U+0657, U+065E and U+0656.
    const std::string fromPackage = "سِنَةٞ وَلَا نَوۡمٞۚ لَّهُۥ مِن شَرِّ حَاسِدٍ إِذَا "
                                    "مُّبِينٖ فَٱعۡبُدۡ سَبِيلٗا فِيهَا";
    auto toFont = [](const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char next = i + 1 < text.size() ? text[i + 1] : 0;
            if (text[i] == '\xD9' && (next == '\x97' || next == '\x9E' || next == '\x96')) {
                out += {'\xE0', '\xA3', next == '\x97' ? '\xB0' : next == '\x9E' ? '\xB1' : '\xB2'};
                ++i;
            } else {
                out += text[i];
            }
        }
        return out;
    };
    const std::string forFont = toFont(fromPackage);
    ASSERT_NE(forFont, fromPackage);
    const auto expected = letterRules(fromPackage);
    EXPECT_EQ(letterRules(forFont), expected);
    EXPECT_EQ(ruleIn(forFont, toFont("سِنَةٞ"), "ة"), Rule::IdghamBighunnah);
    EXPECT_EQ(ruleIn(forFont, toFont("مُّبِينٖ"), "ن"), Rule::IkhfaHaqiqi);
}

TEST(TajwidRules, MalformedTextGivesOneRulePerCodePoint) {
    const std::string text = "مِن\xFF\xC3 شَرِّ\xE0\xA3";
    const auto cps = tajwid::decodeUtf8(text);
    EXPECT_EQ(tajwid::classifyUtf8(text).size(), cps.size());
    EXPECT_EQ(cps[3].value, U'\uFFFD');
    EXPECT_TRUE(tajwid::classifyUtf8("").empty());
}

// Every rule counted over the whole Quran: a letter (with its marks) counts once; a doubled
// nun or mim whose tanween follows another rule counts for both. Any change to the engine
// shows here as a change of counts.
TEST(TajwidRules, WholeQuranCounts) {
    ASSERT_TRUE(quran().is_array()) << "run scripts/setup.sh for the quran-json package";
    std::array<std::size_t, tajwid::kRuleCount> counts{};
    std::size_t ayat = 0;
    for (const auto& surah : quran()) {
        for (const auto& verse : surah["verses"]) {
            const std::string text = verse["text"];
            const auto cps = tajwid::decodeUtf8(text);
            const auto rules = tajwid::classifyUtf8(text);
            ASSERT_EQ(rules.size(), cps.size());
            for (std::size_t i = 0; i < rules.size(); ++i) {
                const char32_t c = cps[i].value;
                if (rules[i] != Rule::None && (isLetter(c) || i == 0 || rules[i - 1] != rules[i]))
                    ++counts[static_cast<std::size_t>(rules[i])];
            }
            ++ayat;
        }
    }
    ASSERT_EQ(ayat, 6236u);
    const std::array<std::size_t, tajwid::kRuleCount> expected{
        0,
        7342,  // ghunnah: every nun or mim with shaddah
        5300,  // ikhfa haqiqi
        496,   // ikhfa syafawi
        3933,  // idgham bighunnah
        1035,  // idgham bilaghunnah
        832,   // idgham mimi
        148,   // idgham mutamatsilain
        62,    // idgham mutajanisain
        13,    // idgham mutaqaribain
        562,   // iqlab: the 609 small meems less the 47 at an ayah's end
        9333,  // izhar
        3413,  // qalqalah sughra
        421,   // qalqalah kubra
        2189,  // madd wajib muttasil
        2980,  // madd jaiz munfasil
        425,   // madd lazim
        5283,  // lam syamsiyah
        13252, // hamzat wasl
        4050,  // silent letters: 3,988 rounded zeros, 66 rectangular less 4 at an ayah's end
    };
    for (std::size_t r = 1; r < tajwid::kRuleCount; ++r)
        EXPECT_EQ(counts[r], expected[r]) << tajwid::ruleName(static_cast<Rule>(r));
}

TEST(TajwidView, CaptionNamesTheAyahAndTheSurah) {
    char caption[64];
    EXPECT_TRUE(tajwid::formatCaption(caption, sizeof caption, 2, 255, "Al Baqarah"));
    EXPECT_STREQ(caption, "Tajwid - 2:255 Al Baqarah");
    EXPECT_TRUE(tajwid::formatCaption(caption, sizeof caption, 114, 6, ""));
    EXPECT_STREQ(caption, "Tajwid - 114:6");
    char tiny[12];
    EXPECT_TRUE(tajwid::formatCaption(tiny, sizeof tiny, 2, 255, "Al Baqarah"));
    EXPECT_STREQ(tiny, "Tajwid - 2:");
    EXPECT_FALSE(tajwid::formatCaption(caption, sizeof caption, 115, 1, "x"));
    EXPECT_STREQ(caption, "");
    EXPECT_FALSE(tajwid::formatCaption(caption, sizeof caption, 1, 0, "x"));
}

TEST(TajwidView, PictureFitsTheWidthUpToItsLargestScaleAndScrollsWithinItsHeight) {
    const auto narrower = tajwid::fitToWidth(740, 694, 370, 2.0);
    EXPECT_EQ(narrower.width, 370);
    EXPECT_EQ(narrower.height, 347);
    const auto capped = tajwid::fitToWidth(300, 100, 2000, 1.5);
    EXPECT_EQ(capped.width, 450);
    EXPECT_EQ(capped.height, 150);
    EXPECT_EQ(tajwid::fitToWidth(740, 694, 0, 2.0).width, 1);
    EXPECT_EQ(tajwid::fitToWidth(0, 10, 100, 2.0).width, 0);
    EXPECT_EQ(tajwid::clampScroll(500, 800, 600), 200);
    EXPECT_EQ(tajwid::clampScroll(-3, 800, 600), 0);
    EXPECT_EQ(tajwid::clampScroll(40, 300, 600), 0);
}

TEST(TajwidView, ReaderSelectionsBecomeAnAyahOnlyWhenBothAreChosen) {
    EXPECT_EQ(tajwid::ayahFromSelections(1, 254), (AyahRef{2, 255}));
    EXPECT_FALSE(tajwid::ayahFromSelections(-1, 3).valid()); // CB_ERR: nothing chosen
    EXPECT_FALSE(tajwid::ayahFromSelections(0, -1).valid());
    EXPECT_FALSE(tajwid::ayahFromSelections(114, 0).valid());
}
