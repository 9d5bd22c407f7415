#include "outputformats.h"

namespace {

struct FormatName
{
    OutputFormats::Format format;
    const char *name;
};

const FormatName kFormats[] = {
    { OutputFormats::Png, "png" },
    { OutputFormats::Svg, "svg" },
    { OutputFormats::Pdf, "pdf" },
    { OutputFormats::Tsv, "tsv" },
    { OutputFormats::Csv, "csv" },
    { OutputFormats::Html, "html" },
};

} // namespace

QList<OutputFormats::Format> OutputFormats::all()
{
    QList<Format> formats;
    for (const FormatName &format : kFormats)
        formats << format.format;
    return formats;
}

QString OutputFormats::names()
{
    QStringList all;
    for (const FormatName &format : kFormats)
        all << QLatin1String(format.name);
    return all.join(QStringLiteral(", "));
}

QString OutputFormats::suffix(Format format)
{
    for (const FormatName &entry : kFormats) {
        if (entry.format == format)
            return QLatin1String(entry.name);
    }
    return QString();
}

QByteArray OutputFormats::tableText(const QStringList &rows)
{
    QByteArray text;
    for (const QString &row : rows)
        text += row.toUtf8() + '\n';
    return text;
}
