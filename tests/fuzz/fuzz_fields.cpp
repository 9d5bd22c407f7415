// The time stamp and value parsers against Qt's own: whatever Qt accepts (time stamps read in
// UTC, where no daylight-saving gap hides a wall-clock time), the parsers accept with a
// bit-equal result, and nothing more, except NaN and infinities, which are no measurements,
// and time stamps with a non-ASCII space, which are none (Qt 6.8 takes them, Qt 6.4 not).
// The input holds up to two fields separated by a line feed: the date-caching reader reads
// the first, then the second, which must come out as the plain parser reads it.
// ISO 8601 and epoch stamps: what the parsers accept, Qt reads alike (ISO with a "." fraction
// of up to three digits as Qt::ISODate, epoch seconds as a double), and the date-caching
// reader reads as the plain parser.
#include "fuzzinput.h"
#include "measurementfield.h"
#include "stampreader.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// Whether the supported Qt versions read a time stamp alike: Qt 6.8 matches the format's space
// with any single non-ASCII space too, Qt 6.4 only with the ASCII one.
bool qtVersionsAgree(const QString &field)
{
    return std::none_of(
        field.cbegin(), field.cend(), [](QChar c) { return c.unicode() > 0x7f && c.isSpace(); });
}

void checkStamp(QByteArrayView field)
{
    const QString text = QString::fromUtf8(field);
    const QDateTime expected = qtVersionsAgree(text)
        ? QDateTime::fromString(QString(text).replace(QLatin1Char('.'), QLatin1Char('/')),
            QStringLiteral("dd/MM/yyyy hh:mm"))
        : QDateTime();
    MeasurementField::TimeStamp stamp;
    const bool valid = MeasurementField::parseTimeStamp(field, &stamp);
    FuzzInput::require(valid == expected.isValid(), "time stamp accepted as Qt does");
    if (valid) {
        FuzzInput::require(stamp.date() == expected.date() && stamp.time() == expected.time(),
            "time stamp read as Qt reads it");
    }
}

void checkCachedStamp(QByteArrayView previous, QByteArrayView field)
{
    MeasurementField::TimeStampReader reader;
    MeasurementField::TimeStamp stamp;
    reader.read(previous, &stamp);
    MeasurementField::TimeStamp expected;
    const bool valid = MeasurementField::parseTimeStamp(field, &expected);
    FuzzInput::require(reader.read(field, &stamp) == valid, "cached reader accepts as parser");
    if (valid)
        FuzzInput::require(stamp.key() == expected.key(), "cached reader reads as parser");
}

int expectedDecimals(const QString &text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point > 0 ? int(text.size() - point - 1) : 0;
}

void checkValue(QByteArrayView field)
{
    const QString text = QString::fromUtf8(field);
    bool ok = false;
    const double expected = text.toDouble(&ok);
    const bool expectedGood = ok && qIsFinite(expected);
    double value = 0;
    const bool good = MeasurementField::parseValue(field, &value);
    FuzzInput::require(good == expectedGood, "value accepted as Qt does");
    if (good)
        FuzzInput::require(std::memcmp(&value, &expected, sizeof value) == 0, "value bit-equal");

    double together = 0;
    int decimals = -1;
    const bool goodTogether = MeasurementField::readValue(field, &together, &decimals);
    FuzzInput::require(goodTogether == good, "readValue accepts as parseValue");
    if (good)
        FuzzInput::require(std::memcmp(&value, &together, sizeof value) == 0, "readValue value");
    const int wanted = expectedDecimals(text);
    FuzzInput::require(decimals == wanted, "readValue decimals");
    FuzzInput::require(MeasurementField::decimals(field) == wanted, "decimals");
}

// The digits after the point of an ISO stamp's seconds, or -1 for a "," fraction.
qsizetype isoFractionDigits(QByteArrayView text)
{
    if (text.indexOf(',') >= 0)
        return -1;
    const qsizetype point = text.indexOf('.');
    if (point < 0)
        return 0;
    qsizetype end = point + 1;
    while (end < text.size() && text.at(end) >= '0' && text.at(end) <= '9')
        ++end;
    return end - point - 1;
}

void checkIso(QByteArrayView field)
{
    qint64 msecs = 0;
    if (!StampReader::parseIso(field, &msecs) || isoFractionDigits(field) > 3
        || isoFractionDigits(field) < 0)
        return;
    QString text = QString::fromUtf8(field);
    text[10] = QLatin1Char('T');
    const QDateTime expected = QDateTime::fromString(text, Qt::ISODate);
    FuzzInput::require(expected.isValid(), "ISO stamp accepted as Qt does");
    FuzzInput::require(expected.toMSecsSinceEpoch() == msecs, "ISO stamp read as Qt reads it");
}

void checkEpoch(QByteArrayView field)
{
    qint64 msecs = 0;
    if (!StampReader::parseEpoch(field, &msecs))
        return;
    bool ok = false;
    const double seconds = QString::fromUtf8(field).toDouble(&ok);
    FuzzInput::require(ok, "epoch stamp a number for Qt");
    // Milliseconds are cut, where a double of many digits rounds.
    FuzzInput::require(std::abs(seconds * 1000.0 - double(msecs)) < 1.001, "epoch stamp's value");
}

void checkCachedIso(QByteArrayView previous, QByteArrayView field)
{
    StampReader reader(FileLayout::TimeFormat::Iso, QString());
    qint64 msecs = 0;
    reader.read(previous, &msecs);
    qint64 expected = 0;
    const bool valid = StampReader::parseIso(StampReader::trimmed(field), &expected);
    FuzzInput::require(reader.read(field, &msecs) == valid, "cached ISO reader accepts as parser");
    if (valid)
        FuzzInput::require(msecs == expected, "cached ISO reader reads as parser");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("TZ", "UTC", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineFeed = input.indexOf('\n');
    const QByteArrayView first
        = lineFeed < 0 ? QByteArrayView("05.07.2012 13:45") : input.first(lineFeed);
    const QByteArrayView second = lineFeed < 0 ? input : input.sliced(lineFeed + 1);
    for (const QByteArrayView field : { first, second }) {
        checkStamp(field);
        checkValue(field);
        checkIso(field);
        checkEpoch(field);
    }
    checkCachedStamp(first, second);
    checkCachedIso(first, second);
    return 0;
}
