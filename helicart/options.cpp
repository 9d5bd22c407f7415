#include "options.h"

#include "asciiname.h"
#include "exitstatus.h"
#include "layoutoptions.h"
#include "periodoptions.h"
#include "warnings.h"

#include <QFileInfo>
#include <QtGlobal>

#include <cmath>

#ifndef HELICART_VERSION
#define HELICART_VERSION "unknown"
#endif

namespace {

// What the parser remembers beyond the option values: the raw texts of the values it checks
// once all arguments are read (the last occurrence wins, so an earlier bad one is no matter).
struct ParseState
{
    struct Given
    {
        bool given = false;
        QString text;
    };
    Given scaleMax;
    Given scaleGrid;
    Given timeShift;
    Given imageHeight;
    Given formats;
    LayoutOptions::Texts layout;
    PeriodOptions::Texts period;
};

// One option of the program: the parser and the help text both read this table.
struct OptionEntry
{
    const char *name;
    const char *value; // name of the value in the help text; nullptr for a switch
    const char *meaning; // help text, wrapped to the width of a terminal
    void (*apply)(Options &options, ParseState &state, const QString &value);
};

// A decimal integer, or -1 (not given) for anything else.
int scaleValue(const QString &value)
{
    bool ok = false;
    const int number = value.toInt(&ok, 10);
    return ok ? number : -1;
}

const OptionEntry kOptions[] = {
    { "--input", "FILE", "the measurement file (tab-separated, UTF-8); required",
        [](Options &o, ParseState &, const QString &v) { o.input = v; } },
    { "--output", "PREFIX",
        "prefix of the output files, may hold a folder that exists; "
        "required. PREFIXS000.png is the rose and PREFIXT000.png "
        "the table of the first column, PREFIX.png all roses",
        [](Options &o, ParseState &, const QString &v) { o.output = v; } },
    { "--classes", "FILE",
        "the classes definition (default: helicartClasses.xml in "
        "the working folder; built-in classes, silently, when that "
        "default file does not exist)",
        [](Options &o, ParseState &, const QString &v) {
            o.classes = v;
            o.classesGiven = true;
        } },
    { "--scaleMax", "PERCENT",
        "a fixed scale from 0 to PERCENT (a whole number); only "
        "together with --scaleGrid",
        [](Options &o, ParseState &s, const QString &v) {
            o.scaleMax = scaleValue(v);
            s.scaleMax = { true, v };
        } },
    { "--scaleGrid", "COUNT",
        "the number of grid steps of the fixed scale; only together "
        "with --scaleMax",
        [](Options &o, ParseState &s, const QString &v) {
            o.scaleGrid = scaleValue(v);
            s.scaleGrid = { true, v };
        } },
    { "--lang", "NAME",
        "translate the texts with NAME.qm, from the working folder "
        "or else from translations/ beside the program (SLO is "
        "shipped)",
        [](Options &o, ParseState &, const QString &v) { o.language = v; } },
    { "--language", "NAME", "the same as --lang",
        [](Options &o, ParseState &, const QString &v) { o.language = v; } },
    { "--timeShift", "MINUTES",
        "minutes (a whole number from -1440 to 1440, default 0) "
        "added to each time stamp's time of day before it picks its "
        "hour sector, around midnight if need be; the dates and the "
        "time range in the texts stay as read",
        [](Options &, ParseState &s, const QString &v) {
            s.timeShift = { true, v };
        } },
    { "--imageHeight", "PIXELS",
        "the height of the roses (a whole number from 100 to 10000; "
        "default the chart's own, 520); each table has the size of "
        "its rose",
        [](Options &, ParseState &s, const QString &v) {
            s.imageHeight = { true, v };
        } },
    { "--format", "LIST",
        "the kinds of file written, a comma-separated list of png "
        "(the default), svg and pdf (the rose, the table and the "
        "combined image as drawings of their own), tsv (each "
        "table as tab-separated text, PREFIXT000.tsv), csv (the "
        "counts behind each rose and table, PREFIXC000.csv) and "
        "html (one page of the run with every rose, its numbers "
        "and its table, PREFIX.html)",
        [](Options &, ParseState &s, const QString &v) {
            s.formats = { true, v };
        } },
    { "--header", "plain",
        "plain: the first line holds the column labels, \"NAME [UNIT]\" "
        "giving a unit too, and the data start on line 2 (default: "
        "eight header rows, or one line of \" -> \" chains)",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.header = { true, v };
        } },
    { "--station", "TEXT",
        "the station text of every column (with --header=plain the "
        "default is the input file's name without folder and suffix)",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.station = { true, v };
        } },
    { "--separator", "SEP",
        "the field separator: tab (the default), comma, semicolon or "
        "one character; with any but the tab a field may be quoted "
        "(\"a;b\", with \"\" for a quote)",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.separator = { true, v };
        } },
    { "--decimalComma", nullptr, "values are written with a decimal comma (12,5)",
        [](Options &o, ParseState &, const QString &) { o.layout.decimalComma = true; } },
    { "--timeFormat", "FORMAT",
        "the time stamps: iso (2023-06-01T00:10, seconds and Z or "
        "+hh:mm optional; an offset is turned into UTC), epoch "
        "(seconds since 1970-01-01 UTC) or a Qt date-time pattern "
        "such as \"M/d/yyyy h:mm AP\" (default: dd.MM.yyyy hh:mm)",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.timeFormat = { true, v };
        } },
    { "--missing", "LIST",
        "values that count as unknown, as an empty field does: a "
        "comma-separated list of numbers such as -999,-9999",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.missing = { true, v };
        } },
    { "--timeZone", "ZONE",
        "the stamps are UTC (or carry their offset) and the hours "
        "follow the wall clock of the IANA zone ZONE, summer time "
        "included (Europe/Ljubljana); --timeShift adds to it",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.timeZone = { true, v };
        } },
    { "--solarTime", "LONGITUDE",
        "the stamps are UTC (or carry their offset) and the hours "
        "follow the apparent solar time at LONGITUDE degrees (east "
        "positive), where the sun culminates at 12; not with "
        "--timeZone; --timeShift adds to it",
        [](Options &, ParseState &s, const QString &v) {
            s.layout.solarTime = { true, v };
        } },
    { "--from", "DATE",
        "only the lines from DATE on (2023-06-01 or 2023-06-01T12:00, "
        "on the clock the hours follow)",
        [](Options &, ParseState &s, const QString &v) {
            s.period.from = { true, v };
        } },
    { "--till", "DATE", "only the lines before DATE (as --from)",
        [](Options &, ParseState &s, const QString &v) {
            s.period.till = { true, v };
        } },
    { "--months", "LIST",
        "only the lines of these months: numbers 1 to 12 and ranges, "
        "comma-separated (6-8, 11-2 over the year's end)",
        [](Options &, ParseState &s, const QString &v) {
            s.period.months = { true, v };
        } },
    { "--by", "GROUPS",
        "a rose, a table (and the other formats) per column and "
        "group as well: month (PREFIX_06S000.png), season (DJF, MAM, "
        "JJA, SON; PREFIX_JJAS000.png) or year (PREFIX_2023S000.png)",
        [](Options &, ParseState &s, const QString &v) {
            s.period.by = { true, v };
        } },
    { "--sheet", nullptr,
        "PREFIX_sheet.png: the roses side by side on a common scale "
        "per row, a row per column, a panel per group",
        [](Options &o, ParseState &, const QString &) { o.sheet = true; } },
    { "--strict", nullptr,
        "any warning ends the run with status 1, once it has written "
        "what it can",
        [](Options &o, ParseState &, const QString &) { o.strict = true; } },
    { "--help", nullptr, "show this help and exit",
        [](Options &o, ParseState &, const QString &) { o.help = true; } },
    { "-h", nullptr, "the same as --help",
        [](Options &o, ParseState &, const QString &) { o.help = true; } },
    { "--version", nullptr, "show the versions of the program and of Qt, and exit",
        [](Options &o, ParseState &, const QString &) { o.version = true; } },
};

