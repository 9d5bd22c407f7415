#ifndef SOURCEDATE_H
#define SOURCEDATE_H

#include <QByteArray>
#include <QDateTime>

#include <optional>

// The time a picture is stamped with. Normally the moment of painting; when the environment
// variable SOURCE_DATE_EPOCH holds a time (whole seconds since 1970-01-01 00:00 UTC, the
// convention of reproducible builds), that time in UTC, so that two runs on the same data
// write byte-identical files.
class SourceDate
{
public:
    // The largest accepted value: the last second of the year 9999, the last one a date text
    // of four year digits can show.
    static constexpr qint64 kLatest = 253402300799;

    // The time that value stands for: decimal digits only, from 0 to kLatest. Nothing for
    // anything else (a sign, blanks, a fraction, a number out of range, no digits at all).
    static std::optional<QDateTime> parse(const QByteArray &value);

    // Whether the variable is set to something other than an empty text.
    static bool isSet();

    // The variable's value as it is set.
    static QByteArray value();

    // Whether the variable is set but holds no time that parse accepts.
    static bool isInvalid();

    // The time to stamp: the variable's time in UTC when it holds one, the local time now
    // otherwise.
    static QDateTime stampTime();
};

#endif // SOURCEDATE_H
