#include "countsfile.h"

#include "numeric.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

QString number(double value)
{
    if (std::isinf(value) || std::fabs(value) >= Numeric::openClassLimit)
        return QLatin1String(value < 0 ? "-inf" : "inf");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString percent(qint64 count, qint64 of)
{
    return of > 0 ? number(double(count) * 100.0 / double(of)) : QString();
}

QString line(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted << CountsFile::field(f);
    return quoted.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

} // namespace

QString CountsFile::field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QLatin1String("\"\""))
        + QLatin1Char('"');
}

QByteArray CountsFile::text(
    const RoseTallyInterface::Tally &tally, qint64 allCount, qint64 goodCount)
{
    QString out = line({ QStringLiteral("sector"), QStringLiteral("from"), QStringLiteral("to"),
        QStringLiteral("class"), QStringLiteral("low"), QStringLiteral("high"),
        QStringLiteral("count"), QStringLiteral("percent_of_all"),
        QStringLiteral("percent_of_sector") });
    const qsizetype classes = tally.classes.size();
    for (qsizetype s = 0; s < tally.sectors.size(); ++s) {
        qint64 sectorCount = 0;
        for (qsizetype c = 0; c < classes; ++c)
            sectorCount += tally.counts.value(s * classes + c);
        const RoseTallyInterface::Sector &sector = tally.sectors.at(s);
        for (qsizetype c = 0; c < classes; ++c) {
            const qint64 count = tally.counts.value(s * classes + c);
            out += line({ sector.label, sector.from, sector.to, QString::number(c + 1),
                number(tally.classes.at(c).low), number(tally.classes.at(c).high),
                QString::number(count), percent(count, allCount), percent(count, sectorCount) });
        }
    }
    // What no sector holds: a class name in place of the number, the limits where they say
    // something.
    const auto rest = [&out, allCount](
                          const char *what, const QString &low, const QString &high, qint64 count) {
        out += line({ QString(), QString(), QString(), QLatin1String(what), low, high,
            QString::number(count), percent(count, allCount), QString() });
    };
    rest("unknown", QString(), QString(), allCount - goodCount);
    rest("below", QStringLiteral("-inf"), number(tally.lowest), tally.below);
    rest("above", number(tally.highest), QStringLiteral("inf"), tally.above);
    rest("between", number(tally.lowest), number(tally.highest), tally.between);
    return out.toUtf8();
}
