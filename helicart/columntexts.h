#ifndef COLUMNTEXTS_H
#define COLUMNTEXTS_H

#include <QCoreApplication>
#include <QString>

class QDateTime;

// The texts a run gives the chart of a column, translated in context "SolarRose" by the
// installed translator.
class ColumnTexts
{
    Q_DECLARE_TR_FUNCTIONS(SolarRose)

public:
    // Precision handed to the chart at most. A double holds no more decimals than these: more
    // would show only binary noise, and a freak value field of millions of digits would ask
    // for number texts of millions of characters.
    static constexpr int kMaxLegendPrecision = 15;

    // "Time\" + "label[unit]".
    static QString speedDirectionText(const QString &label, const QString &unit);
    // "label\n[unit]"; a label longer than 20 characters gets a line per word, and "[ "
    // becomes "[".
    static QString legendTitle(const QString &label, const QString &unit);
    // "Data from <earliest> till <latest>", to the second; with the name of the clock the
    // hours follow, when it is not the clock of the stamps as written, "(hours: <clock>)".
    // A note, when given, follows in parentheses.
    static QString intervalText(const QDateTime &earliest, const QDateTime &latest,
        const QString &clock = QString(), const QString &note = QString());
    // The note on the period chosen and the group, for intervalText: "JJA, from 2023-06-01,
    // till 2023-09-01, months: 6-8" (each part only when given); empty for neither.
    // The parts are parted by separator.
    static QString periodNote(const QString &from, const QString &till, const QString &months,
        const QString &group = QString(), const QString &separator = QStringLiteral(", "));
    // "No. all: a   No. good: g   No. unknown: u (s%)".
    static QString statisticsText(int allCount, int goodCount, double goodShare);
    // Station, the time range to the minute, the lines of note when there is one (the period
    // and the group), then "all: a", "good: g", "unknown: s%", one line each.
    static QString legendText(const QString &station, const QDateTime &earliest,
        const QDateTime &latest, int allCount, int goodCount, double goodShare,
        const QString &note = QString());
    // Whether the good share misses the required one; always for a share that is not a number
    // (no data lines).
    static bool belowRequired(double goodShare, double requiredGoodPercent);
    // maxDecimals within 0 ... kMaxLegendPrecision.
    static int legendPrecision(int maxDecimals);
};

#endif // COLUMNTEXTS_H
