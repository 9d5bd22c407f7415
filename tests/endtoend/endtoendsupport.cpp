#include "endtoendsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace EndToEnd {

QByteArray measurementFile(
    const QStringList &labels, const QStringList &units, const QStringList &dataLines)
{
    const auto row = [&labels](const QString &first, const QString &each) {
        QStringList fields { first };
        for (int i = 0; i < labels.size(); ++i)
            fields << each;
        return fields.join(QLatin1Char('\t'));
    };
    const QStringList header { row("Source", "Logger"), row("Instrument", "Sensor"),
        row("Aggregation", "10-minute mean"), row("Station", "Ljubljana"),
        row("Location", "46.07 N, 14.51 E"), (QStringList { "Time" } + labels).join('\t'),
        row("Status", "raw"), (QStringList { "dd.MM.yyyy hh:mm" } + units).join('\t') };
    return (header + dataLines).join(QLatin1Char('\n')).toUtf8() + '\n';
}

QStringList recordedCalls(const QString &logPath)
{
    QStringList calls;
    const QList<QByteArray> lines = readFile(logPath).split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split('\t');
        QStringList call { QString::fromUtf8(parts.first()) };
        for (qsizetype i = 1; i < parts.size(); ++i)
            call << QString::fromUtf8(QByteArray::fromPercentEncoding(parts.at(i)));
        calls << call.join(QLatin1Char('|'));
    }
    return calls;
}

QStringList callsNamed(const QStringList &calls, const QString &name)
{
    QStringList found;
    for (const QString &call : calls) {
        if (call == name || call.startsWith(name + QLatin1Char('|')))
            found << call;
    }
    return found;
}

} // namespace EndToEnd
