#include "pages/browser_command.h"

std::string browserCommandLine(const std::string& command, const std::string& url) {
    if (command.empty()) return "";
    std::string line;
    bool placed = false;
    for (size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        const char next = i + 1 < command.size() ? command[i + 1] : '\0';
        if (c == '%' && (next == '1' || next == 'L' || next == 'l')) {
            line += url;
            placed = true;
            ++i;
        } else if (c == '%' && next == '*') {
            ++i;
        } else {
            line += c;
        }
    }
    if (!placed) line += " \"" + url + "\"";
    return line;
}

std::string redirectPage(const std::string& url) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><meta http-equiv=\"refresh\" "
           "content=\"0;url=" +
           url + "\"><title>Noravel</title></head><body><a href=\"" + url + "\">" + url +
           "</a></body></html>\n";
}

std::string withoutAnchor(const std::string& path) {
    return path.substr(0, path.find('#'));
}
