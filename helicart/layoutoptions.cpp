#include "layoutoptions.h"

#include "asciiname.h"
#include "stampclock.h"
#include "stampreader.h"
#include "utcandlocal.h"
#include "warnings.h"

#include <QFileInfo>

#include <cmath>

namespace {

bool isWord(const QString &value, const char *word)
{
    return AsciiName::same(value, QLatin1StringView(word));
}

// A separator byte, or 0 when value names none: a letter, a digit, a quote or a character
// of numbers and stamps would take them apart.
char separatorValue(const QString &value)
{
    if (isWord(value, "tab") || value == QLatin1String("\t"))
        return '\t';
    if (isWord(value, "comma"))
        return ',';
    if (isWord(value, "semicolon"))
        return ';';
    if (value.size() != 1)
        return 0;
    const char16_t c = value.at(0).unicode();
    const bool usable = c == u'\t'
        || (c > 0x20 && c < 0x7f && !QChar(c).isLetterOrNumber()
            && !QStringLiteral("\".+-:'").contains(QChar(c)));
    return usable ? char(c) : 0;
}

// Whether pattern reads back what it writes of a date-time, day, month, year, hour and minute
// included.
bool isUsablePattern(const QString &pattern)
{
    const QDateTime written(QDate(2001, 11, 23), QTime(13, 47, 59, 123), UtcAndLocal::utc());
    qint64 msecs = 0;
    if (!StampReader::parsePattern(written.toString(pattern), pattern, &msecs))
        return false;
    const QDateTime read = QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc());
    return read.date() == written.date() && read.time().hour() == 13 && read.time().minute() == 47;
}

void readTimeFormat(const QString &value, FileLayout *layout, QStringList *errors)
{
    if (isWord(value, "iso")) {
        layout->timeFormat = FileLayout::TimeFormat::Iso;
    } else if (isWord(value, "epoch")) {
        layout->timeFormat = FileLayout::TimeFormat::Epoch;
    } else if (isUsablePattern(value)) {
        layout->timeFormat = FileLayout::TimeFormat::Pattern;
        layout->pattern = value;
    } else {
        *errors << QStringLiteral("--timeFormat value %1 is neither iso, epoch nor a date-time "
                                  "pattern that reads a whole date and time (day, month, "
                                  "four-digit year, hour and minute, as in \"dd/MM/yyyy "
                                  "HH:mm:ss\")")
                       .arg(Warnings::quoted(value));
    }
}

void readMissing(const QString &value, FileLayout *layout, QStringList *errors)
{
    for (const QString &entry : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const double number = entry.trimmed().toDouble(&ok);
        if (ok && std::isfinite(number)) {
            layout->missing << number;
        } else {
            *errors << QStringLiteral("--missing entry %1 is not a number")
                           .arg(Warnings::quoted(entry));
        }
    }
    if (layout->missing.isEmpty() && errors->isEmpty())
        *errors
            << QStringLiteral("--missing value %1 names no number").arg(Warnings::quoted(value));
}

void readClock(const LayoutOptions::Texts &state, FileLayout *layout, QStringList *errors)
{
    if (state.timeZone.given && state.solarTime.given) {
        *errors << QStringLiteral("--timeZone and --solarTime cannot be given together: the "
                                  "hours follow one clock");
        return;
    }
    if (state.timeZone.given) {
        const QByteArray zone = state.timeZone.text.toUtf8();
        if (StampClock::isValidZone(zone)) {
            layout->clock = StampClock::zone(zone);
        } else {
            *errors << QStringLiteral("--timeZone value %1 is no time zone this system knows: "
                                      "give an IANA name such as Europe/Ljubljana")
                           .arg(Warnings::quoted(state.timeZone.text));
        }
    }
    if (state.solarTime.given) {
        bool ok = false;
        const double longitude = state.solarTime.text.toDouble(&ok);
        if (ok && std::abs(longitude) <= 180) {
            layout->clock = StampClock::solar(longitude);
        } else {
            *errors << QStringLiteral("--solarTime value %1 is not a longitude in degrees from "
                                      "-180 to 180 (east positive)")
                           .arg(Warnings::quoted(state.solarTime.text));
        }
    }
}

} // namespace

void LayoutOptions::read(
    const Texts &state, const QString &input, FileLayout *into, QStringList *errorList)
{
    FileLayout &layout = *into;
    QStringList &errors = *errorList;
    if (state.header.given) {
        if (isWord(state.header.text, "plain")) {
            layout.header = FileLayout::Header::Plain;
        } else {
            errors << QStringLiteral("--header value %1 is not plain, the one other header "
                                     "(the first line holds the column labels)")
                          .arg(Warnings::quoted(state.header.text));
        }
    }
    if (state.station.given)
        layout.station = state.station.text;
    else if (layout.header == FileLayout::Header::Plain)
        layout.station = QFileInfo(input).completeBaseName();
    if (state.separator.given) {
        layout.separator = separatorValue(state.separator.text);
        if (layout.separator == 0) {
            layout.separator = '\t';
            errors << QStringLiteral("--separator value %1 is none of tab, comma, semicolon or "
                                     "one character other than a letter, a digit, a space and "
                                     "\" . + - : '")
                          .arg(Warnings::quoted(state.separator.text));
        }
    }
    if (state.timeFormat.given)
        readTimeFormat(state.timeFormat.text, &layout, &errors);
    if (state.missing.given)
        readMissing(state.missing.text, &layout, &errors);
    readClock(state, &layout, &errors);
}
