#include "layouthints.h"

#include "measurementfield.h"
#include "stampreader.h"

#include <QRegularExpression>

namespace {

// The stamps a logger or a spreadsheet writes, the date's numbers as a, b and the year.
const QRegularExpression &numericDate()
{
    static const QRegularExpression date(
        QStringLiteral("^(\\d{1,2})([./-])(\\d{1,2})\\2(\\d{4})[ T](\\d{1,2}):(\\d{2})(:\\d{2})?( "
                       "?[AaPp][Mm])?$"));
    return date;
}

bool readsAs(const QString &field, FileLayout::TimeFormat format, const QString &pattern = {})
{
    StampReader reader(format, pattern);
    qint64 msecs = 0;
    return reader.read(field.toUtf8(), &msecs);
}

// The pattern for a numeric date: day or month first, one or two digits, seconds and AM/PM
// as the stamp has them.
QString numericPattern(const QRegularExpressionMatch &match, bool dayFirst)
{
    const QString separator = match.captured(2);
    const bool twoDigits = match.captured(1).size() == 2 && match.captured(3).size() == 2
        && match.captured(5).size() == 2;
    const bool twelveHour = !match.captured(8).isEmpty();
    const QString day = twoDigits ? QStringLiteral("dd") : QStringLiteral("d");
    const QString month = twoDigits ? QStringLiteral("MM") : QStringLiteral("M");
    QString hour = twelveHour ? QStringLiteral("h") : QStringLiteral("H");
    if (twoDigits)
        hour += hour;
    QString pattern = (dayFirst ? day : month) + separator + (dayFirst ? month : day) + separator
        + QStringLiteral("yyyy") + match.captured(0).at(match.capturedEnd(4)) + hour
        + QStringLiteral(":mm");
    if (!match.captured(7).isEmpty())
        pattern += QStringLiteral(":ss");
    if (twelveHour)
        pattern += match.captured(8).startsWith(QLatin1Char(' ')) ? QStringLiteral(" AP")
                                                                  : QStringLiteral("AP");
    return pattern;
}

QString tryPattern(const QString &pattern)
{
    return QStringLiteral("try --timeFormat=\"%1\"").arg(pattern);
}

QString withoutQuotes(const QString &field)
{
    return QString::fromUtf8(StampReader::trimmed(field.toUtf8()));
}

// The stamp, when a field holds more than the stamp: cut at a semicolon or comma that the
// separator missed.
QString stampPart(const QString &field)
{
    const QString text = withoutQuotes(field);
    const qsizetype cut = text.indexOf(QRegularExpression(QStringLiteral("[;,]")));
    return cut > 0 ? withoutQuotes(text.left(cut)) : text;
}

bool looksLikeStamp(const QString &field)
{
    const QString text = stampPart(field);
    return readsAs(text, FileLayout::TimeFormat::Default)
        || readsAs(text, FileLayout::TimeFormat::Iso) || numericDate().match(text).hasMatch();
}

} // namespace

namespace LayoutHints {

QString stamp(const QString &field, const FileLayout &layout)
{
    const QString text = stampPart(field);
    const QString quoted = QLatin1Char('"') + text + QLatin1Char('"');
    using Format = FileLayout::TimeFormat;
    if (layout.timeFormat != Format::Iso && readsAs(text, Format::Iso))
        return QStringLiteral("%1 looks like ISO 8601: try --timeFormat=iso").arg(quoted);
    if (layout.timeFormat != Format::Epoch
        && QRegularExpression(QStringLiteral("^\\d{9,10}(\\.\\d+)?$")).match(text).hasMatch())
        return QStringLiteral("%1 looks like seconds since 1970: try --timeFormat=epoch")
            .arg(quoted);
    if (layout.timeFormat == Format::Default && readsAs(text, Format::Default))
        return QStringLiteral("%1 has spaces or quotes around it: try --timeFormat=\"dd.MM.yyyy "
                              "hh:mm\", which allows them")
            .arg(quoted);
    const QRegularExpressionMatch match = numericDate().match(text);
    if (!match.hasMatch())
        return QString();
    const int a = match.captured(1).toInt();
    const int b = match.captured(3).toInt();
    // Dotted dates are written day first everywhere.
    const bool dotted = match.captured(2) == QLatin1String(".");
    if ((a > 12 || dotted) && b <= 12) {
        const QString pattern = numericPattern(match, true);
        if (readsAs(text, Format::Pattern, pattern))
            return QStringLiteral("%1 has its day first: %2").arg(quoted, tryPattern(pattern));
    } else if (b > 12 && a <= 12) {
        const QString pattern = numericPattern(match, false);
        if (readsAs(text, Format::Pattern, pattern))
            return QStringLiteral("%1 has its month first: %2").arg(quoted, tryPattern(pattern));
    } else if (a <= 12 && b <= 12) {
        return QStringLiteral("%1 does not tell whether its day or its month comes first: try "
                              "--timeFormat=\"%2\" (day first) or --timeFormat=\"%3\" (month "
                              "first)")
            .arg(quoted, numericPattern(match, true), numericPattern(match, false));
    }
    return QString();
}

QString monthFirst(const QString &field, const FileLayout &layout)
{
    if (layout.timeFormat != FileLayout::TimeFormat::Default)
        return QString();
    const QRegularExpressionMatch match = numericDate().match(stampPart(field));
    if (!match.hasMatch() || match.captured(2) != QLatin1String("/")
        || match.captured(1).toInt() > 12 || match.captured(3).toInt() <= 12)
        return QString();
    return QStringLiteral("\"%1\" has its month first, so the stamps read may have day and month "
                          "swapped: %2")
        .arg(stampPart(field), tryPattern(numericPattern(match, false)));
}

QString separator(const QByteArrayList &firstLines, const FileLayout &layout)
{
    if (layout.separator != '\t' || firstLines.isEmpty())
        return QString();
    int lines = 0;
    int semicolons = 0;
    int commas = 0;
    for (const QByteArray &line : firstLines) {
        if (line.contains('\t'))
            return QString();
        lines += line.isEmpty() ? 0 : 1;
        semicolons += line.contains(';') ? 1 : 0;
        commas += line.contains(',') ? 1 : 0;
    }
    if (semicolons * 2 > lines)
        return QStringLiteral("its first lines hold no tab but semicolons: try "
                              "--separator=semicolon");
    if (commas * 2 > lines)
        return QStringLiteral("its first lines hold no tab but commas: try --separator=comma");
    return QString();
}

QString header(const QByteArrayList &firstLines, const FileLayout &layout)
{
    if (layout.header != FileLayout::Header::Rows || firstLines.isEmpty()
        || firstLines.first().contains(" -> "))
        return QString();
    for (int row = 2; row <= 8 && row <= firstLines.size(); ++row) {
        QString line = QString::fromUtf8(firstLines.at(row - 1));
        const qsizetype cut = line.indexOf(QLatin1Char(layout.separator));
        if (cut >= 0)
            line.truncate(cut);
        if (looksLikeStamp(line)) {
            return QStringLiteral("header row %1 looks like a data line: is the header one line "
                                  "of labels? try --header=plain")
                .arg(row);
        }
    }
    return QString();
}

bool readsWithDecimalComma(QByteArrayView field)
{
    if (!field.contains(',') || field.contains('.'))
        return false;
    QByteArray swapped = field.toByteArray();
    swapped.replace(',', '.');
    double value = 0;
    return MeasurementField::parseValue(swapped, &value);
}

} // namespace LayoutHints
