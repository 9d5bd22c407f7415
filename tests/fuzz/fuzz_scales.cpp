// The scale plug-in's roundings and positions over arbitrary arguments: finite limits come
// back finite, a linear scale covers the range it was given, date-times stay valid, and no
// argument leads to undefined behaviour. The first byte picks the operation.
#include "fuzzinput.h"
#include "tickfit.h"
#include "utcandlocal.h"

#include <QDateTime>
#include <QList>
#include <QTimeZone>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <limits>

namespace {

Tickfit &scale()
{
    static Tickfit tickfit;
    return tickfit;
}

bool fitsFloat(double v)
{
    return std::isfinite(v) && std::fabs(v) <= double(std::numeric_limits<float>::max());
}

// Zones whose clocks jump: by an hour in spring and autumn, at midnight, by half an hour.
const QList<QTimeZone> &jumpingZones()
{
    static const QList<QTimeZone> zones { QTimeZone("Europe/Ljubljana"),
        QTimeZone("America/Santiago"), QTimeZone("Australia/Lord_Howe") };
    return zones;
}

// A date-time within six hours of a jump of a zone's clock between 1990 and 2100, in that
// zone or in local time: where rounding meets wall-clock times that are skipped or repeated.
QDateTime nearJump(FuzzInput &input)
{
    const int year = 1990 + input.byte() % 111;
    const int choice = input.byte() % (jumpingZones().size() + 1);
    const QTimeZone zone
        = choice == 0 ? QTimeZone::systemTimeZone() : jumpingZones().at(choice - 1);
    const QTimeZone::OffsetDataList jumps
        = zone.transitions(QDateTime(QDate(year, 1, 1), QTime(0, 0), UtcAndLocal::utc()),
            QDateTime(QDate(year, 12, 31), QTime(23, 59), UtcAndLocal::utc()));
    const qint64 base = jumps.isEmpty()
        ? QDateTime(QDate(year, 6, 1), QTime(0, 0), UtcAndLocal::utc()).toMSecsSinceEpoch()
        : jumps.at(input.byte() % jumps.size()).atUtc.toMSecsSinceEpoch();
    const qint64 msecs = base + input.intInRange(-6 * 3600, 6 * 3600) * qint64(1000);
    return choice == 0 ? QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::localTime())
                       : QDateTime::fromMSecsSinceEpoch(msecs, zone);
}

// A date-time within the years -9999 to 9999, in UTC, local time (a zone with daylight
// saving) or at a fixed offset, or one near a jump of a zone's clock.
QDateTime dateTime(FuzzInput &input)
{
    constexpr qint64 range = 10000LL * 366 * 86400 * 1000;
    const qint64 msecs = input.int64() % range;
    switch (input.byte() % 4) {
    case 0:
        return QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc());
    case 1:
        return QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::localTime());
    case 2:
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
        return QDateTime::fromMSecsSinceEpoch(
            msecs, QTimeZone::fromSecondsAheadOfUtc(input.intInRange(-14 * 3600, 14 * 3600)));
#else
        return QDateTime::fromMSecsSinceEpoch(
            msecs, Qt::OffsetFromUTC, input.intInRange(-14 * 3600, 14 * 3600));
#endif
    default:
        return nearJump(input);
    }
}

// An interval length in seconds: mostly one a chart would use, else any.
int intervalLength(FuzzInput &input)
{
    static constexpr int common[] = { 1, 2, 5, 10, 30, 60, 120, 300, 600, 1800, 3600, 7200, 10800,
        21600, 43200, 86400, 2 * 86400, 7 * 86400, 2419200, 3 * 2419200, 6 * 2419200, 31536000,
        10 * 31536000, 50 * 31536000 };
    switch (input.byte() % 3) {
    case 0:
        return common[input.byte() % std::size(common)];
    case 1:
        return input.intInRange(-1, 20 * 31536000);
    default:
        return input.intInRange(INT_MIN, INT_MAX);
    }
}