const OptionEntry *findOption(QStringView name)
{
    for (const OptionEntry &entry : kOptions) {
        if (Options::sameName(name, QLatin1StringView(entry.name)))
            return &entry;
    }
    return nullptr;
}

// Everything after the first "=", further "=" kept; only the first 100 sections count.
QString optionValue(const QString &argument)
{
    return argument.section(QLatin1Char('='), 1, 99);
}

// An argument the program does not know. After an option written without "=" it is most
// likely that option's value, written after a space.
QString unknownArgument(const QString &argument, const OptionEntry *valueless)
{
    if (valueless && valueless->value) {
        return QStringLiteral("ignored argument %1: a value follows its option after \"=\", as "
                              "in %2=%3")
            .arg(Warnings::quoted(argument, Warnings::kMaxName), QLatin1String(valueless->name),
                Warnings::escaped(argument, Warnings::kMaxName));
    }
    return QStringLiteral("ignored argument %1: not an option of helicart (see helicart --help)")
        .arg(Warnings::quoted(argument, Warnings::kMaxName));
}

// The fixed scale needs both of its options, each a whole number of 1 or more.
void checkScale(const Options &options, const ParseState &state, QStringList *warnings)
{
    const auto bad = [](const char *name, const QString &text) {
        return QStringLiteral("%1 value %2 is not a whole number of 1 or more: the fixed scale is "
                              "not used")
            .arg(QLatin1String(name), Warnings::quoted(text));
    };
    const bool maxGood = options.scaleMax >= 1;
    const bool gridGood = options.scaleGrid >= 1;
    if (state.scaleMax.given && !maxGood)
        *warnings << bad("--scaleMax", state.scaleMax.text);
    if (state.scaleGrid.given && !gridGood)
        *warnings << bad("--scaleGrid", state.scaleGrid.text);
    if (maxGood && !state.scaleGrid.given)
        *warnings << QStringLiteral("--scaleMax is given without --scaleGrid: the fixed scale is "
                                    "not used (it needs both)");
    if (gridGood && !state.scaleMax.given)
        *warnings << QStringLiteral("--scaleGrid is given without --scaleMax: the fixed scale is "
                                    "not used (it needs both)");
}

