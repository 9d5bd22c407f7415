#include "warnings.h"

#include "layouthints.h"
#include "textscale.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QStringList>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

const QString kBuiltInForAll = QStringLiteral("the built-in classes are used for every column");

// A class limit as the classes file would write it: all the digits it needs, no more.
QString limitText(double limit)
{
    return QString::number(limit, 'g', QLocale::FloatingPointShortest);
}

QString classText(double low, double high)
{
    return QStringLiteral("(%1, %2]").arg(limitText(low), limitText(high));
}

QString lineCount(qint64 count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(
        QString::number(count), QLatin1String(count == 1 ? one : many));
}

// What the stamps were read as, for a file where none could be.
QString formsRead(const FileLayout &layout)
{
    switch (layout.timeFormat) {
    case FileLayout::TimeFormat::Default:
        break;
    case FileLayout::TimeFormat::Iso:
        return QStringLiteral("the form read is ISO 8601 (--timeFormat=iso)");
    case FileLayout::TimeFormat::Epoch:
        return QStringLiteral("the form read is seconds since 1970 (--timeFormat=epoch)");
    case FileLayout::TimeFormat::Pattern:
        return QStringLiteral("the form read is %1 (--timeFormat)")
            .arg(Warnings::quoted(layout.pattern));
    }
    return QStringLiteral("the accepted forms are \"dd.MM.yyyy hh:mm\" and \"dd/MM/yyyy hh:mm\"");
}

// text, and the hint after it when there is one.
QString withHint(const QString &text, const QString &hint)
{
    return hint.isEmpty() ? text : text + QStringLiteral("; ") + hint;
}

