// The measurement file reader on a year of minute data (525,600 lines, 6 parameter columns):
// one column pass against `wc -l` on the same file, the reader's peak memory for that file
// and one four times as long, and the same year written as an ISO CSV (one header line, ISO
// 8601 stamps, commas) read with its options against the program's own layout.
#include "measurementfield.h"
#include "measurementfile.h"
#include "utcandlocal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int minutesPerYear = 365 * 24 * 60;
constexpr int parameterCount = 6;

QString yearFile;
QString fourYearFile;
QString isoFile;

// How the ISO CSV is read: --header=plain --separator=comma --timeFormat=iso.
FileLayout isoLayout()
{
    FileLayout layout;
    layout.header = FileLayout::Header::Plain;
    layout.separator = ',';
    layout.timeFormat = FileLayout::TimeFormat::Iso;
    return layout;
}

// A row-layout header and one line per minute from 1 January 2013, with values of the
// kinds a station logs (radiation, temperature, humidity, ...), now and then a gap.
bool generate(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = "Station\nLogger\nInterval 1 min\nTime\tLJ\tLJ\tLJ\tLJ\tLJ\tLJ\n"
                      "Mean\nTime\tGSR\tDIF\tT\tRH\tWS\tP\nx\nTime\tW/m2\tW/m2\tC\t%\tm/s\thPa\n";
    const QDateTime start(QDate(2013, 1, 1), QTime(0, 0), UtcAndLocal::utc());
    quint32 seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(range));
    };
    for (int line = 0; line < lines; ++line) {
        text += start.addSecs(qint64(line) * 60)
                    .toString(QStringLiteral("dd.MM.yyyy hh:mm"))
                    .toLatin1();
        for (int k = 0; k < parameterCount; ++k) {
            text += '\t';
            if (next(200) == 0)
                continue;
            const int value = next(120000) - 20000;
            text += QByteArray::number(value / 100.0, 'f', 2);
        }
        text += '\n';
        if (text.size() > (1 << 20)) {
            file.write(text);
            text.clear();
        }
    }
    return file.write(text) == text.size();
}

// The year file as an ISO CSV, line by line.
bool convertToIso(const QString &from, const QString &to)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly))
        return false;
    QList<QByteArrayList> header;
    for (int row = 0; row < 8; ++row)
        header << source.readLine().trimmed().split('\t');
    QByteArray text = "Time";
    for (qsizetype k = 1; k < header[5].size(); ++k)
        text += ',' + header[5][k] + " [" + header[7].value(k) + ']';
    text += '\n';
    while (!source.atEnd()) {
        const QByteArray line = source.readLine();
        // dd.MM.yyyy hh:mm
        text += line.mid(6, 4) + '-' + line.mid(3, 2) + '-' + line.mid(0, 2) + 'T' + line.mid(11, 5)
            + ":00Z";
        text += line.mid(16).replace('\t', ',');
        if (text.size() > (1 << 20)) {
            target.write(text);
            text.clear();
        }
    }
    return target.write(text) == text.size();
}

// One column pass as the run does it: open, header, the column's measurements handed to a
// consumer that does next to nothing, so that the figure is the reader's.
MeasurementFile::ColumnCounts columnPass(
    const QString &path, int k, const FileLayout &layout = FileLayout())
{
    MeasurementFile file(path);
    file.setLayout(layout);
    if (!file.open())
        return {};
    file.readHeader();
    double sum = 0;
    qint64 milliseconds = 0;
    const MeasurementFile::ColumnCounts counts
        = file.readColumn(k, [&](const QTime &time, double value) {
              sum += value;
              milliseconds += time.msecsSinceStartOfDay();
          });
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(milliseconds);
    return counts;
}

// Runs a program to its end with its standard output thrown away.
void runQuietly(const std::vector<const char *> &arguments)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    std::vector<char *> argv;
    for (const char *argument : arguments)
        argv.push_back(const_cast<char *>(argument));
    argv.push_back(nullptr);
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

void wcLines(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    runQuietly({ "wc", "-l", name.constData() });
}

void BM_ColumnPass(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(columnPass(yearFile, int(state.range(0))));
    state.SetItemsProcessed(state.iterations() * minutesPerYear);
    state.SetBytesProcessed(state.iterations() * QFileInfo(yearFile).size());
}
BENCHMARK(BM_ColumnPass)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TimeRangePass(benchmark::State &state)
{
    for (auto _ : state) {
        MeasurementFile file(yearFile);
        file.open();
        file.readHeader();
        benchmark::DoNotOptimize(file.readTimeRange());
    }
    state.SetItemsProcessed(state.iterations() * minutesPerYear);
}
BENCHMARK(BM_TimeRangePass)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a run reads: the time range, then every column.
void wholeReading(const QString &path, const FileLayout &layout)
{
    MeasurementFile file(path);
    file.setLayout(layout);
    if (!file.open())
        return;
    file.readHeader();
    benchmark::DoNotOptimize(file.readTimeRange());
    for (int k = 0; k < file.parameterCount(); ++k)
        benchmark::DoNotOptimize(file.readColumn(k, [](const QTime &, double) {}));
}