void linear(FuzzInput &input)
{
    const double first = input.rawDouble();
    const double second = input.rawDouble();
    double minimum = first, maximum = second;
    int gridCount = -99, gridLength = -99;
    scale().roundLinearScale(minimum, maximum, gridCount, gridLength);
    if (!fitsFloat(first) || !fitsFloat(second)) {
        FuzzInput::require(gridCount == 1, "one grid interval for limits it cannot round");
        return;
    }
    FuzzInput::require(std::isfinite(minimum) && std::isfinite(maximum), "finite limits");
    FuzzInput::require(gridCount >= 1, "at least one grid interval");
    // Limits move inward by a ten-thousandth before rounding; beyond that the scale covers
    // the range.
    const double low = std::min(first, second), high = std::max(first, second);
    const double slack = 2e-4 * std::max(std::fabs(low), std::fabs(high)) + 1e-36;
    if (first == second)
        FuzzInput::require(minimum <= float(first) && float(first) <= maximum, "covers a value");
    if (first < second)
        FuzzInput::require(minimum <= low + slack && maximum >= high - slack, "covers the range");
}

void floatScale(FuzzInput &input)
{
    float maximum = input.rawFloat();
    float minimum = input.rawFloat();
    const bool finite = std::isfinite(maximum) && std::isfinite(minimum);
    const int gridCount = scale().roundFloatScale(maximum, minimum);
    FuzzInput::require(gridCount >= 1, "at least one grid interval");
    if (finite)
        FuzzInput::require(std::isfinite(maximum) && std::isfinite(minimum), "finite limits");
}

void logarithmic(FuzzInput &input)
{
    double minimum = input.rawDouble();
    double maximum = input.rawDouble();
    const bool finite = std::isfinite(minimum) && std::isfinite(maximum);
    int gridCount = -99, gridLength = -99;
    scale().roundLogaritmicScale(minimum, maximum, gridCount, gridLength);
    if (finite)
        FuzzInput::require(std::isfinite(minimum) && std::isfinite(maximum), "finite limits");
}

void timeScale(FuzzInput &input)
{
    QDateTime begin = dateTime(input);
    QDateTime end = dateTime(input);
    int gridCount = -99, gridLength = -99;
    QString fmt;
    scale().roundTimeScale(begin, end, gridCount, gridLength, fmt);
    FuzzInput::require(begin.isValid() && end.isValid(), "valid limits");
    FuzzInput::require(!fmt.isEmpty(), "a label format");
}

void dateTimeRounding(FuzzInput &input)
{
    QDateTime dt = dateTime(input);
    const int interval = intervalLength(input);
    scale().roundDateTime(dt, interval, input.boolean());
    FuzzInput::require(dt.isValid(), "a valid date-time");
}

void positions(FuzzInput &input)
{
    int position = 0;
    const int length = input.intInRange(INT_MIN, INT_MAX);
    const bool ignoreLimits = input.boolean();
    const double value = input.rawDouble();
    const double minimum = input.rawDouble();
    const double maximum = input.rawDouble();
    scale().positionOnLinearScale(position, length, value, minimum, maximum, ignoreLimits);
    scale().positionOnLogaritmicScale(position, length, value, minimum, maximum, ignoreLimits);
    const QDateTime dt = dateTime(input);
    const QDateTime begin = dateTime(input);
    const QDateTime end = dateTime(input);
    scale().positionOnTimeScale(position, length, dt, begin, end, ignoreLimits);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Local time with daylight saving, so that rounding meets its gaps and overlaps.
    setenv("TZ", "Europe/Ljubljana", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    switch (input.byte() % 6) {
    case 0:
        linear(input);
        break;
    case 1:
        floatScale(input);
        break;
    case 2:
        logarithmic(input);
        break;
    case 3:
        timeScale(input);
        break;
    case 4:
        dateTimeRounding(input);
        break;
    default:
        positions(input);
        break;
    }
    return 0;
}
