// What the program leaves behind when things go wrong: a disk that fills up (the file size
// limit stands in for it), a stopping signal in the middle of a run, and an input that cannot
// be read to its end.
#include "endtoendsupport.h"
#include "failingdevice.h"
#include "measurementfile.h"
#include "options.h"
#include "renderrun.h"
#include "testsupport.h"
#include "utcandlocal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QPluginLoader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace EndToEnd;

namespace {

// The files of a run with two parameter columns, in the order the run writes them.
const QStringList kFiles { "dayS000.png", "dayT000.png", "dayS001.png", "dayT001.png", "day.png" };

const QByteArray kOlder = "an image of an older run";

struct Result
{
    int status = -1;
    QByteArray err;
};

QByteArray twoColumns()
{
    QStringList lines;
    for (int hour = 0; hour < 24; ++hour)
        lines << QStringLiteral("05.07.2012 %1:00\t%2\t%3")
                     .arg(hour, 2, 10, QLatin1Char('0'))
                     .arg(hour * 40)
                     .arg(hour - 5);
    return measurementFile({ "GSR", "T" }, { "W/m2", "C" }, lines);
}

// Many columns of many lines: a run that takes a while.
QByteArray largeFile(int columns, int lines)
{
    QStringList labels;
    QStringList units;
    for (int k = 0; k < columns; ++k) {
        labels << QStringLiteral("P%1").arg(k);
        units << QStringLiteral("W/m2");
    }
    QByteArray content = measurementFile(labels, units, {});
    QDateTime stamp(QDate(2012, 1, 1), QTime(0, 10), UtcAndLocal::utc());
    for (int i = 0; i < lines; ++i, stamp = stamp.addSecs(600)) {
        content += stamp.toString("dd.MM.yyyy hh:mm").toLatin1();
        for (int k = 0; k < columns; ++k)
            content += '\t' + QByteArray::number((i * 37 + k * 101) % 1000);
        content += '\n';
    }
    return content;
}

// A complete PNG file ends with its IEND chunk.
bool completePng(const QByteArray &bytes)
{
    return bytes.startsWith("\x89PNG\r\n\x1a\n")
        && bytes.endsWith(QByteArray::fromHex("0000000049454e44ae426082"));
}

// Everything in folder, by name.
QStringList entries(const QString &folder)
{
    QStringList names
        = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    names.sort();
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

// Events of one kind in a folder, as they happen.
class FolderEvents
{
public:
    FolderEvents(const QString &folder, uint32_t mask)
        : m_fd(inotify_init1(IN_CLOEXEC))
    {
        if (m_fd >= 0 && inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), mask) < 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FolderEvents()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderEvents(const FolderEvents &) = delete;
    FolderEvents &operator=(const FolderEvents &) = delete;

    bool isValid() const { return m_fd >= 0; }

    // Waits until count events have come in; false when they do not within timeoutMs.
    bool await(int count, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        alignas(inotify_event) char buffer[4096];
        while (m_seen < count) {
            pollfd ready = { m_fd, POLLIN, 0 };
            const int left = int(timeoutMs - timer.elapsed());
            if (left <= 0 || ::poll(&ready, 1, left) <= 0)
                return false;
            const ssize_t size = ::read(m_fd, buffer, sizeof buffer);
            for (ssize_t at = 0; at < size; ++m_seen)
                at += ssize_t(sizeof(inotify_event))
                    + reinterpret_cast<inotify_event *>(buffer + at)->len;
        }
        return true;
    }

private:
    int m_fd;
    int m_seen = 0;
};

} // namespace

class TestFailures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void fullDisk_data();
    void fullDisk();
    void stopped_data();
    void stopped();
    void unreadableInput_data();
    void unreadableInput();
    void readErrorDuringRun_data();
    void readErrorDuringRun();

private:
    QString work(const QString &path) const { return m_work->filePath(path); }
    // Starts the program in the working folder on input.txt with output prefix out/day.
    void start(QProcess *process, const QStringList &options = {});
    Result finish(QProcess *process);

    std::unique_ptr<QTemporaryDir> m_work;
    QPluginLoader m_chartLoader;
};