void BM_ColumnPassIsoCsv(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(columnPass(isoFile, int(state.range(0)), isoLayout()));
    state.SetItemsProcessed(state.iterations() * minutesPerYear);
}
BENCHMARK(BM_ColumnPassIsoCsv)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WcLines(benchmark::State &state)
{
    for (auto _ : state)
        wcLines(yearFile);
    state.SetItemsProcessed(state.iterations() * minutesPerYear);
    state.SetBytesProcessed(state.iterations() * QFileInfo(yearFile).size());
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TimeStampOwn(benchmark::State &state)
{
    MeasurementField::TimeStamp stamp;
    for (auto _ : state)
        benchmark::DoNotOptimize(MeasurementField::parseTimeStamp("05.07.2012 13:45", &stamp));
}
BENCHMARK(BM_TimeStampOwn);

void BM_TimeStampQt(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(QDateTime::fromString(
            QStringLiteral("05/07/2012 13:45"), QStringLiteral("dd/MM/yyyy hh:mm")));
    }
}
BENCHMARK(BM_TimeStampQt)->Unit(benchmark::kMicrosecond);

void BM_ValueOwn(benchmark::State &state)
{
    double value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(MeasurementField::parseValue("512.25", &value));
}
BENCHMARK(BM_ValueOwn);

void BM_ValueQt(benchmark::State &state)
{
    bool ok = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(QString::fromUtf8("512.25").toDouble(&ok));
}
BENCHMARK(BM_ValueQt);

double milliseconds(const std::function<void()> &function)
{
    const auto start = std::chrono::steady_clock::now();
    function();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Peak resident memory in KiB of a fresh process that reads the header, the time range and
// one column of path (or only opens it, with an empty path).
long peakMemory(const char *self, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray output = QFile::encodeName(
        QDir::temp().filePath(QStringLiteral("bench_reader-%1.rss").arg(getpid())));
    runQuietly(
        { self, "--peak-memory", name.isEmpty() ? "-" : name.constData(), output.constData() });
    QFile result(QString::fromLocal8Bit(output));
    if (!result.open(QIODevice::ReadOnly))
        return -1;
    const long kib = result.readAll().trimmed().toLong();
    result.remove();
    return kib;
}

int peakMemoryChild(const char *path, const char *output)
{
    if (std::strcmp(path, "-") != 0) {
        MeasurementFile file(QFile::decodeName(path));
        if (!file.open())
            return 1;
        file.readHeader();
        benchmark::DoNotOptimize(file.readTimeRange());
        benchmark::DoNotOptimize(file.readColumn(2, [](const QTime &, double) {}));
    }
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    QFile result(QFile::decodeName(output));
    if (!result.open(QIODevice::WriteOnly))
        return 1;
    result.write(QByteArray::number(qlonglong(usage.ru_maxrss)));
    return 0;
}

void printSummary(const char *self)
{
    // Alternately, so that both see the same load of the machine.
    std::vector<double> wc, pass, ratio;
    for (int run = 0; run < 15; ++run) {
        wc.push_back(milliseconds([] { wcLines(yearFile); }));
        pass.push_back(milliseconds([] { columnPass(yearFile, 2); }));
        ratio.push_back(pass.back() / wc.back());
    }
    std::printf("\nOne year of minute data: %d lines, %lld bytes, %d parameter columns\n",
        minutesPerYear, qlonglong(QFileInfo(yearFile).size()), parameterCount);
    std::printf("  wc -l            %8.1f ms (median of 15, fastest %.1f)\n", median(wc),
        *std::min_element(wc.begin(), wc.end()));
    std::printf("  one column pass  %8.1f ms (median of 15, fastest %.1f)\n", median(pass),
        *std::min_element(pass.begin(), pass.end()));
    std::printf(
        "  ratio            %8.2f (median of the 15 pairs; target: at most 5)\n", median(ratio));

    const long none = peakMemory(self, QString());
    const long one = peakMemory(self, yearFile);
    const long four = peakMemory(self, fourYearFile);
    std::printf("Peak resident memory of a process that reads header, time range and one "
                "column:\n");
    std::printf("  no file          %8ld KiB\n", none);
    std::printf(
        "  1 year  (%3lld MB) %8ld KiB\n", qlonglong(QFileInfo(yearFile).size() >> 20), one);
    std::printf(
        "  4 years (%3lld MB) %8ld KiB\n", qlonglong(QFileInfo(fourYearFile).size() >> 20), four);
    std::printf("  growth 1 -> 4    %8ld KiB\n", four - one);

    std::vector<double> own, iso, isoRatio;
    for (int run = 0; run < 7; ++run) {
        own.push_back(milliseconds([] { wholeReading(yearFile, FileLayout()); }));
        iso.push_back(milliseconds([] { wholeReading(isoFile, isoLayout()); }));
        isoRatio.push_back(iso.back() / own.back());
    }
    std::printf("The year as ISO CSV (%lld bytes): time range and every column, as a run reads\n",
        qlonglong(QFileInfo(isoFile).size()));
    std::printf("  own layout       %8.1f ms (median of 7)\n", median(own));
    std::printf("  ISO CSV          %8.1f ms (median of 7)\n", median(iso));
    std::printf("  ratio            %8.2f (median of the 7 pairs; target: at most 1.5)\n",
        median(isoRatio));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0)
        return peakMemoryChild(argv[2], argv[3]);

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    yearFile = dir.filePath(QStringLiteral("year.txt"));
    fourYearFile = dir.filePath(QStringLiteral("fouryears.txt"));
    isoFile = dir.filePath(QStringLiteral("year-iso.csv"));
    if (!generate(yearFile, minutesPerYear) || !generate(fourYearFile, 4 * minutesPerYear)
        || !convertToIso(yearFile, isoFile)) {
        std::fprintf(stderr, "cannot write the benchmark files in %s\n", qPrintable(dir.path()));
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary("/proc/self/exe");
    return 0;
}
