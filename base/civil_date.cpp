#include "base/civil_date.h"

#include <cstdio>

namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

int daysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(CivilDate date) {
    return date.year >= 1 && date.year <= 9999 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

// The count of days in 400-year eras, with years starting on 1 March so that the leap day
// is the last of its year (the usual civil-day arithmetic).
long dayNumber(CivilDate date) {
    const long year = date.month <= 2 ? date.year - 1L : date.year;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;                                      // 0..399
    const long monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9; // 0..11
    const long dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;         // 0..365
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate dateOfDay(long day) {
    day += 719468;
    const long era = (day >= 0 ? day : day - 146096) / 146097;
    const long dayOfEra = day - era * 146097; // 0..146096
    const long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365; // 0..399
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    date.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

bool formatDate(char* out, size_t outSize, CivilDate date) {
    if (!isValidDate(date)) return false;
    const int written =
        std::snprintf(out, outSize, "%04d-%02d-%02d", date.year, date.month, date.day);
    return written == 10 && static_cast<size_t>(written) < outSize;
}

bool parseDate(std::string_view text, CivilDate& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int fields[3] = {0, 0, 0};
    const size_t starts[3] = {0, 5, 8};
    const size_t lengths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f)
        for (size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
            if (text[i] < '0' || text[i] > '9') return false;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    const CivilDate read{fields[0], fields[1], fields[2]};
    if (!isValidDate(read)) return false;
    date = read;
    return true;
}