int timeShiftValue(const ParseState &state, QStringList *warnings)
{
    if (!state.timeShift.given)
        return 0;
    bool ok = false;
    const int minutes = state.timeShift.text.toInt(&ok, 10);
    if (ok && qAbs(minutes) <= Options::kMaxTimeShift)
        return minutes;
    *warnings << QStringLiteral("--timeShift value %1 is not a whole number from -%2 to %2: no "
                                "time shift is used")
                     .arg(Warnings::quoted(state.timeShift.text),
                         QString::number(Options::kMaxTimeShift));
    return 0;
}

int imageHeightValue(const ParseState &state, QStringList *warnings)
{
    if (!state.imageHeight.given)
        return -1;
    bool ok = false;
    const int pixels = state.imageHeight.text.toInt(&ok, 10);
    if (ok && pixels >= Options::kMinImageHeight && pixels <= Options::kMaxImageHeight)
        return pixels;
    *warnings << QStringLiteral("--imageHeight value %1 is not a whole number from %2 to %3: the "
                                "roses keep the chart's own height")
                     .arg(Warnings::quoted(state.imageHeight.text),
                         QString::number(Options::kMinImageHeight),
                         QString::number(Options::kMaxImageHeight));
    return -1;
}

// Each entry that names no format is told of; a list without any format leaves the default.
// The formats of a comma-separated list such as "png,svg" (entries trimmed, in any ASCII case;
// empty entries skipped); a format's name is its suffix. Entries that name no format are
// appended to *unknown.
OutputFormats::Formats parseFormats(const QString &list, QStringList *unknown)
{
    OutputFormats::Formats formats;
    for (const QString &entry : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = entry.trimmed();
        if (name.isEmpty())
            continue;
        bool known = false;
        for (const OutputFormats::Format format : OutputFormats::all()) {
            const QByteArray formatName = OutputFormats::suffix(format).toLatin1();
            if (Options::sameName(name, QLatin1StringView(formatName))) {
                formats |= format;
                known = true;
            }
        }
        if (!known)
            unknown->append(name);
    }
    return formats;
}

