#include "periodoptions.h"

#include "warnings.h"

namespace {

// The moment of --from or --till into *msecs and its text into *text, when it is given.
void readMoment(const char *name, const LayoutOptions::Given &given, qint64 *msecs, QString *text,
    QStringList *errors)
{
    if (!given.given)
        return;
    if (Period::parseMoment(given.text, msecs)) {
        *text = given.text.trimmed();
        return;
    }
    *errors << QStringLiteral("%1 value %2 is no date such as 2023-06-01 or date and time such "
                              "as 2023-06-01T12:00")
                   .arg(QLatin1String(name), Warnings::quoted(given.text));
}

} // namespace

void PeriodOptions::read(
    const Texts &texts, Period *period, Grouping::Kind *grouping, QStringList *errors)
{
    readMoment("--from", texts.from, &period->from, &period->fromText, errors);
    readMoment("--till", texts.till, &period->till, &period->tillText, errors);
    if (texts.from.given && texts.till.given && !period->fromText.isEmpty()
        && !period->tillText.isEmpty() && period->from >= period->till) {
        *errors << QStringLiteral("--from %1 is not before --till %2: no line would be left")
                       .arg(Warnings::quoted(period->fromText), Warnings::quoted(period->tillText));
    }
    if (texts.months.given) {
        if (Period::parseMonths(texts.months.text, &period->months))
            period->monthsText = texts.months.text.trimmed();
        else
            *errors << QStringLiteral("--months value %1 is no list of months 1 to 12 and ranges "
                                      "such as 6-8 or 11-2")
                           .arg(Warnings::quoted(texts.months.text));
    }
    if (texts.by.given && !Grouping::parse(texts.by.text, grouping)) {
        *errors << QStringLiteral("--by value %1 is none of month, season and year")
                       .arg(Warnings::quoted(texts.by.text));
    }
}
