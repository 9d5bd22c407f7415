// The time stamp of the built program's images under SOURCE_DATE_EPOCH: a fixed time gives
// byte-identical files whatever the clock and the time zone; a value that holds no time gives
// the time now and a warning.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char kVariable[] = "SOURCE_DATE_EPOCH";

// The example's header and its first days: every column has good data in every hour.
constexpr int kExampleLines = 8 + 6 * 144;

// The files of one run, by name.
using Files = QMap<QString, QByteArray>;

struct Run
{
    int status = -1;
    QByteArray err;
    Files files;
};

QByteArray exampleHead()
{
    QFile file(QStringLiteral(HELICART_SOURCE_DIR "/examples/station.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray head;
    for (int i = 0; i < kExampleLines && !file.atEnd(); ++i)
        head += file.readLine();
    return head;
}

Files readFiles(const QString &folder)
{
    Files files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    return files;
}

void setVariable(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

class TestReproducible : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void stamp_data();
    void stamp();

private:
    // Runs the built program on the example's head with SOURCE_DATE_EPOCH and TZ as given
    // (a null value: not set), into a fresh folder.
    Run render(const QByteArray &epoch, const QByteArray &zone);

    QTemporaryDir m_work;
    Run m_reference; // SOURCE_DATE_EPOCH=0 in UTC
    int m_runs = 0;
};

void TestReproducible::initTestCase()
{
    QVERIFY(m_work.isValid());
    QFile input(m_work.filePath("station.txt"));
    const QByteArray head = exampleHead();
    QVERIFY(!head.isEmpty());
    QVERIFY(input.open(QIODevice::WriteOnly) && input.write(head) == head.size());
    input.close();
    QVERIFY(QFile::copy(HELICART_SOURCE_DIR "/examples/helicartClasses.xml",
        m_work.filePath("helicartClasses.xml")));
    m_reference = render("0", "UTC0");
    QCOMPARE(m_reference.status, 0);
    QCOMPARE(m_reference.err, QByteArray());
    QCOMPARE(m_reference.files.keys(),
        QStringList({ "station.png", "stationS000.png", "stationS001.png", "stationS002.png",
            "stationT000.png", "stationT001.png", "stationT002.png" }));
}

void TestReproducible::cleanup()
{
    qunsetenv(kVariable);
    qunsetenv("TZ");
}

Run TestReproducible::render(const QByteArray &epoch, const QByteArray &zone)
{
    const QString out = QStringLiteral("out%1").arg(++m_runs);
    Run run;
    if (!QDir(m_work.path()).mkpath(out))
        return run;
    setVariable(kVariable, epoch);
    setVariable("TZ", zone);
    run.status = TestSupport::runProgram(HELICART_PROGRAM,
        { "--input=station.txt", "--output=" + out + "/station" }, m_work.path(), nullptr,
        &run.err);
    run.files = readFiles(m_work.filePath(out));
    return run;
}

void TestReproducible::stamp_data()
{
    QTest::addColumn<QByteArray>("epoch"); // null: not set
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<bool>("sameFiles"); // as with 0 in UTC; else only the stamps differ
    QTest::addColumn<QByteArray>("shown"); // the value as the warning quotes it; null: none

    const QByteArray none;
    QTest::newRow("the same time again") << QByteArray("0") << QByteArray("UTC0") << true << none;
    QTest::newRow("another time zone") << QByteArray("0") << QByteArray("XYZ-14") << true << none;
    QTest::newRow("seconds within the minute")
        << QByteArray("59") << QByteArray("XYZ+5") << true << none;
    QTest::newRow("a minute later") << QByteArray("60") << QByteArray("UTC0") << false << none;
    QTest::newRow("not set") << QByteArray() << QByteArray("UTC0") << false << none;
    QTest::newRow("set empty") << QByteArray("") << QByteArray("UTC0") << false << none;
    QTest::newRow("a word") << QByteArray("today") << QByteArray("UTC0") << false
                            << QByteArray("today");
    QTest::newRow("negative") << QByteArray("-1") << QByteArray("UTC0") << false
                              << QByteArray("-1");
    QTest::newRow("the year 10000")
        << QByteArray("253402300800") << QByteArray("UTC0") << false << QByteArray("253402300800");
    QTest::newRow("a line break in the value")
        << QByteArray("0\n1") << QByteArray("UTC0") << false << QByteArray("0\\n1");
    QTest::newRow("a long value") << QByteArray(100, '7') + "x" << QByteArray("UTC0") << false
                                  << QByteArray(40, '7') + "...";
}

void TestReproducible::stamp()
{
    QFETCH(QByteArray, epoch);
    QFETCH(QByteArray, zone);
    QFETCH(bool, sameFiles);
    QFETCH(QByteArray, shown);
    const Run run = render(epoch, zone);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.files.keys(), m_reference.files.keys());

    if (shown.isNull()) {
        QCOMPARE(run.err, QByteArray());
    } else {
        // One line, whatever the value holds.
        QVERIFY2(run.err.startsWith("helicart: warning: SOURCE_DATE_EPOCH \"" + shown + "\" "),
            run.err.constData());
        QVERIFY(run.err.endsWith('\n'));
        QCOMPARE(run.err.count('\n'), 1);
    }

    for (auto file = m_reference.files.cbegin(); file != m_reference.files.cend(); ++file) {
        const QByteArray &bytes = run.files.value(file.key());
        const bool isTable = file.key().startsWith(QLatin1String("stationT"));
        if (sameFiles || isTable) {
            QVERIFY2(bytes == file.value(), qPrintable(file.key()));
            continue;
        }
        // The stamps tell the runs apart, nothing else does.
        const QImage image = QImage::fromData(bytes);
        const QImage reference = QImage::fromData(file.value());
        TestSupport::saveOutput(image, TestSupport::rowName() + "_" + file.key());
        QCOMPARE(
            TestSupport::differingPixels(image, reference, 0, TestSupport::timeStampArea(image)),
            0);
        QVERIFY2(TestSupport::differingPixels(image, reference, 0) > 0, qPrintable(file.key()));
    }
}

HELICART_GUI_TEST_MAIN(TestReproducible)
#include "tst_reproducible.moc"
