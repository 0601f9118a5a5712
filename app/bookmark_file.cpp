#include "app/bookmark_file.h"

#include <cstdio>

namespace {

constexpr int kSurahs = 114;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// 1 to 3 digits, no sign: the only numbers a surah or an ayah is written with.
bool smallNumber(std::string_view text, int& value) {
    if (text.empty() || text.size() > 3) return false;
    value = 0;
    for (char c : text) {
        if (!isDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// Two digits at text[at] within [low, high].
bool twoDigits(std::string_view text, size_t at, int low, int high) {
    if (!isDigit(text[at]) || !isDigit(text[at + 1])) return false;
    const int value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return value >= low && value <= high;
}

bool isTimestamp(std::string_view when) {
    // yyyy-mm-dd hh:mm:ss
    if (when.size() != 19) return false;
    for (size_t i : {0, 1, 2, 3})
        if (!isDigit(when[i])) return false;
    return when[4] == '-' && twoDigits(when, 5, 1, 12) && when[7] == '-' &&
           twoDigits(when, 8, 1, 31) && when[10] == ' ' && twoDigits(when, 11, 0, 23) &&
           when[13] == ':' && twoDigits(when, 14, 0, 59) && when[16] == ':' &&
           twoDigits(when, 17, 0, 59);
}

bool unescapeNote(std::string_view written, std::string& note) {
    note.clear();
    for (size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (c == '\0') return false;
        if (c != '\\') {
            note.push_back(c);
            continue;
        }
        if (++i == written.size()) return false;
        switch (written[i]) {
        case '\\': note.push_back('\\'); break;
        case 't': note.push_back('\t'); break;
        case 'r': note.push_back('\r'); break;
        case 'n': note.push_back('\n'); break;
        default: return false;
        }
    }
    return true;
}

} // namespace

bool operator==(const Bookmark& a, const Bookmark& b) {
    return a.surah == b.surah && a.ayah == b.ayah && a.when == b.when && a.note == b.note;
}

bool isValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length;
        unsigned int codePoint;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
        if ((length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000) ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

std::optional<Bookmark> parseBookmarkLine(std::string_view line, int (*ayahCount)(int surah)) {
    const size_t firstTab = line.find('\t');
    if (firstTab == std::string_view::npos) return std::nullopt;
    const std::string_view ayahRef = line.substr(0, firstTab);
    const size_t colon = ayahRef.find(':');
    if (colon == std::string_view::npos) return std::nullopt;

    Bookmark bookmark;
    if (!smallNumber(ayahRef.substr(0, colon), bookmark.surah) ||
        !smallNumber(ayahRef.substr(colon + 1), bookmark.ayah))
        return std::nullopt;
    if (bookmark.surah < 1 || bookmark.surah > kSurahs || bookmark.ayah < 1 ||
        bookmark.ayah > ayahCount(bookmark.surah))
        return std::nullopt;

    std::string_view rest = line.substr(firstTab + 1);
    const size_t secondTab = rest.find('\t');
    const std::string_view when = rest.substr(0, secondTab);
    if (!isTimestamp(when)) return std::nullopt;
    bookmark.when = std::string(when);
    if (secondTab != std::string_view::npos) {
        const std::string_view note = rest.substr(secondTab + 1);
        if (note.find('\t') != std::string_view::npos || !isValidUtf8(note) ||
            !unescapeNote(note, bookmark.note))
            return std::nullopt;
    }
    return bookmark;
}

BookmarkFileContent parseBookmarkFile(std::string_view text, int (*ayahCount)(int surah)) {
    BookmarkFileContent content;
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        std::string_view body = line;
        if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
        if (body.empty()) continue;
        if (std::optional<Bookmark> bookmark = parseBookmarkLine(body, ayahCount))
            content.bookmarks.push_back(std::move(*bookmark));
        else
            content.damagedLines.emplace_back(line);
    }
    return content;
}

std::string formatBookmarkLine(const Bookmark& bookmark) {
    char head[32];
    std::snprintf(head, sizeof head, "%d:%d\t", bookmark.surah, bookmark.ayah);
    std::string line = head;
    line += bookmark.when;
    if (bookmark.note.empty()) return line;
    line += '\t';
    for (char c : bookmark.note) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\r': line += "\\r"; break;
        case '\n': line += "\\n"; break;
        default: line.push_back(c);
        }
    }
    return line;
}

std::string formatBookmarkFile(const std::vector<Bookmark>& bookmarks) {
    std::string text;
    for (const Bookmark& bookmark : bookmarks) {
        text += formatBookmarkLine(bookmark);
        text += '\n';
    }
    return text;
}
