#include "measurementfield.h"

#include "asciidigits.h"

#include <QString>

#include <charconv>
#include <cstring>

namespace {

using AsciiDigits::isDigit;
using AsciiDigits::isSpace;
using AsciiDigits::readDigits;

// Fields longer than this take Qt's own path: no measurement is written with so many
// characters, and the rare one then costs nothing but time.
constexpr qsizetype fastValueLength = 64;

bool isAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

bool isDateSeparator(char c)
{
    return c == '/' || c == '.';
}

// Qt's proleptic Gregorian calendar: no year 0, so year -1 is a leap year.
bool isValidDate(int year, int month, int day)
{
    static constexpr int monthLength[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (year == 0 || month < 1 || month > 12 || day < 1)
        return false;
    if (day <= monthLength[month - 1])
        return true;
    const int y = year < 0 ? year + 1 : year;
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    return month == 2 && leap && day == 29;
}

// Width of the date part "dd/MM/yyyy" of a time stamp field (with its sign, if the year has
// one), or 0 when the field cannot be a time stamp: it is 16 characters long, 17 with a
// negative year, and Qt takes no other width for any section.
qsizetype dateWidth(QByteArrayView field)
{
    if (field.size() == 16)
        return 10;
    return field.size() == 17 && field.at(6) == '-' ? 11 : 0;
}

bool readDate(const char *text, qsizetype width, MeasurementField::TimeStamp *stamp)
{
    const char *year = text + width - 4;
    if (!isDateSeparator(text[2]) || !isDateSeparator(text[5]) || !readDigits(text, 2, &stamp->day)
        || !readDigits(text + 3, 2, &stamp->month) || !readDigits(year, 4, &stamp->year))
        return false;
    if (width == 11)
        stamp->year = -stamp->year;
    return isValidDate(stamp->year, stamp->month, stamp->day);
}

// " hh:mm", the rest of the field after the date.
bool readTime(const char *text, int *hour, int *minute)
{
    return text[0] == ' ' && text[3] == ':' && readDigits(text + 1, 2, hour)
        && readDigits(text + 4, 2, minute) && *hour <= 23 && *minute <= 59;
}

// Qt's toDouble, for input the fast path does not take.
bool parseValueWithQt(QByteArrayView field, double *value)
{
    bool ok = false;
    const double result = QString::fromUtf8(field).toDouble(&ok);
    if (!ok || !qIsFinite(result))
        return false;
    *value = result;
    return true;
}

enum class Reading { Number, NotANumber, AskQt };

// Where the ASCII grammar stops at a character it does not take, Qt's parser also rejects
// the field, unless that character is not ASCII: Qt also takes Unicode spaces around the
// number and the minus sign U+2212, so such a field goes to Qt.
Reading stopAt(const char *p, const char *end)
{
    return p != end && !isAscii(*p) ? Reading::AskQt : Reading::NotANumber;
}

// Optional sign, digits with at most one point and at least one digit, optional exponent
// with at least one digit, white space around: what Qt accepts once NaN and infinities are
// set aside. Exact where the decimal mantissa and its power of ten are both exact doubles
// (one IEEE operation then rounds correctly); from_chars, which rounds correctly too, does
// the rest.
Reading readNumber(const char *p, const char *end, double *value, const char **point)
{
    while (p != end && isSpace(*p))
        ++p;
    const char *number = p;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '+' || *p == '-'))
        ++p;
    const char *unsignedNumber = p;
    // Up to 15 digits the mantissa is below 2^53, an exact double; longer ones (which may
    // wrap around here) go to from_chars.
    quint64 mantissa = 0;
    int exponent = 0;
    int digits = 0;
    for (; p != end && isDigit(*p); ++p, ++digits)
        mantissa = mantissa * 10 + quint64(*p - '0');
    if (p != end && *p == '.') {
        *point = p;
        const char *fraction = ++p;
        for (; p != end && isDigit(*p); ++p)
            mantissa = mantissa * 10 + quint64(*p - '0');
        exponent = -int(p - fraction);
        digits += int(p - fraction);
    }
    if (digits == 0)
        return stopAt(p, end);
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = p != end && *p == '-';
        if (p != end && (*p == '+' || *p == '-'))
            ++p;
        if (p == end || !isDigit(*p))
            return stopAt(p, end);
        int written = 0;
        for (; p != end && isDigit(*p); ++p)
            written = qMin(written * 10 + (*p - '0'), 100000);
        exponent += negativeExponent ? -written : written;
    }
    const char *numberEnd = p;
    while (p != end && isSpace(*p))
        ++p;
    if (p != end)
        return stopAt(p, end);

    static constexpr double powers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10,
        1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    if (digits <= 15 && exponent >= -22 && exponent <= 22) {
        double result = double(mantissa);
        result = exponent < 0 ? result / powers[-exponent] : result * powers[exponent];
        *value = negative ? -result : result;
        return Reading::Number;
    }
    // from_chars reports an overflow to an infinity and an underflow of a non-zero number
    // to zero as out of range; Qt rejects both as well.
    double result = 0;
    const std::from_chars_result read
        = std::from_chars(negative ? number : unsignedNumber, numberEnd, result);
    if (read.ec != std::errc() || read.ptr != numberEnd)
        return Reading::NotANumber;
    *value = result;
    return Reading::Number;
}

} // namespace

