// The measurement file reader with the other layouts (separators and quoting, a plain header,
// ISO, epoch and pattern stamps, decimal commas, missing-value codes, zone and solar clocks),
// against a plain reading of the same bytes: the file split into lines, each line into fields
// one character at a time as RFC 4180 says, each stamp read on its own and turned into the
// clock without any cache, each value by Qt's parser. The first two bytes pick the buffer size
// and the layout, the rest is the file.
#include "fuzzinput.h"
#include "measurementfield.h"
#include "measurementfile.h"
#include "stampreader.h"
#include "utcandlocal.h"

#include <QList>
#include <QTimeZone>

#include <cmath>
#include <cstring>

namespace {

QString g_fileName;

constexpr qint64 kMSecsPerDay = 86400000;
constexpr double kLongitude = 14.5;
const char *const kZones[] = { "Europe/Ljubljana", "America/St_Johns" };

struct Measurement
{
    QTime time;
    double value;
    bool operator==(const Measurement &o) const
    {
        return time == o.time && std::memcmp(&value, &o.value, sizeof value) == 0;
    }
};

struct Choice
{
    FileLayout layout;
    QByteArray zone; // empty: no zone
};

Choice layoutOf(quint8 bits, quint8 more)
{
    static const char separators[] = { '\t', ',', ';', '|' };
    Choice choice;
    FileLayout &layout = choice.layout;
    layout.separator = separators[bits & 3];
    layout.decimalComma = bits & 4;
    layout.header = bits & 8 ? FileLayout::Header::Plain : FileLayout::Header::Rows;
    static const FileLayout::TimeFormat formats[]
        = { FileLayout::TimeFormat::Default, FileLayout::TimeFormat::Iso,
              FileLayout::TimeFormat::Epoch, FileLayout::TimeFormat::Pattern };
    layout.timeFormat = formats[(bits >> 4) & 3];
    layout.pattern = QStringLiteral("d/M/yyyy h:mm:ss");
    switch (bits >> 6) {
    case 1:
    case 2:
        choice.zone = kZones[(bits >> 6) - 1];
        layout.clock = StampClock::zone(choice.zone);
        break;
    case 3:
        layout.clock = StampClock::solar(kLongitude);
        break;
    default:
        break;
    }
    if (more & 1)
        layout.missing << -999.0;
    if (more & 2)
        layout.missing << 0.0;
    return choice;
}

QByteArrayList lines(const QByteArray &file)
{
    QByteArrayList result = file.split('\n');
    if (result.last().isEmpty())
        result.removeLast();
    for (QByteArray &line : result) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return result;
}

QByteArrayList splitPlainly(const QByteArray &line, char separator, bool quoting)
{
    QByteArrayList fields;
    QByteArray field;
    bool inQuotes = false;
    bool atStart = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (inQuotes) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == '"')
                field += line.at(++i);
            else
                inQuotes = false;
        } else if (c == separator) {
            fields << field;
            field.clear();
            atStart = true;
        } else if (quoting && atStart && c == '"') {
            inQuotes = true;
            atStart = false;
        } else {
            field += c;
            atStart = false;
        }
    }
    return fields << field;
}

// The stamp as read, or false. The program's own layout reads its stamps as they stand; the
// others drop spaces and quotes around them.
bool stampOf(QByteArray field, const Choice &choice, qint64 *read)
{
    if (!choice.layout.isDefault()) {
        field = field.trimmed();
        if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
            field = field.mid(1, field.size() - 2).trimmed();
    }
    switch (choice.layout.timeFormat) {
    case FileLayout::TimeFormat::Default: {
        MeasurementField::TimeStamp stamp;
        if (!MeasurementField::parseTimeStamp(field, &stamp))
            return false;
        *read = stamp.dateTime().toMSecsSinceEpoch();
        return true;
    }
    case FileLayout::TimeFormat::Iso:
        return StampReader::parseIso(field, read);
    case FileLayout::TimeFormat::Epoch:
        return StampReader::parseEpoch(field, read);
    case FileLayout::TimeFormat::Pattern:
        return StampReader::parsePattern(QString::fromUtf8(field), choice.layout.pattern, read);
    }
    return false;
}

// msecs in the clock of the layout, worked out anew for each stamp.
qint64 wallOf(qint64 msecs, const Choice &choice)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(msecs, UtcAndLocal::utc());
    if (!choice.zone.isEmpty())
        return msecs + qint64(utc.toTimeZone(QTimeZone(choice.zone)).offsetFromUtc()) * 1000;
    if (choice.layout.clock.kind() == StampClock::Kind::Solar) {
        const qint64 hour = msecs - (msecs % 3600000 + 3600000) % 3600000;
        const double minutes = kLongitude * 4.0 + StampClock::equationOfTime(hour + 1800000);
        return msecs + std::llround(minutes * 60000.0);
    }
    return msecs;
}

