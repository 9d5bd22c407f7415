#include "grouping.h"

#include "asciiname.h"

bool Grouping::parse(const QString &text, Kind *kind)
{
    static const struct
    {
        const char *name;
        Kind kind;
    } kinds[] = { { "month", Kind::Month }, { "season", Kind::Season }, { "year", Kind::Year } };
    for (const auto &k : kinds) {
        if (AsciiName::same(text, QLatin1StringView(k.name))) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

QString Grouping::name(Kind kind, int index)
{
    static const char *const seasons[] = { "DJF", "MAM", "JJA", "SON" };
    switch (kind) {
    case Kind::Month:
        return QStringLiteral("%1").arg(index + 1, 2, 10, QLatin1Char('0'));
    case Kind::Season:
        return index >= 0 && index < 4 ? QLatin1String(seasons[index]) : QString();
    case Kind::Year:
        return QString::number(index);
    case Kind::None:
        break;
    }
    return QString();
}

int Grouping::fixedCount(Kind kind)
{
    switch (kind) {
    case Kind::Month:
        return 12;
    case Kind::Season:
        return 4;
    default:
        return 0;
    }
}
