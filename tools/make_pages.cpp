// Writes the reader's browser pages into the program folder:
//   html/qs<S>/<P>.html  the commentary pages: ten ayat per page (page P holds ayat
//                        P-9..P), each ayah in an element whose id is its number, with its
//                        Uthmani Arabic text and the Indonesian and English translations,
//                        and links to the previous and the next page across surahs;
//   help.htm             the guide to the reader's controls and menu items;
//   html/noravel.css     the style of every page, with the Amiri Quran font embedded, so
//                        that the Arabic looks the same in every browser, whatever fonts
//                        the machine has;
//   html/OFL.txt         the font's licence (SIL Open Font License), which it travels with.
// Usage: make_pages <quran_id.json> <quran_en.json> <program folder> <font.ttf>
//                   <font copyright file>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Ayah {
    std::string arabic;
    std::string indonesian;
    std::string english;
};

struct Surah {
    std::string name; // transliterated
    std::string arabicName;
    std::string meaning; // English
    std::vector<Ayah> ayat;
};

// The credit of the scripture data, at the foot of every page.
constexpr const char* kCredit =
    "<footer><p>Arabic text and translations: the quran-json package by Risan Bagja Pradana, "
    "licensed under Creative Commons Attribution 4.0 (CC-BY-4.0). Calligraphy of the ayah "
    "pictures and of the Arabic on these pages: the Amiri Quran font by Khaled Hosny (SIL "
    "Open Font License, in html/OFL.txt). Pages of the Madinah mushaf, hizb quarters and "
    "places of prostration: the quran-meta package, Copyright (c) 2020 Quran-Center, MIT "
    "License.</p></footer>\n";

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

nlohmann::json readJson(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return nlohmann::json::parse(in);
}

std::vector<Surah> readSurahs(const std::string& indonesianPath, const std::string& englishPath) {
    const nlohmann::json indonesian = readJson(indonesianPath);
    const nlohmann::json english = readJson(englishPath);
    if (!indonesian.is_array() || !english.is_array() || indonesian.size() != 114 ||
        english.size() != 114)
        throw std::runtime_error("expected 114 surahs in both files");
    std::vector<Surah> surahs(114);
    for (size_t s = 0; s < 114; ++s) {
        const nlohmann::json& id = indonesian[s];
        const nlohmann::json& en = english[s];
        Surah& surah = surahs[s];
        surah.name = en.at("transliteration").get<std::string>();
        surah.arabicName = en.at("name").get<std::string>();
        surah.meaning = en.at("translation").get<std::string>();
        const nlohmann::json& idVerses = id.at("verses");
        const nlohmann::json& enVerses = en.at("verses");
        if (idVerses.size() != enVerses.size() || enVerses.empty() || enVerses.size() > 300)
            throw std::runtime_error("verse counts differ in surah " + std::to_string(s + 1));
        for (size_t a = 0; a < enVerses.size(); ++a)
            surah.ayat.push_back({enVerses[a].at("text").get<std::string>(),
                                  idVerses[a].at("translation").get<std::string>(),
                                  enVerses[a].at("translation").get<std::string>()});
    }
    return surahs;
}

constexpr int kAyatPerPage = 10;

int pageCount(const Surah& surah) {
    return (static_cast<int>(surah.ayat.size()) + kAyatPerPage - 1) / kAyatPerPage;
}

// The family name of the embedded font: a name of its own, so that a font of the same
// name installed on the machine can never take its place.
#define NORAVEL_PAGE_FONT "'Noravel Amiri Quran'"

const char kStyle[] =
    "body{font-family:'DejaVu Sans',Arial,sans-serif;margin:0 auto;max-width:60em;"
    "padding:1em;background:#f0f0be;color:#222}"
    "h1{font-size:1.5em;text-align:center}h1 .ar{font-family:" NORAVEL_PAGE_FONT ",serif}"
    "nav{display:flex;justify-content:space-between;margin:.5em 0}"
    "section{background:#fff;border:1px solid #ccc;border-radius:6px;margin:1em 0;padding:.5em 1em}"
    "h2{font-size:1em;margin:.2em 0;color:#555}"
    ".ar{font-family:" NORAVEL_PAGE_FONT ",serif;font-size:1.9em;"
    "text-align:right;line-height:2.2}"
    ".id,.en{margin:.4em 0}.id{color:#234}.en{color:#432}"
    "dt{font-weight:bold;margin-top:.6em}dd{margin-left:1.5em}"
    "figure{text-align:center}img{max-width:100%;border:1px solid #999}\n";

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += {digits[v >> 18], digits[(v >> 12) & 63], digits[(v >> 6) & 63], digits[v & 63]};
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
        out += {digits[v >> 18], digits[(v >> 12) & 63], two ? digits[(v >> 6) & 63] : '=', '='};
    }
    return out;
}