QTime timeOfDay(qint64 msecs)
{
    return QTime::fromMSecsSinceStartOfDay(
        int((msecs % kMSecsPerDay + kMSecsPerDay) % kMSecsPerDay));
}

struct DataLine
{
    bool stampRead = false;
    qint64 wall = 0;
    QByteArrayList fields;
};

void checkColumn(MeasurementFile &file, const Choice &choice, const QList<DataLine> &data, int k)
{
    QList<Measurement> wanted;
    int maxDecimals = 0;
    for (const DataLine &line : data) {
        if (!line.stampRead)
            continue;
        QString field = QString::fromUtf8(line.fields.value(k + 1));
        if (choice.layout.decimalComma) {
            for (QChar &c : field)
                c = c == QLatin1Char(',')   ? QLatin1Char('.')
                    : c == QLatin1Char('.') ? QLatin1Char(',')
                                            : c;
        }
        bool ok = false;
        const double value = field.toDouble(&ok);
        const bool good = ok && std::isfinite(value) && !choice.layout.missing.contains(value);
        const qsizetype point = field.indexOf(QLatin1Char('.'));
        if (good || !(ok && std::isfinite(value)))
            maxDecimals = qMax(maxDecimals, point > 0 ? int(field.size() - point - 1) : 0);
        if (good)
            wanted.append({ timeOfDay(line.wall), value });
    }
    QList<Measurement> handed;
    const MeasurementFile::ColumnCounts counts
        = file.readColumn(k, [&handed](const QTime &time, double value) {
              handed.append({ time, value });
          });
    FuzzInput::require(counts.allCount == data.size(), "every data line counted");
    FuzzInput::require(counts.goodCount == wanted.size(), "good lines counted");
    FuzzInput::require(handed == wanted, "good measurements handed out in file order");
    FuzzInput::require(counts.maxDecimals == maxDecimals, "most decimals");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_fileName = FuzzInput::scratchFile(QStringLiteral("layouts.txt"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const quint8 bufferChoice = input.byte();
    const quint8 layoutBits = input.byte();
    const Choice choice = layoutOf(layoutBits, input.byte());
    const QByteArray bytes = input.rest();
    FuzzInput::writeFile(g_fileName, bytes);

    MeasurementFile file(
        g_fileName, bufferChoice < 128 ? 1 + bufferChoice : LineReader::defaultBufferSize);
    file.setLayout(choice.layout);
    FuzzInput::require(file.open(), "input file opened");
    file.readHeader();

    QByteArrayList all = lines(bytes);
    if (!all.isEmpty() && all.first().startsWith("\xEF\xBB\xBF"))
        all.first().remove(0, 3);
    const char separator = choice.layout.separator;
    const bool quoting = choice.layout.quoting();
    const bool oneLine
        = choice.layout.header == FileLayout::Header::Plain || all.value(0).contains(" -> ");
    const qsizetype headerLines = oneLine ? 1 : MeasurementFile::headerRowCount;
    FuzzInput::require(
        file.headerRows().at(0).size() == splitPlainly(all.value(0), separator, quoting).size(),
        "first header line split");

    QList<DataLine> dataLines;
    bool found = false;
    qint64 earliest = 0, latest = 0;
    for (qsizetype i = headerLines; i < all.size(); ++i) {
        DataLine line;
        line.fields = splitPlainly(all.at(i), separator, quoting);
        qint64 read = 0;
        line.stampRead = stampOf(line.fields.first(), choice, &read);
        if (line.stampRead) {
            line.wall = wallOf(read, choice);
            // The range is taken over the stamps as read, then turned into the clock.
            earliest = !found || read < earliest ? read : earliest;
            latest = !found || read > latest ? read : latest;
            found = true;
        }
        dataLines.append(line);
    }
    const MeasurementFile::TimeRange range = file.readTimeRange();
    FuzzInput::require(range.earliestTime.isValid() == found, "a range when a stamp reads");
    if (found) {
        FuzzInput::require(
            range.earliestTime.toMSecsSinceEpoch() == wallOf(earliest, choice), "earliest");
        FuzzInput::require(
            range.latestTime.toMSecsSinceEpoch() == wallOf(latest, choice), "latest");
    }
    FuzzInput::require(file.findings().dataLines == dataLines.size(), "data lines");
    const int columns = qMin(file.parameterCount() + 1, 4);
    for (int k = 0; k < columns; ++k)
        checkColumn(file, choice, dataLines, k);
    return 0;
}