qint64 MeasurementField::TimeStamp::key() const
{
    return (((qint64(year) * 13 + month) * 32 + day) * 24 + hour) * 60 + minute;
}

bool MeasurementField::parseTimeStamp(QByteArrayView field, TimeStamp *stamp)
{
    const qsizetype width = dateWidth(field);
    TimeStamp result;
    if (width == 0 || !readDate(field.data(), width, &result)
        || !readTime(field.data() + width, &result.hour, &result.minute))
        return false;
    *stamp = result;
    return true;
}

bool MeasurementField::TimeStampReader::read(QByteArrayView field, TimeStamp *stamp)
{
    const qsizetype width = dateWidth(field);
    if (width == 0)
        return false;
    // Equal date characters make an equal date: only a new date needs reading. Compared in
    // fixed-size pieces, which the compiler does without a call.
    const char *text = field.data();
    const bool sameDate = width == m_dateWidth && std::memcmp(text, m_date, 8) == 0
        && text[8] == m_date[8] && text[9] == m_date[9] && (width == 10 || text[10] == m_date[10]);
    if (!sameDate) {
        TimeStamp date;
        if (!readDate(text, width, &date))
            return false;
        std::memcpy(m_date, text, size_t(width));
        m_dateWidth = width;
        m_stamp = date;
    }
    int hour = 0;
    int minute = 0;
    if (!readTime(text + width, &hour, &minute))
        return false;
    *stamp = m_stamp;
    stamp->hour = hour;
    stamp->minute = minute;
    return true;
}

bool MeasurementField::parseValue(QByteArrayView field, double *value)
{
    int decimals = 0;
    return readValue(field, value, &decimals);
}

int MeasurementField::decimals(QByteArrayView field)
{
    qsizetype point = -1;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field.data()[i];
        if (!isAscii(c)) {
            // Counted in UTF-16 code units, as a QString of the field would count them.
            const QString text = QString::fromUtf8(field);
            point = text.indexOf(QLatin1Char('.'));
            return point > 0 ? int(text.size() - point - 1) : 0;
        }
        if (c == '.' && point < 0)
            point = i;
    }
    return point > 0 ? int(field.size() - point - 1) : 0;
}

bool MeasurementField::readValue(QByteArrayView field, double *value, int *decimals)
{
    if (field.size() > maxFieldBytes) {
        *decimals = 0;
        return false;
    }
    if (field.size() <= fastValueLength) {
        const char *begin = field.data();
        const char *point = nullptr;
        const Reading reading = readNumber(begin, begin + field.size(), value, &point);
        if (reading == Reading::Number) {
            // The whole field was read as ASCII, and a number has at most one point.
            *decimals = point && point > begin ? int(begin + field.size() - point - 1) : 0;
            return true;
        }
        *decimals = MeasurementField::decimals(field);
        if (reading == Reading::NotANumber)
            return false;
    } else {
        *decimals = MeasurementField::decimals(field);
    }
    return parseValueWithQt(field, value);
}