QString aboutStamps(
    const QString &file, const MeasurementFile::Findings &findings, const FileLayout &layout)
{
    const QString stamp = findings.firstUnreadableStamp.isEmpty()
        ? QStringLiteral("an empty time field")
        : Warnings::quoted(findings.firstUnreadableStamp);
    const QString line = QString::number(findings.firstUnreadableLine);
    if (findings.readableStamps == 0) {
        return withHint(QStringLiteral("input file %1: no data line has a time stamp that can be "
                                       "read (line %2: %3); %4")
                            .arg(file, line, stamp, formsRead(layout)),
            LayoutHints::stamp(findings.firstUnreadableStamp, layout));
    }
    return withHint(
        QStringLiteral("input file %1: %2 cannot be read (the first on line %3: %4); "
                       "those lines count as unknown")
            .arg(file, lineCount(findings.unreadableStamps, "time stamp", "time stamps"), line,
                stamp),
        LayoutHints::monthFirst(findings.firstUnreadableStamp, layout));
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

Warnings::Warnings(QIODevice *device, int *tally)
    : m_device(device)
    , m_tally(tally)
{ }

void Warnings::warn(const QString &text)
{
    if (text.isEmpty() || m_written.contains(text))
        return;
    m_written.insert(text);
    m_texts << text;
    if (m_tally)
        ++*m_tally;
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

QStringList Warnings::aboutInput(const QString &fileName, const MeasurementFile &file)
{
    const MeasurementFile::Findings &findings = file.findings();
    const FileLayout &layout = file.layout();
    const QString name = quoted(fileName, kMaxName);
    QStringList texts;
    if (findings.firstNonUtf8Line > 0) {
        texts << QStringLiteral("input file %1 is not valid UTF-8, first on line %2 (such "
                                "characters show as \uFFFD)")
                     .arg(name, QString::number(findings.firstNonUtf8Line));
    }
    if (file.parameterCount() == 0) {
        const QString where = layout.header == FileLayout::Header::Plain
            ? QStringLiteral("its first line holds")
            : QStringLiteral("header row 6 holds");
        texts << withHint(QStringLiteral("input file %1 has no parameter column (%2 no label "
                                         "after the time column): no image is written")
                              .arg(name, where),
            LayoutHints::separator(findings.firstLines, layout));
    } else if (findings.dataLines == 0) {
        texts << QStringLiteral("input file %1 has no data line after its header: the roses are "
                                "empty")
                     .arg(name);
    } else if (findings.unreadableStamps > 0) {
        texts << aboutStamps(name, findings, layout);
    }
    const QString header = LayoutHints::header(findings.firstLines, layout);
    if (!header.isEmpty())
        texts << QStringLiteral("input file %1: %2").arg(name, header);
    return texts;
}

QString Warnings::aboutColumn(const QString &label, const MeasurementFile::ColumnCounts &counts)
{
    const bool noneGood = counts.goodCount == 0 && counts.allCount > 0;
    // A stray comma among thousands of good values is a typo, not the file's decimal mark.
    if (!noneGood && counts.commaValues > 0 && counts.commaValues * 10 >= counts.goodCount) {
        return QStringLiteral("column %1: %2 only with a decimal comma (such as %3): try "
                              "--decimalComma; they count as unknown")
            .arg(quoted(label), lineCount(counts.commaValues, "value reads", "values read"),
                quoted(counts.firstCommaValue));
    }
    if (!noneGood)
        return QString();
    const QString comma = counts.commaValues == 0
        ? QString()
        : QStringLiteral("values such as %1 read with a decimal comma: try --decimalComma")
              .arg(quoted(counts.firstCommaValue));
    return withHint(QStringLiteral("column %1 has no good measurement: all %2 count as unknown")
                        .arg(quoted(label), lineCount(counts.allCount, "data line", "data lines")),
        comma);
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
    if (report.failure != ClassesDefinition::Report::None)
        return texts;
    const QString where = QStringLiteral("classes file %1, %2").arg(file, set);
    if (report.classes.isEmpty()) {
        texts << QStringLiteral("%1 has no class (razred): the chart's default classes are used")
                     .arg(where);
    }
    for (const ClassesDefinition::Report::Limit &limit : report.limits) {
        const QString what = limit.text.isNull()
            ? QStringLiteral("has no %1").arg(limit.element)
            : QStringLiteral("%1 %2 is not a number").arg(limit.element, quoted(limit.text));
        texts << QStringLiteral("%1, class %2 %3: 0 is used")
                     .arg(where, QString::number(limit.classNumber), what);
    }
    for (const ClassesDefinition::Report::Class &c : report.classes) {
        if (!(c.high > c.low)) {
            texts << QStringLiteral("%1, class %2 %3: its end is not above its start, so it "
                                    "holds no value and can upset the order of the others")
                         .arg(where, QString::number(c.classNumber), classText(c.low, c.high));
        }
    }
    for (const ClassesDefinition::Report::Overlap &o : report.overlaps) {
        const QString goesTo = o.goesTo > 0 ? QStringLiteral("is counted in class %1").arg(o.goesTo)
                                            : QStringLiteral("is counted in one of them only");
        texts << QStringLiteral("%1: classes %2 and %3 overlap: a value in %4 %5")
                     .arg(where, QString::number(o.first), QString::number(o.second),
                         classText(o.low, o.high), goesTo);
    }
    for (const ClassesDefinition::Report::Fill &fill : report.fills) {
        if (fill.text.isEmpty()) {
            texts << QStringLiteral("%1, class %2 has no colour (barva): it is not filled")
                         .arg(where, QString::number(fill.classNumber));
            continue;
        }
        texts << QStringLiteral("%1, class %2: colour %3 cannot be used (%4)")
                     .arg(where, QString::number(fill.classNumber), quoted(fill.text),
                         escaped(fill.problem, kMaxName));
    }
    return texts;
}

QStringList Warnings::aboutOutput(const QString &prefix)
{
    QStringList texts;
    if (prefix.endsWith(QLatin1Char('/'))) {
        texts << QStringLiteral("--output %1 ends in \"/\": the files are named %2, %3 and so "
                                "on; give a prefix such as %4")
                     .arg(quoted(prefix, kMaxName), quoted(prefix + QStringLiteral(".png")),
                         quoted(prefix + QStringLiteral("S000.png")),
                         quoted(prefix + QStringLiteral("station")));
    }
    const QFileInfo info(prefix.endsWith(QLatin1Char('/')) ? prefix + QLatin1Char('x') : prefix);
    const QString folder = info.path();
    const QString named = quoted(folder, kMaxName);
    const QFileInfo place(folder);
    if (!place.exists()) {
        texts
            << QStringLiteral("output folder %1 does not exist: no file can be written").arg(named);
    } else if (!place.isDir()) {
        texts << QStringLiteral("output folder %1 is not a folder: no file can be written")
                     .arg(named);
    } else if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0) {
        texts << QStringLiteral("output folder %1 cannot be written (%2): no file can be written")
                     .arg(named, escaped(QString::fromLocal8Bit(std::strerror(errno)), kMaxName));
    }
    return texts;
}

QString Warnings::aboutOutsideClasses(
    const QString &label, qint64 allCount, const RoseTallyInterface::Tally &tally)
{
    const qint64 outside = tally.below + tally.above + tally.between;
    if (outside == 0)
        return QString();
    // "12 values below -50, 864 above 1500": the noun once, with the first count.
    QStringList sides;
    const auto side = [&sides](qint64 count, const QString &where) {
        const char *noun = count == 1 ? "value " : "values ";
        sides << QString::number(count) + QLatin1Char(' ')
                + (sides.isEmpty() ? QLatin1String(noun) : QLatin1String()) + where;
    };
    if (tally.below > 0)
        side(tally.below, QStringLiteral("below ") + limitText(tally.lowest));
    if (tally.above > 0)
        side(tally.above, QStringLiteral("above ") + limitText(tally.highest));
    if (tally.between > 0)
        side(tally.between, QStringLiteral("between classes"));
    const double share = allCount > 0 ? double(outside) * 100.0 / double(allCount) : 0.0;
    return QStringLiteral("column %1: %2 (%3 % of all lines) %4 in no class, so neither the "
                          "rose nor the table counts them: %5")
        .arg(quoted(label), lineCount(outside, "good value", "good values"),
            QString::number(share, 'f', 2), QLatin1String(outside == 1 ? "is" : "are"),
            sides.join(QLatin1String(", ")));
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
