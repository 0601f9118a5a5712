// What the line-based file fuzzers compare with: the lines of a text that hold anything
// (a byte order mark at the start and a carriage return before each line feed are no part
// of a line).
#ifndef NORAVEL_FUZZ_LINE_COUNT_H
#define NORAVEL_FUZZ_LINE_COUNT_H

#include <cstddef>
#include <string_view>

inline std::size_t nonEmptyLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t count = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) ++count;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return count;
}

#endif
