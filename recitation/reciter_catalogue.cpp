#include "recitation/reciter_catalogue.h"

#include "base/bounded_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

using S = RecitationStyle;

// Folder names as the archive's catalogue lists them (checked against the public
// catalogue of its folders, data/audio/everyayah.json of risan/quran-json).
constexpr Reciter kReciters[] = {
    {"Alafasy_128kbps", "Mishary Rashid Alafasy", "مشاري راشد العفاسي", S::Murattal, 128},
    {"Husary_128kbps", "Mahmoud Khalil Al-Husary", "محمود خليل الحصري", S::Murattal, 128},
    {"Husary_128kbps_Mujawwad", "Mahmoud Khalil Al-Husary", "محمود خليل الحصري", S::Mujawwad, 128},
    {"Husary_Muallim_128kbps", "Mahmoud Khalil Al-Husary", "محمود خليل الحصري", S::Muallim, 128},
    {"Abdul_Basit_Murattal_192kbps", "Abdul Basit Abdus-Samad", "عبد الباسط عبد الصمد", S::Murattal,
     192},
    {"Abdul_Basit_Mujawwad_128kbps", "Abdul Basit Abdus-Samad", "عبد الباسط عبد الصمد", S::Mujawwad,
     128},
    {"Minshawy_Murattal_128kbps", "Muhammad Siddiq Al-Minshawi", "محمد صديق المنشاوي", S::Murattal,
     128},
    {"Minshawy_Mujawwad_192kbps", "Muhammad Siddiq Al-Minshawi", "محمد صديق المنشاوي", S::Mujawwad,
     192},
    {"Abdurrahmaan_As-Sudais_192kbps", "Abdurrahman As-Sudais", "عبد الرحمن السديس", S::Murattal,
     192},
    {"Saood_ash-Shuraym_128kbps", "Saud Ash-Shuraym", "سعود الشريم", S::Murattal, 128},
    {"MaherAlMuaiqly128kbps", "Maher Al-Muaiqly", "ماهر المعيقلي", S::Murattal, 128},
    {"Muhammad_Ayyoub_128kbps", "Muhammad Ayyoub", "محمد أيوب", S::Murattal, 128},
    {"Abdullah_Basfar_192kbps", "Abdullah Basfar", "عبد الله بصفر", S::Murattal, 192},
    {"Abu_Bakr_Ash-Shaatree_128kbps", "Abu Bakr Ash-Shatri", "أبو بكر الشاطري", S::Murattal, 128},
    {"Hani_Rifai_192kbps", "Hani Ar-Rifai", "هاني الرفاعي", S::Murattal, 192},
    {"Hudhaify_128kbps", "Ali Al-Hudhaifi", "علي الحذيفي", S::Murattal, 128},
    {"Ghamadi_40kbps", "Saad Al-Ghamdi", "سعد الغامدي", S::Murattal, 40},
    {"ahmed_ibn_ali_al_ajamy_128kbps", "Ahmed ibn Ali Al-Ajamy", "أحمد بن علي العجمي", S::Murattal,
     128},
    {"Muhammad_Jibreel_128kbps", "Muhammad Jibreel", "محمد جبريل", S::Murattal, 128},
    {"Mohammad_al_Tablaway_128kbps", "Mohammad Al-Tablawi", "محمد الطبلاوي", S::Murattal, 128},
    {"Salah_Al_Budair_128kbps", "Salah Al-Budair", "صلاح البدير", S::Murattal, 128},
    {"Yasser_Ad-Dussary_128kbps", "Yasser Ad-Dossary", "ياسر الدوسري", S::Murattal, 128},
    {"Nasser_Alqatami_128kbps", "Nasser Al-Qatami", "ناصر القطامي", S::Murattal, 128},
    {"Khaalid_Abdullaah_al-Qahtaanee_192kbps", "Khalid Al-Qahtani", "خالد القحطاني", S::Murattal,
     192},
    {"Abdullah_Matroud_128kbps", "Abdullah Matroud", "عبد الله مطرود", S::Murattal, 128},
    {"Fares_Abbad_64kbps", "Fares Abbad", "فارس عباد", S::Murattal, 64},
};

} // namespace

const Reciter* builtInReciters(size_t* count) {
    if (count) *count = sizeof kReciters / sizeof kReciters[0];
    return kReciters;
}

const Reciter* findReciter(const char* folder) {
    if (!folder) return nullptr;
    for (const Reciter& reciter : kReciters)
        if (std::strcmp(reciter.folder, folder) == 0) return &reciter;
    return nullptr;
}

const char* recitationStyleName(RecitationStyle style) {
    switch (style) {
    case S::Mujawwad: return "mujawwad";
    case S::Muallim: return "muallim";
    case S::Murattal: break;
    }
    return "murattal";
}

const char* reciterChoiceInForce(const char* storedChoice, const char* storedAddress) {
    if (storedChoice && std::strcmp(storedChoice, kOtherAddressChoice) == 0)
        return kOtherAddressChoice;
    if (const Reciter* reciter = findReciter(storedChoice)) return reciter->folder;
    if (storedAddress && storedAddress[0] && !(storedChoice && storedChoice[0]))
        return kOtherAddressChoice;
    return kDefaultReciterFolder;
}

bool formatReciterTemplate(char* out, size_t size, const char* base, const char* folder) {
    if (!findReciter(folder)) {
        if (out && size) out[0] = '\0';
        return false;
    }
    const char* root = base && base[0] ? base : kArchiveBase;
    const size_t length = std::strlen(root);
    const char* slash = root[length - 1] == '/' ? "" : "/";
    return formatInto(out, size, "%s%s%s/{SSS}{AAA}.mp3", root, slash, folder);
}

bool formatReciterFolderPath(char* out, size_t size, const char* recitationFolder,
                             const char* folder) {
    if (!recitationFolder || !recitationFolder[0] || !folder || !folder[0]) {
        if (out && size) out[0] = '\0';
        return false;
    }
    const size_t length = std::strlen(recitationFolder);
    const char* slash = recitationFolder[length - 1] == '\\' ? "" : "\\";
    return formatInto(out, size, "%s%s%s", recitationFolder, slash, folder);
}

bool formatReciterLine(char* out, size_t size, const Reciter& reciter) {
    if (reciter.arabicName && reciter.arabicName[0])
        return formatInto(out, size, "%s (%s), %s, %d kbps", reciter.latinName, reciter.arabicName,
                          recitationStyleName(reciter.style), reciter.bitrateKbps);
    return formatInto(out, size, "%s, %s, %d kbps", reciter.latinName,
                      recitationStyleName(reciter.style), reciter.bitrateKbps);
}

bool formatReciterStyle(char* out, size_t size, const Reciter& reciter) {
    return formatInto(out, size, "%s, %d kbps", recitationStyleName(reciter.style),
                      reciter.bitrateKbps);
}

bool formatReciterOnDisk(char* out, size_t size, int ayat, unsigned long long bytes) {
    const char* noun = ayat == 1 ? "ayah" : "ayat";
    if (bytes >= 1024ull * 1024)
        return formatInto(out, size, "%d %s, %.1f MB", ayat, noun,
                          static_cast<double>(bytes) / (1024.0 * 1024.0));
    return formatInto(out, size, "%d %s, %llu KB", ayat, noun, (bytes + 1023) / 1024);
}