OutputFormats::Formats formatsValue(const ParseState &state, QStringList *warnings)
{
    if (!state.formats.given)
        return OutputFormats::Png;
    QStringList unknown;
    const OutputFormats::Formats formats = parseFormats(state.formats.text, &unknown);
    if (!formats) {
        *warnings << QStringLiteral("--format value %1 names none of %2: png is written")
                         .arg(Warnings::quoted(state.formats.text), OutputFormats::names());
        return OutputFormats::Png;
    }
    for (const QString &entry : unknown) {
        *warnings << QStringLiteral("--format entry %1 is none of %2: it is ignored")
                         .arg(Warnings::quoted(entry), OutputFormats::names());
    }
    return formats;
}

// The reading options, into options.layout; what cannot be used into options.errors.
void readLayout(Options &options, const ParseState &state)
{
    LayoutOptions::read(state.layout, options.input, &options.layout, &options.errors);
    PeriodOptions::read(state.period, &options.period, &options.grouping, &options.errors);
}

// One option of the help text: its name and value in a column of their own, the meaning
// beside them, wrapped at spaces to 80 columns.
QString helpEntry(const OptionEntry &entry)
{
    constexpr int nameWidth = 21;
    constexpr int lineWidth = 80;
    QString name = QLatin1String(entry.name);
    if (entry.value)
        name += QLatin1Char('=') + QLatin1String(entry.value);
    const QString indent(2 + nameWidth + 1, QLatin1Char(' '));
    QString text = QStringLiteral("  ") + name.leftJustified(nameWidth) + QLatin1Char(' ');
    qsizetype lineStart = 0;
    bool first = true;
    for (const QString &word : QString::fromLatin1(entry.meaning).split(QLatin1Char(' '))) {
        if (!first && text.size() - lineStart + 1 + word.size() > lineWidth) {
            text += QLatin1Char('\n');
            lineStart = text.size();
            text += indent;
        } else if (!first) {
            text += QLatin1Char(' ');
        }
        text += word;
        first = false;
    }
    return text + QLatin1Char('\n');
}

} // namespace

bool Options::sameName(QStringView name, QLatin1StringView option)
{
    return AsciiName::same(name, option);
}

Options Options::parse(const QStringList &arguments)
{
    Options options;
    options.arguments = arguments;
    ParseState state;
    const OptionEntry *valueless = nullptr; // the previous argument, a known option without "="
    for (const QString &argument : arguments) {
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        const OptionEntry *entry = findOption(name);
        if (entry)
            entry->apply(options, state, optionValue(argument));
        else
            options.warnings << unknownArgument(argument, valueless);
        valueless = entry && !argument.contains(QLatin1Char('=')) ? entry : nullptr;
    }
    checkScale(options, state, &options.warnings);
    options.timeShift = timeShiftValue(state, &options.warnings);
    options.imageHeight = imageHeightValue(state, &options.warnings);
    options.formats = formatsValue(state, &options.warnings);
    readLayout(options, state);
    return options;
}

