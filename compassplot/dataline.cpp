#include "dataline.h"

namespace {

// Reads a field as a decimal integer; an empty or unreadable field counts as 0.
int fieldInt(const QString &field)
{
    return field.trimmed().toInt();
}

double fieldDouble(const QString &field)
{
    return field.trimmed().toDouble();
}

// The parts of a header text "a -> b -> ...", trimmed; they end at the first empty part.
QStringList headerParts(const QString &text)
{
    QStringList parts;
    if (!text.contains(QLatin1String("->")))
        return parts;
    const QStringList pieces = text.split(QLatin1String("->"), Qt::KeepEmptyParts);
    for (const QString &piece : pieces) {
        const QString part = piece.trimmed();
        if (part.isEmpty())
            break;
        parts << part;
    }
    return parts;
}

} // namespace

void DataLine::Counts::count(Kind kind)
{
    ++read;
    if (kind == Short)
        ++shortLines;
    else if (kind == Rejected)
        ++rejected;
}

bool DataLine::header(const QStringList &fields, Header *header)
{
    const QStringList parts = fields.isEmpty() ? QStringList() : headerParts(fields.first());
    if (parts.size() != 6)
        return false;
    header->station = parts.at(1);
    header->parameter = parts.at(2) + QLatin1String(" (") + parts.at(3) + QLatin1Char(')');
    header->unit = parts.at(5);
    return true;
}

DataLine::Record DataLine::record(const QStringList &fields)
{
    Record record;
    if (fields.size() < 2)
        return record;
    record.kind = Short;
    if (fields.size() < 7)
        return record;
    // The eighth field is a hexadecimal status: 0x100 and above marks a rejected record.
    record.kind = Rejected;
    if (fields.size() == 8 && fields.at(7).trimmed().toInt(nullptr, 16) >= 256)
        return record;
    record.kind = Measurement;
    record.value = fieldDouble(fields.at(6));
    record.direction = fieldDouble(fields.at(5));
    record.time
        = QDateTime(QDate(fieldInt(fields.at(0)), fieldInt(fields.at(1)), fieldInt(fields.at(2))),
            QTime(fieldInt(fields.at(3)), fieldInt(fields.at(4)), 0));
    return record;
}