// The licence paragraph ("License: OFL") of a Debian copyright file, as plain text.
std::string licenceText(const std::string& copyright) {
    std::istringstream in(copyright);
    std::string line, text;
    bool inside = false, stanzaStart = true;
    while (std::getline(in, line)) {
        if (!inside) {
            // The stand-alone licence stanza, not the License field of a Files stanza.
            inside = stanzaStart && line.rfind("License: OFL", 0) == 0 && line.size() <= 13;
            stanzaStart = line.empty();
            continue;
        }
        if (line.empty() || (line[0] != ' ' && line[0] != '\t')) break;
        line.erase(0, 1);
        text += (line == "." ? "" : line) + "\n";
    }
    if (text.find("SIL OPEN FONT LICENSE") == std::string::npos)
        throw std::runtime_error("no SIL Open Font License text in the font's copyright file");
    return text;
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The link to page `page` of surah `surah` (1-based), relative to another commentary page.
std::string pageLink(int surah, int page) {
    return "../qs" + std::to_string(surah) + "/" + std::to_string(page * kAyatPerPage) + ".html";
}

void writeCommentaryPages(const std::vector<Surah>& surahs, const std::filesystem::path& folder) {
    for (int s = 1; s <= 114; ++s) {
        const Surah& surah = surahs[s - 1];
        const std::filesystem::path surahFolder = folder / "html" / ("qs" + std::to_string(s));
        std::filesystem::create_directories(surahFolder);
        const int pages = pageCount(surah);
        for (int p = 1; p <= pages; ++p) {
            const int first = (p - 1) * kAyatPerPage + 1;
            const int last = std::min<int>(p * kAyatPerPage, static_cast<int>(surah.ayat.size()));
            std::string previous, next;
            if (p > 1)
                previous = pageLink(s, p - 1);
            else if (s > 1)
                previous = pageLink(s - 1, pageCount(surahs[s - 2]));
            if (p < pages)
                next = pageLink(s, p + 1);
            else if (s < 114)
                next = pageLink(s + 1, 1);
            std::ostringstream nav;
            nav << "<nav>";
            nav << (previous.empty()
                        ? "<span></span>"
                        : "<a rel=\"prev\" href=\"" + previous + "\">&larr; Previous</a>");
            nav << "<a href=\"../../help.htm\">Help</a>";
            nav << (next.empty() ? "<span></span>"
                                 : "<a rel=\"next\" href=\"" + next + "\">Next &rarr;</a>");
            nav << "</nav>\n";
            std::ostringstream html;
            html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                 << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                 << "<title>" << s << ". " << escaped(surah.name) << ", ayat " << first << "-"
                 << last << "</title>\n<link rel=\"stylesheet\" href=\"../noravel.css\">\n"
                 << "</head>\n<body>\n"
                 << nav.str() << "<h1>" << s << ". " << escaped(surah.name) << " ("
                 << escaped(surah.meaning) << ") <span class=\"ar\" lang=\"ar\" dir=\"rtl\">"
                 << escaped(surah.arabicName) << "</span></h1>\n";
            for (int a = first; a <= last; ++a) {
                const Ayah& ayah = surah.ayat[a - 1];
                html << "<section id=\"" << a << "\">\n<h2>" << s << ":" << a << "</h2>\n"
                     << "<p class=\"ar\" lang=\"ar\" dir=\"rtl\">" << escaped(ayah.arabic)
                     << "</p>\n<p class=\"id\" lang=\"id\">" << escaped(ayah.indonesian)
                     << "</p>\n<p class=\"en\" lang=\"en\">" << escaped(ayah.english)
                     << "</p>\n</section>\n";
            }
            html << nav.str() << kCredit << "</body>\n</html>\n";
            writeFile(surahFolder / (std::to_string(p * kAyatPerPage) + ".html"), html.str());
        }
    }
}

// One entry of the guide: what a control or menu item is called and what it does.
struct GuideEntry {
    const char* name;
    const char* text;
};

void writeGuideSection(std::ostringstream& html, const char* id, const char* title,
                       const char* intro, std::initializer_list<GuideEntry> entries) {
    html << "<section id=\"" << id << "\">\n<h2>" << title << "</h2>\n";
    if (intro && *intro) html << "<p>" << intro << "</p>\n";
    html << "<dl>\n";
    for (const GuideEntry& e : entries)
        html << "<dt>" << e.name << "</dt><dd>" << e.text << "</dd>\n";
    html << "</dl>\n</section>\n";
}

// A picture of the reader from the folder help/ beside the page, with its caption.
void writeFigure(std::ostringstream& html, const char* file, const char* caption) {
    html << "<figure><img src=\"help/" << file << "\" alt=\"" << caption << "\">"
         << "<figcaption>" << caption << "</figcaption></figure>\n";
}

void writeHelpPage(const std::filesystem::path& folder) {
    std::ostringstream html;
    html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         << "<title>Noravel ver 3.2 - How to use the reader</title>\n"
         << "<link rel=\"stylesheet\" href=\"html/noravel.css\">\n"
         << "</head>\n<body>\n<h1>How to use Noravel</h1>\n"
         << "<nav><a href=\"#window\">The window</a><a href=\"#reading\">Reading</a>"
         << "<a href=\"#listening\">Listening</a><a href=\"#searching\">Searching</a>"
         << "<a href=\"#menus\">Menus</a><a href=\"html/qs1/10.html#1\">Commentary</a></nav>\n"
         << "<p>Noravel shows the Quran one ayah at a time: the Arabic ayah as a picture at the "
            "top, its translation below it, and the juz it belongs to in the status bar. You "
            "move by surah and ayah, search the translation or the Arabic text, listen to the "
            "recitation and open the commentary of an ayah in your browser.</p>\n";
    writeFigure(html, "reader.png",
                "The reader on surah 2, ayah 255: the ayah picture, the translation below it, "
                "the controls and the juz in the status bar.");
    writeGuideSection(
        html, "window", "The window", "From top to bottom:",
        {{"Ayah picture", "The Arabic text of the current ayah. Long ayat scroll with the scroll "
                          "bars of the picture."},
         {"Splitter", "The bar between the picture and the translation. Drag it up or down to "
                      "give the translation more or less room."},
         {"Translation", "The translation of the current ayah in the language chosen in the "
                         "language list. Words found by a search are shown in bold."},
         {"Result list", "The ayat found by the last search (or the reading history). Click a "
                         "line to open that ayah."},
         {"Status bar", "On the left the juz of the current ayah (JUZ 1 to JUZ 30), then how "
                        "many ayat the last search found; on the right the page of the Madinah "
                        "mushaf on which the ayah stands (Page 1 to Page 604) and its marks: "
                        "the hizb quarter it begins (Hizb 5, Hizb 5 \xC2\xBC, \xC2\xBD, "
                        "\xC2\xBE) and Sajdah at a place of prostration. Ctrl+Shift+Page Down "
                        "and Ctrl+Shift+Page Up go to the next and the previous page; Go to "
                        "(Ctrl+G) takes a page as page 50 or p50."}});
    writeGuideSection(
        html, "reading", "Reading", "",
        {{"Surah list", "Choose a surah; its first ayah is shown."},
         {"Ayah list", "Choose an ayah of the surah."},
         {"Up-down arrows", "Step to the previous or the next ayah; at the end of a surah the "
                            "arrows go on into the next or the previous surah."},
         {"Language list", "Switch the translation between Indonesian and English. The reader "
                           "remembers the choice."}});
    writeGuideSection(
        html, "listening", "Listening",
        "Recitations are mp3 files. The best kind holds one ayah per file, named SSSAAA.mp3 "
        "(surah and ayah as three digits each: 002255.mp3 is ayah 255 of Al-Baqarah), as most "
        "recitation archives name them. The reader looks for them first in your own "
        "recitation folder, then in the folder mp3 beside the program; without them it plays "
        "the surah files S_P.mp3 of the mp3 folder. When there is no recording of an ayah, a "
        "message says where it looked. View, Recitation... opens the Recitation window: "
        "Choose... points the reader at the folder that holds your files (until you choose "
        "one it is Noravel\\Recitation in your local application data folder), and the window "
        "shows how many of the 6236 ayat the folder holds. To fetch a recitation from an "
        "archive on the internet, type the address of one of its files with {SSS} where the "
        "surah's three digits go and {AAA} where the ayah's go, for example "
        "https://archive.example.org/reciter/{SSS}{AAA}.mp3, choose the whole Quran or a range "
        "of surahs (the same surah twice for one surah) and click Download. Files already in "
        "the folder are skipped, so a download that was cancelled or broken off goes on where "
        "it stopped; each file is checked to be MP3 before it takes its name, and at the end "
        "the window lists every file that failed and why (HTTP 404: the archive has no such "
        "file; not MP3 (an HTML page): the address leads to a page instead). The reader comes "
        "with no address of its own: use the address of an archive you trust.",
        {{"Listen", "Recites the current ayah. While it plays the button reads Stop; click it "
                    "to stop the recitation. The display stays on the ayah."},
         {"Continue", "Tick it before Listen to go on reciting ayah after ayah: the "
                      "recitation plays on through the surah's files and the display "
                      "follows it. Without the tick Listen recites the current ayah only. "
                      "Unticking it during a recitation does not stop the sound: the display "
                      "stops following, the player goes on to the end of the current file, "
                      "and no next file is started. Click Stop to end the sound at once."},
         {"Surat / Total / Ayat",
          "With Continue ticked: Surat starts the same surah again after its last ayah; Total "
          "goes on with the next surah (after the last surah comes the first); Ayat recites the "
          "same ayah again and again until Stop, for memorising. A per-ayah file plays whole "
          "and the display stays on its ayah until the next one starts. To hear every ayah "
          "several times, set Repeat each ayah (1 to 20) in the Recitation window."},
         {"Tajwid", "Opens the tajwid window beside the reader: the ayah shown, every letter "
                    "coloured by its rule of recitation, with a legend of the colours. It "
                    "follows the reader from ayah to ayah; a second click brings it to the "
                    "front. Its Rules of tajwid button shows the main rules as text."}});
    writeGuideSection(
        html, "searching", "Searching", "",
        {{"Cari(ind/eng)", "Searches the translation for up to three words or phrases: all of "
                           "them or any one, whole words or parts of words, with or without "
                           "matching capitals, in the whole Quran or in one surah."},
         {"Cari(Arab)", "Opens the Arabic keyboard. Type the Arabic text with the letter keys "
                        "(the field writes from right to left), then search. Every ayah that "
                        "contains the text is listed."}});
    writeFigure(html, "search.png",
                "An ayah opened from the result list of a translation search: the word "
                "searched for is shown in bold.");
    writeFigure(html, "arabic.png",
                "The Arabic search with a word typed on its on-screen keyboard.");
    writeGuideSection(
        html, "menus", "Menus", "",
        {{"File, Exit", "Closes the reader (a recitation that is playing stops)."},
         {"Edit, Copy arabic text as bitmap", "Copies the ayah picture to the clipboard."},
         {"Edit, Copy arabic text as text (ayat)", "Copies the Arabic text of the ayah as "
                                                   "Unicode text."},
         {"Edit, Copy arabic text as text (surat)", "Copies the Arabic text of the whole surah."},
         {"Edit, Copy terjemahan", "Copies the translation of the ayah."},
         {"Edit, Copy list hasil pencarian", "Copies every line of the result list."},
         {"View, Html", "Opens the commentary page of the current ayah in your browser, at the "
                        "ayah. Each page holds ten ayat with the Arabic text and both "
                        "translations, and links to the previous and the next page."},
         {"Help, How To", "Opens this page."},
         {"Help, About", "Shows the version of the reader."}});
    html << kCredit << "</body>\n</html>\n";
    writeFile(folder / "help.htm", html.str());
}

// The stylesheet that every page links, with the font as a data: URL: browsers refuse a
// font file from another folder of a file: page, but not one inside the stylesheet.
void writeStylesheet(const std::filesystem::path& folder, const std::string& fontPath,
                     const std::string& copyrightPath) {
    const std::string font = readBytes(fontPath);
    if (font.size() < 12 || font.compare(0, 4, std::string("\0\1\0\0", 4)) != 0)
        throw std::runtime_error(fontPath + " is not a TrueType font");
    std::filesystem::create_directories(folder / "html");
    writeFile(folder / "html" / "noravel.css",
              "@font-face{font-family:" NORAVEL_PAGE_FONT ";src:url(data:font/ttf;base64," +
                  base64(font) + ") format('truetype')}\n" + kStyle);
    writeFile(folder / "html" / "OFL.txt",
              "The Arabic on these pages is set in Amiri Quran, Copyright 2010-2017 Khaled "
              "Hosny,\nembedded in noravel.css and licensed as follows.\n\n" +
                  licenceText(readBytes(copyrightPath)));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: make_pages <quran_id.json> <quran_en.json> <program folder> "
                     "<font.ttf> <font copyright file>\n";
        return 2;
    }
    try {
        const std::vector<Surah> surahs = readSurahs(argv[1], argv[2]);
        const std::filesystem::path folder(argv[3]);
        writeStylesheet(folder, argv[4], argv[5]);
        writeCommentaryPages(surahs, folder);
        writeHelpPage(folder);
    } catch (const std::exception& e) {
        std::cerr << "make_pages: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
