#include "outputnames.h"

QString OutputNames::rose(const QString &prefix, int k, OutputFormats::Format format)
{
    return prefix + QStringLiteral("S%1.").arg(k, 3, 10, QLatin1Char('0'))
        + OutputFormats::suffix(format);
}

QString OutputNames::table(const QString &prefix, int k, OutputFormats::Format format)
{
    return prefix + QStringLiteral("T%1.").arg(k, 3, 10, QLatin1Char('0'))
        + OutputFormats::suffix(format);
}

QString OutputNames::counts(const QString &prefix, int k)
{
    return prefix + QStringLiteral("C%1.").arg(k, 3, 10, QLatin1Char('0'))
        + OutputFormats::suffix(OutputFormats::Csv);
}

QString OutputNames::combined(const QString &prefix, OutputFormats::Format format)
{
    return prefix + QLatin1Char('.') + OutputFormats::suffix(format);
}

QString OutputNames::sheet(const QString &prefix, OutputFormats::Format format)
{
    return prefix + QStringLiteral("_sheet.") + OutputFormats::suffix(format);
}
