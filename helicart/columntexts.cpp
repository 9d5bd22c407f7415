#include "columntexts.h"

#include <QDateTime>
#include <QStringList>

#include <cmath>

namespace {

// Labels up to this length keep their spaces in the legend title.
constexpr int kLegendTitleWidth = 20;

// The unknown share in whole percent, as both statistics texts show it. Without a data line
// the good share is no number; nothing is good then, and all of nothing is unknown.
QString unknownShare(double goodShare)
{
    return QString::number(std::isnan(goodShare) ? 100.0 : 100.0 - goodShare, 'f', 0);
}

} // namespace

QString ColumnTexts::speedDirectionText(const QString &label, const QString &unit)
{
    return tr("Time\\") + QStringLiteral("%1[%2]").arg(label, unit);
}

QString ColumnTexts::legendTitle(const QString &label, const QString &unit)
{
    QString name = label;
    if (name.size() > kLegendTitleWidth)
        name.replace(QLatin1Char(' '), QLatin1Char('\n'));
    return QStringLiteral("%1\n[%2]")
        .arg(name, unit)
        .replace(QLatin1String("[ "), QLatin1String("["));
}

QString ColumnTexts::intervalText(
    const QDateTime &earliest, const QDateTime &latest, const QString &clock, const QString &note)
{
    const QString format = QStringLiteral("dd.MM.yy hh:mm:ss");
    QString text = tr("Data from") + QLatin1Char(' ') + earliest.toString(format) + QLatin1Char(' ')
        + tr("till") + QLatin1Char(' ') + latest.toString(format);
    if (!clock.isEmpty())
        text += QStringLiteral(" (%1 %2)").arg(tr("hours:"), clock);
    return note.isEmpty() ? text : text + QStringLiteral(" (%1)").arg(note);
}

QString ColumnTexts::periodNote(const QString &from, const QString &till, const QString &months,
    const QString &group, const QString &separator)
{
    QStringList parts;
    if (!group.isEmpty())
        parts << group;
    if (!from.isEmpty())
        parts << tr("from") + QLatin1Char(' ') + from;
    if (!till.isEmpty())
        parts << tr("till") + QLatin1Char(' ') + till;
    if (!months.isEmpty())
        parts << tr("months:") + QLatin1Char(' ') + months;
    return parts.join(separator);
}

QString ColumnTexts::statisticsText(int allCount, int goodCount, double goodShare)
{
    return tr("No. all:") + QStringLiteral(" %1   ").arg(allCount) + tr("No. good:")
        + QStringLiteral(" %1   ").arg(goodCount) + tr("No. unknown:")
        + QStringLiteral(" %1 (%2%)")
              .arg(QString::number(allCount - goodCount), unknownShare(goodShare));
}

QString ColumnTexts::legendText(const QString &station, const QDateTime &earliest,
    const QDateTime &latest, int allCount, int goodCount, double goodShare, const QString &note)
{
    const QString format = QStringLiteral("dd.MM.yy hh:mm");
    const QLatin1Char newLine('\n');
    return station + newLine + earliest.toString(format) + newLine + latest.toString(format)
        + (note.isEmpty() ? QString() : newLine + note) + newLine + tr("all:")
        + QStringLiteral(" %1").arg(allCount) + newLine + tr("good:")
        + QStringLiteral(" %1").arg(goodCount) + newLine + tr("unknown:")
        + QStringLiteral(" %1%").arg(unknownShare(goodShare));
}

bool ColumnTexts::belowRequired(double goodShare, double requiredGoodPercent)
{
    // A column without data lines (its good share is no number) has nothing good in it: its
    // legend text is shown as a warning.
    return std::isnan(goodShare) || goodShare < requiredGoodPercent;
}

int ColumnTexts::legendPrecision(int maxDecimals)
{
    return qBound(0, maxDecimals, kMaxLegendPrecision);
}
