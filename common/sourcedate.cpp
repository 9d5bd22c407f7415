#include "sourcedate.h"

#include "utcandlocal.h"

#include <algorithm>

namespace {

const char kVariable[] = "SOURCE_DATE_EPOCH";

// More digits than kLatest has can only be out of range (or zeros in front, which no tool
// that writes the variable adds); the check keeps toLongLong away from overflow.
constexpr int kMaxDigits = 12;

bool onlyDigits(const QByteArray &value)
{
    return !value.isEmpty()
        && std::all_of(value.cbegin(), value.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<QDateTime> SourceDate::parse(const QByteArray &value)
{
    if (!onlyDigits(value) || value.size() > kMaxDigits)
        return std::nullopt;
    const qint64 seconds = value.toLongLong();
    if (seconds > kLatest)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(seconds, UtcAndLocal::utc());
}

bool SourceDate::isSet()
{
    return !qEnvironmentVariableIsEmpty(kVariable);
}

QByteArray SourceDate::value()
{
    return qgetenv(kVariable);
}

bool SourceDate::isInvalid()
{
    return isSet() && !parse(value());
}

QDateTime SourceDate::stampTime()
{
    if (isSet()) {
        if (const std::optional<QDateTime> fixed = parse(value()))
            return *fixed;
    }
    return QDateTime::currentDateTime();
}
