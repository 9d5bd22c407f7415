#include "warnings.h"

#include "textscale.h"

#include <QIODevice>
#include <QStringList>

namespace {

const QString kBuiltInForAll = QStringLiteral("the built-in classes are used for every column");

QString lineCount(qint64 count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(
        QString::number(count), QLatin1String(count == 1 ? one : many));
}

QString aboutStamps(const QString &file, const MeasurementFile::Findings &findings)
{
    const QString stamp = findings.firstUnreadableStamp.isEmpty()
        ? QStringLiteral("an empty time field")
        : Warnings::quoted(findings.firstUnreadableStamp);
    const QString line = QString::number(findings.firstUnreadableLine);
    if (findings.readableStamps == 0) {
        return QStringLiteral("input file %1: no data line has a time stamp that can be read "
                              "(line %2: %3); the accepted forms are \"dd.MM.yyyy hh:mm\" and "
                              "\"dd/MM/yyyy hh:mm\"")
            .arg(file, line, stamp);
    }
    return QStringLiteral("input file %1: %2 cannot be read (the first on line %3: %4); those "
                          "lines count as unknown")
        .arg(file, lineCount(findings.unreadableStamps, "time stamp", "time stamps"), line, stamp);
}

QString classesFailure(
    const QString &file, const QString &label, const ClassesDefinition::Report &report)
{
    using Report = ClassesDefinition::Report;
    switch (report.failure) {
    case Report::None:
        break;
    case Report::Missing:
        return QStringLiteral("classes file %1 does not exist: %2").arg(file, kBuiltInForAll);
    case Report::NotReadable:
        return QStringLiteral("classes file %1 cannot be read (%2): %3")
            .arg(file, Warnings::escaped(report.detail, Warnings::kMaxName), kBuiltInForAll);
    case Report::Malformed:
        return QStringLiteral("classes file %1 is not well-formed XML (%2): %3")
            .arg(file, Warnings::escaped(report.detail, Warnings::kMaxName), kBuiltInForAll);
    case Report::NoRoot:
        return QStringLiteral("classes file %1 has no root element skyvaneClasses: %2")
            .arg(file, kBuiltInForAll);
    case Report::NoSet:
        return QStringLiteral("classes file %1 has no set for %2 and no default set: the built-in "
                              "classes are used for column %2")
            .arg(file, Warnings::quoted(label));
    }
    return QString();
}

} // namespace

Warnings::Warnings(QIODevice *device)
    : m_device(device)
{ }

void Warnings::warn(const QString &text)
{
    if (text.isEmpty() || m_written.contains(text))
        return;
    m_written.insert(text);
    m_device->write(QStringLiteral("helicart: warning: %1\n").arg(text).toLocal8Bit());
}

void Warnings::warn(const QStringList &texts)
{
    for (const QString &text : texts)
        warn(text);
}

QString Warnings::escaped(const QString &text, qsizetype maxLength)
{
    const bool cut = text.size() > maxLength;
    qsizetype length = cut ? maxLength : text.size();
    if (cut && text.at(length - 1).isHighSurrogate())
        --length; // never half a character
    QString result;
    for (const QChar c : QStringView(text).first(length)) {
        const char16_t u = c.unicode();
        if (u == u'\t')
            result += QLatin1String("\\t");
        else if (u == u'\n')
            result += QLatin1String("\\n");
        else if (u == u'\r')
            result += QLatin1String("\\r");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            result += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            result += c;
    }
    if (cut)
        result += QLatin1String("...");
    return result;
}

QString Warnings::quoted(const QString &text, qsizetype maxLength)
{
    return QLatin1Char('"') + escaped(text, maxLength) + QLatin1Char('"');
}

QStringList Warnings::aboutInput(
    const QString &fileName, const MeasurementFile::Findings &findings, int parameterCount)
{
    const QString file = quoted(fileName, kMaxName);
    QStringList texts;
    if (findings.firstNonUtf8Line > 0) {
        texts << QStringLiteral("input file %1 is not valid UTF-8, first on line %2 (such "
                                "characters show as \uFFFD)")
                     .arg(file, QString::number(findings.firstNonUtf8Line));
    }
    if (parameterCount == 0) {
        texts << QStringLiteral("input file %1 has no parameter column (header row 6 holds no "
                                "label after the time column): no image is written")
                     .arg(file);
    } else if (findings.dataLines == 0) {
        texts << QStringLiteral("input file %1 has no data line after its header: the roses are "
                                "empty")
                     .arg(file);
    } else if (findings.unreadableStamps > 0) {
        texts << aboutStamps(file, findings);
    }
    return texts;
}

QString Warnings::aboutColumn(const QString &label, const MeasurementFile::ColumnCounts &counts)
{
    if (counts.goodCount > 0 || counts.allCount == 0)
        return QString();
    return QStringLiteral("column %1 has no good measurement: all %2 count as unknown")
        .arg(quoted(label), lineCount(counts.allCount, "data line", "data lines"));
}

QStringList Warnings::aboutClasses(
    const QString &fileName, const QString &label, const ClassesDefinition::Report &report)
{
    const QString file = quoted(fileName, kMaxName);
    QStringList texts;
    const QString failure = classesFailure(file, label, report);
    if (!failure.isEmpty())
        texts << failure;
    const QString set = report.defaultSet ? QStringLiteral("default set")
                                          : QStringLiteral("set %1").arg(quoted(label));
    for (const ClassesDefinition::Report::Fill &fill : report.fills) {
        texts << QStringLiteral("classes file %1, %2, class %3: colour %4 cannot be used (%5)")
                     .arg(file, set, QString::number(fill.classNumber), quoted(fill.text),
                         escaped(fill.problem, kMaxName));
    }
    return texts;
}

QString Warnings::aboutImageHeight(int imageHeight)
{
    const int lowest = TextScale::lowestFittingHeight();
    if (imageHeight <= 0 || imageHeight >= lowest)
        return QString();
    return QStringLiteral("--imageHeight %1 is too low for the texts to fit: below %2 pixels they "
                          "are smaller than can be read and the tables are squeezed")
        .arg(QString::number(imageHeight), QString::number(lowest));
}