void TestFailures::initTestCase()
{
    // The same bytes from run to run, so that a file can be compared with a run's reference.
    qputenv("SOURCE_DATE_EPOCH", "0");
    // The plug-ins' search trace stays off, as in the program.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    m_chartLoader.setFileName(QStringLiteral(HELICART_PLUGIN_DIR "/compassplot.so"));
    QVERIFY2(m_chartLoader.load(), qPrintable(m_chartLoader.errorString()));
}

void TestFailures::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir(m_work->path()).mkpath("out"));
    QVERIFY(QDir(m_work->path()).mkpath("reference"));
}

void TestFailures::start(QProcess *process, const QStringList &options)
{
    process->setWorkingDirectory(m_work->path());
    process->start(QStringLiteral(HELICART_PROGRAM),
        QStringList { "--input=input.txt", "--output=out/day" } + options);
}

Result TestFailures::finish(QProcess *process)
{
    Result result;
    process->closeWriteChannel();
    if (!process->waitForFinished(120000))
        return result;
    result.err = process->readAllStandardError();
    result.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() & 0xff
                                                                  : -process->exitCode();
    return result;
}

void TestFailures::fullDisk_data()
{
    // The limit is the size of the file of this rank among the reference run's files, smallest
    // first (-1: one byte).
    QTest::addColumn<int>("rank");
    QTest::addColumn<int>("status");

    QTest::newRow("nothing fits") << -1 << 250;
    QTest::newRow("the smallest fits") << 0 << 250;
    QTest::newRow("all but the largest fit") << 3 << 250;
    QTest::newRow("everything fits") << 4 << 0;
}

// A file that does not fit is told, its older file stays, and no temporary file is left; the
// files that fit are written whole.
void TestFailures::fullDisk()
{
    QFETCH(int, rank);
    QFETCH(int, status);
    QVERIFY(writeFile(work("input.txt"), twoColumns()));
    QProcess reference;
    start(&reference, { "--output=reference/day" });
    QCOMPARE(finish(&reference).status, 0);
    QList<qint64> sizes;
    for (const QString &name : kFiles) {
        sizes << QFileInfo(work("reference/" + name)).size();
        QVERIFY(writeFile(work("out/" + name), kOlder));
    }
    QList<qint64> bySize = sizes;
    std::sort(bySize.begin(), bySize.end());
    const rlim_t limit = rank < 0 ? 1 : rlim_t(bySize.at(rank));

    QProcess process;
    process.setChildProcessModifier([limit] {
        rlimit fileSize = { limit, limit };
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
    });
    start(&process);
    const Result result = finish(&process);
    QCOMPARE(result.status, status);
    QByteArray told;
    for (int i = 0; i < kFiles.size(); ++i) {
        const QString &name = kFiles.at(i);
        const bool fits = sizes.at(i) <= qint64(limit);
        if (!fits)
            told += "Can not write output file: out/" + name.toUtf8() + ".\n";
        QCOMPARE(
            readFile(work("out/" + name)), fits ? readFile(work("reference/" + name)) : kOlder);
    }
    // One line per lost file, and nothing from the libraries about it.
    QCOMPARE(result.err, told);
    QCOMPARE(entries(work("out")), sorted(kFiles));
}

void TestFailures::stopped_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("older"); // every output file is there from an older run
    QTest::addColumn<int>("count"); // files that appear or are replaced before the signal

    // A file appears in the output folder as it is written (where the file system has no
    // unnamed temporary files) or as it is complete; an older one is replaced by a rename.
    QTest::newRow("SIGTERM as the first file appears") << SIGTERM << false << 1;
    QTest::newRow("SIGINT as the second file appears") << SIGINT << false << 2;
    QTest::newRow("SIGHUP as the fifth file appears") << SIGHUP << false << 5;
    QTest::newRow("SIGTERM as the third older file is replaced") << SIGTERM << true << 3;
}

