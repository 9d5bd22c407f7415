#include "stampreader.h"

#include "asciidigits.h"

#include <QDate>
#include <QDateTime>

#include <cstring>

namespace {

using AsciiDigits::isDigit;
using AsciiDigits::isSpace;
using AsciiDigits::readDigits;

constexpr qint64 kMSecsPerDay = 24 * 60 * 60 * 1000;
// 1970-01-01 as a Julian day.
constexpr qint64 kEpochJulianDay = 2440588;
// Epoch stamps from the year 1 to the year 9999.
constexpr qint64 kEarliestEpoch = -62135596800;
constexpr qint64 kLatestEpoch = 253402300799;

// "yyyy-MM-dd" as days since 1970-01-01.
bool readIsoDate(const char *text, qint64 *day)
{
    int year = 0, month = 0, dayOfMonth = 0;
    if (text[4] != '-' || text[7] != '-' || !readDigits(text, 4, &year)
        || !readDigits(text + 5, 2, &month) || !readDigits(text + 8, 2, &dayOfMonth))
        return false;
    const QDate date(year, month, dayOfMonth);
    if (!date.isValid())
        return false;
    *day = date.toJulianDay() - kEpochJulianDay;
    return true;
}

// "hh:mm[:ss[.fff]][Z|+hh:mm|-hh:mm]": milliseconds since the start of the day, less the
// offset.
bool readIsoTime(const char *p, const char *end, qint64 *msecs)
{
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (end - p < 5 || p[2] != ':' || !readDigits(p, 2, &hour) || !readDigits(p + 3, 2, &minute)
        || hour > 23 || minute > 59)
        return false;
    p += 5;
    if (p != end && *p == ':') {
        if (end - p < 3 || !readDigits(p + 1, 2, &second) || second > 59)
            return false;
        p += 3;
        if (p != end && (*p == '.' || *p == ',')) {
            const char *fraction = ++p;
            for (int scale = 100; p != end && isDigit(*p); ++p, scale /= 10)
                millisecond += (*p - '0') * scale;
            if (p == fraction)
                return false;
        }
    }
    qint64 offset = 0;
    if (p != end && *p == 'Z') {
        ++p;
    } else if (p != end && (*p == '+' || *p == '-')) {
        int offsetHours = 0, offsetMinutes = 0;
        if (end - p != 6 || p[3] != ':' || !readDigits(p + 1, 2, &offsetHours)
            || !readDigits(p + 4, 2, &offsetMinutes) || offsetHours > 23 || offsetMinutes > 59)
            return false;
        offset = (offsetHours * 60 + offsetMinutes) * 60000;
        if (*p == '-')
            offset = -offset;
        p += 6;
    }
    if (p != end)
        return false;
    *msecs = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond - offset;
    return true;
}

// Whether pattern names a time zone ("t" outside quoted text).
bool patternHasZone(const QString &pattern)
{
    bool inQuote = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('\''))
            inQuote = !inQuote;
        else if (!inQuote && c == QLatin1Char('t'))
            return true;
    }
    return false;
}

} // namespace

StampReader::StampReader(FileLayout::TimeFormat format, const QString &pattern)
    : m_format(format)
    , m_pattern(pattern)
{ }

QByteArrayView StampReader::trimmed(QByteArrayView field)
{
    const auto withoutSpaces = [](QByteArrayView text) {
        while (!text.isEmpty() && isSpace(text.front()))
            text = text.sliced(1);
        while (!text.isEmpty() && isSpace(text.back()))
            text.chop(1);
        return text;
    };
    QByteArrayView text = withoutSpaces(field);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = withoutSpaces(text.sliced(1, text.size() - 2));
    return text;
}

bool StampReader::read(QByteArrayView field, qint64 *msecs)
{
    const QByteArrayView text = trimmed(field);
    switch (m_format) {
    case FileLayout::TimeFormat::Default: {
        MeasurementField::TimeStamp stamp;
        if (!m_default.read(text, &stamp))
            return false;
        *msecs = (stamp.date().toJulianDay() - kEpochJulianDay) * kMSecsPerDay
            + (stamp.hour * 60 + stamp.minute) * 60000;
        return true;
    }
    case FileLayout::TimeFormat::Iso:
        return readIso(text, msecs);
    case FileLayout::TimeFormat::Epoch:
        return parseEpoch(text, msecs);
    case FileLayout::TimeFormat::Pattern:
        return parsePattern(QString::fromUtf8(text), m_pattern, msecs);
    }
    return false;
}

bool StampReader::readIso(QByteArrayView text, qint64 *msecs)
{
    if (text.size() < 16 || (text.at(10) != 'T' && text.at(10) != ' '))
        return false;
    if (!m_isoDateRead || std::memcmp(text.data(), m_isoDate, sizeof m_isoDate) != 0) {
        if (!readIsoDate(text.data(), &m_isoDay))
            return false;
        std::memcpy(m_isoDate, text.data(), sizeof m_isoDate);
        m_isoDateRead = true;
    }
    qint64 time = 0;
    if (!readIsoTime(text.data() + 11, text.data() + text.size(), &time))
        return false;
    *msecs = m_isoDay * kMSecsPerDay + time;
    return true;
}

bool StampReader::parseIso(QByteArrayView text, qint64 *msecs)
{
    qint64 day = 0, time = 0;
    if (text.size() < 16 || (text.at(10) != 'T' && text.at(10) != ' ')
        || !readIsoDate(text.data(), &day)
        || !readIsoTime(text.data() + 11, text.data() + text.size(), &time))
        return false;
    *msecs = day * kMSecsPerDay + time;
    return true;
}

bool StampReader::parseEpoch(QByteArrayView text, qint64 *msecs)
{
    const char *p = text.data();
    const char *end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+'))
        ++p;
    const char *digits = p;
    qint64 seconds = 0;
    for (; p != end && isDigit(*p); ++p) {
        seconds = seconds * 10 + (*p - '0');
        if (seconds > kLatestEpoch - kEarliestEpoch)
            return false;
    }
    qint64 millisecond = 0;
    bool anyDigit = p != digits;
    if (p != end && *p == '.') {
        const char *fraction = ++p;
        for (int scale = 100; p != end && isDigit(*p); ++p, scale /= 10)
            millisecond += (*p - '0') * scale;
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit || p != end)
        return false;
    if (negative) {
        seconds = -seconds;
        millisecond = -millisecond;
    }
    if (seconds < kEarliestEpoch || seconds > kLatestEpoch)
        return false;
    *msecs = seconds * 1000 + millisecond;
    return true;
}

bool StampReader::parsePattern(const QString &text, const QString &pattern, qint64 *msecs)
{
    // Qt reads a pattern without a zone in the machine's local time, where a stamp inside a
    // spring gap does not exist: an explicit UTC keeps every wall-clock time.
    const QDateTime read = patternHasZone(pattern)
        ? QDateTime::fromString(text, pattern)
        : QDateTime::fromString(text + QStringLiteral(" UTC"), pattern + QStringLiteral(" t"));
    if (!read.isValid())
        return false;
    *msecs = read.toMSecsSinceEpoch();
    return true;
}
