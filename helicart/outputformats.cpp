#include "outputformats.h"

#include "options.h"

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
};

} // namespace

OutputFormats::Formats OutputFormats::parse(const QString &list, QStringList *unknown)
{
    Formats formats;
    for (const QString &entry : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = entry.trimmed();
        if (name.isEmpty())
            continue;
        bool known = false;
        for (const FormatName &format : kFormats) {
            if (Options::sameName(name, QLatin1StringView(format.name))) {
                formats |= format.format;
                known = true;
            }
        }
        if (!known)
            unknown->append(name);
    }
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
