#ifndef GROUPING_H
#define GROUPING_H

#include <QString>

// How the lines of a column are parted into groups, each drawn as a rose of its own: by month
// of the year, by meteorological season (December counted with the January and February
// that follow it) or by year. Groups are numbered: months 0 to 11, seasons 0 (DJF) to 3
// (SON), years by their number.
class Grouping
{
public:
    enum class Kind { None, Month, Season, Year };

    static constexpr int kLastYear = 9999;

    // "month", "season" or "year" (any case); false for anything else.
    static bool parse(const QString &text, Kind *kind);
    // The group of a line of year and month (1 to 12); -1 for a year outside 0 to kLastYear.
    static int index(Kind kind, int year, int month)
    {
        switch (kind) {
        case Kind::Month:
            return month - 1;
        case Kind::Season:
            return (month % 12) / 3;
        case Kind::Year:
            return year >= 0 && year <= kLastYear ? year : -1;
        case Kind::None:
            break;
        }
        return 0;
    }
    // The group's name in file names and texts: "06", "JJA", "2023".
    static QString name(Kind kind, int index);
    // The groups there are whatever the data: 12 months, 4 seasons; 0 for years.
    static int fixedCount(Kind kind);
};

#endif // GROUPING_H