QByteArrayList Options::usageLines()
{
    return {
        "helicart usage: \r\n",
        "\r\n",
        " --input=solarRose.txt                 ... input file name\r\n",
        " --output=solarRose                    ... output file names prefix\r\n",
        " --classes=helicartClasses.xml     ... classes definition\r\n",
        " --scaleMax=5\t\t\t                ... scale maximum value\r\n",
        " --scaleGrid=1\t\t\t\t\t        ... number of scale grids\r\n",
        " --language=SLO\t\t\t\t        ... translations of texts\r\n",
    };
}

QString Options::helpText()
{
    QString text = QStringLiteral(
        "Usage: helicart --input=FILE --output=PREFIX [OPTION=VALUE]...\n"
        "Draws a solar rose and a table of its shares for every parameter column of a\n"
        "measurement file, and one image of all roses.\n"
        "\n"
        "Options (names in any case; a value follows its option after \"=\"):\n");
    for (const OptionEntry &entry : kOptions)
        text += helpEntry(entry);
    text += QStringLiteral(
        "\n"
        "Hour sectors: the sector labelled H collects the time stamps of the hour that\n"
        "ends at H, so a stamp should mark the end of its averaging interval. For loggers\n"
        "that stamp the start of their interval, shift by its length (--timeShift=10 for\n"
        "10-minute means); for data logged in UTC and shown in UTC+1, --timeShift=60.\n"
        "\n"
        "Reading other files: without --header, --separator, --decimalComma,\n"
        "--timeFormat, --missing, --timeZone and --solarTime a file is read in the\n"
        "program's own layout (tabs, eight header rows, dd.MM.yyyy hh:mm, decimal\n"
        "points, stamps as written). Examples:\n"
        "  a CSV with one line of labels and ISO 8601 stamps (2023-06-01T00:10:00Z):\n"
        "    helicart --input=log.csv --output=out/log --header=plain --separator=comma\n"
        "      --timeFormat=iso --station=Kamnik\n"
        "  a European semicolon file, stamps 01.06.2023 00:10:00, values 12,5, -999\n"
        "  for gaps:\n"
        "    helicart --input=data.csv --output=out/data --header=plain\n"
        "      --separator=semicolon --decimalComma --timeFormat=\"dd.MM.yyyy hh:mm:ss\"\n"
        "      --missing=-999\n"
        "  a logger in UTC, hours on the local clock with its summer time, or on the\n"
        "  sun's own time at 14.5 degrees east:\n"
        "    helicart --input=utc.txt --output=out/local --timeZone=Europe/Ljubljana\n"
        "    helicart --input=utc.txt --output=out/solar --solarTime=14.5\n"
        "Where a file does not fit the layout it is read with, a warning says what\n"
        "would fit (try --header=plain, --timeFormat=iso, --separator=semicolon, ...).\n"
        "\n"
        "Warnings (\"helicart: warning: ...\") on the standard error stream tell what was\n"
        "ignored or replaced; they change the exit status only with --strict.\n"
        "Exit status: 0 all images written; 1 (with --strict) a warning was written;\n"
        "255 no option given, or a reading option that cannot be used; 254, 253, 252\n"
        "input, output or classes file name not set; 251 input file cannot be opened;\n"
        "250 an image could not be written; 246 the chart plug-in cannot be loaded.\n");
    return text;
}

QString Options::versionText()
{
    return QStringLiteral("helicart %1\nQt %2\n")
        .arg(QLatin1String(HELICART_VERSION), QLatin1String(qVersion()));
}

int Options::check(QString *message) const
{
    if (input.isEmpty()) {
        *message = QStringLiteral("Input file name not set.");
        return ExitStatus::InputNotSet;
    }
    if (output.isEmpty()) {
        *message = QStringLiteral("Output file name not set.");
        return ExitStatus::OutputNotSet;
    }
    if (classes.isEmpty()) {
        *message = QStringLiteral("Classes file name not set.");
        return ExitStatus::ClassesNotSet;
    }
    return ExitStatus::Success;
}