// A run stopped in the middle ends by the signal; under every final name there is a whole
// image, new or older, and there is no temporary file.
void TestFailures::stopped()
{
    QFETCH(int, signal);
    QFETCH(bool, older);
    QFETCH(int, count);
    constexpr int kColumns = 10;
    QVERIFY(writeFile(work("input.txt"), largeFile(kColumns, 20000)));
    QStringList names { "day.png" };
    for (int k = 0; k < kColumns; ++k)
        names << QString("dayS%1.png").arg(k, 3, 10, QChar('0'))
              << QString("dayT%1.png").arg(k, 3, 10, QChar('0'));
    names.sort();
    for (const QString &name : older ? names : QStringList())
        QVERIFY(writeFile(work("out/" + name), kOlder));
    FolderEvents events(work("out"), older ? IN_MOVED_TO : IN_CREATE);
    QVERIFY(events.isValid());
    QProcess process;
    start(&process);
    QVERIFY(process.waitForStarted());
    QVERIFY(events.await(count, 120000));
    ::kill(pid_t(process.processId()), signal);
    const Result result = finish(&process);
    QCOMPARE(result.status, -signal);
    QCOMPARE(result.err, QByteArray());

    const QStringList left = entries(work("out"));
    int written = 0;
    for (const QString &name : left) {
        QVERIFY2(names.contains(name), qPrintable(name));
        const QByteArray content = readFile(work("out/" + name));
        if (older && content == kOlder)
            continue;
        QVERIFY2(completePng(content), qPrintable(name));
        QVERIFY2(!QImage(work("out/" + name)).isNull(), qPrintable(name));
        ++written;
    }
    // Stopped in the middle, after the files it had begun.
    QVERIFY2(written >= count && written < names.size(), qPrintable(left.join(' ')));
    if (older)
        QCOMPARE(left, names);
}

void TestFailures::unreadableInput_data()
{
    QTest::addColumn<QString>("input");
    // Opens, but every read fails with an input/output error.
    QTest::newRow("a read error") << "/proc/self/mem";
    // A pipe cannot be read a second time from the start.
    QTest::newRow("a pipe") << "/dev/stdin";
}

// An input that opens but cannot be read is no empty file: the run says so and ends with -5.
void TestFailures::unreadableInput()
{
    QFETCH(QString, input);
    QProcess process;
    start(&process, { "--input=" + input });
    process.write(twoColumns());
    const Result result = finish(&process);
    QCOMPARE(result.status, 251);
    QCOMPARE(result.err, "Can not read input file: " + input.toUtf8() + ".\n");
    QCOMPARE(entries(work("out")), QStringList());
}

void TestFailures::readErrorDuringRun_data()
{
    QTest::addColumn<int>("failingPass"); // 2: the time range, 3: column 0, 4: column 1
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("in the time range") << 2 << -5 << QStringList();
    QTest::newRow("in the first column") << 3 << -5 << QStringList();
    QTest::newRow("in the second column") << 4 << -5 << kFiles.mid(0, 2);
    QTest::newRow("none") << 99 << 0 << kFiles;
}

// A read error ends the run: the images of the columns read before stay whole, nothing is
// written from the part that was read of a column, and no combined image.
void TestFailures::readErrorDuringRun()
{
    QFETCH(int, failingPass);
    QFETCH(int, status);
    QFETCH(QStringList, written);
    const QByteArray content = twoColumns();
    // Halfway through the data lines.
    FailingDevice device(content, failingPass, content.size() - content.size() / 4);
    MeasurementFile file(&device);
    Options options;
    options.input = QStringLiteral("station.txt");
    options.output = work("out/day");
    options.classes = work("helicartClasses.xml");
    QFile diagnostics(work("diagnostics.txt"));
    QVERIFY(diagnostics.open(QIODevice::WriteOnly));
    RenderRun run(m_chartLoader);
    QCOMPARE(run.run(&diagnostics, options, file), status);
    diagnostics.close();
    QCOMPARE(readFile(work("diagnostics.txt")),
        status == 0 ? QByteArray() : QByteArray("Can not read input file: station.txt.\n"));
    QCOMPARE(entries(work("out")), sorted(written));
    for (const QString &name : written)
        QVERIFY2(completePng(readFile(work("out/" + name))), qPrintable(name));
}

HELICART_GUI_TEST_MAIN(TestFailures)
#include "tst_failures.moc"
