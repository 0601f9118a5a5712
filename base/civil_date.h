// Dates of the Gregorian calendar as the user's clock gives them (no time of day, no time
// zone), and whole days between them.
#ifndef NORAVEL_BASE_CIVIL_DATE_H
#define NORAVEL_BASE_CIVIL_DATE_H

#include <cstddef>
#include <string_view>

struct CivilDate {
    int year = 0;
    int month = 0; // 1..12
    int day = 0;   // 1..days of the month
    bool operator==(const CivilDate& o) const {
        return year == o.year && month == o.month && day == o.day;
    }
    bool operator!=(const CivilDate& o) const { return !(*this == o); }
};

// Years 1..9999 (what four digits write) with a month and a day that exist.
bool isValidDate(CivilDate date);
int daysInMonth(int year, int month); // 0 for a month outside 1..12

// Days since 1970-01-01 (negative before it), and back. dayNumber is only meaningful for a
// valid date; dateOfDay answers any number a valid date gives.
long dayNumber(CivilDate date);
CivilDate dateOfDay(long day);

// "yyyy-mm-dd" into out (at least 11 bytes); false when it does not fit or the date is
// not valid. parseDate reads exactly that form, nothing before or after it.
bool formatDate(char* out, size_t outSize, CivilDate date);
bool parseDate(std::string_view text, CivilDate& date);

#endif
