// The built program under a limit on its address space, as a batch system sets one: from where
// Qt can barely be loaded up to where a year of minute data fits. Every run ends with status 0
// or 250 and a message, never by a signal; every image it leaves is complete and no temporary
// file is left behind.
#include "testsupport.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

namespace {

constexpr int kColumns = 6;

// A year of minute data in six columns, in the row layout.
QByteArray yearOfMinutes()
{
    QByteArray text;
    const char *rows[] = { "h1", "h2", "h3", "Ljubljana", "h5", "Time", "h7", "unit" };
    for (const char *row : rows) {
        text += row;
        for (int c = 0; c < kColumns; ++c)
            text += '\t'
                + (QByteArray(row) == "Time" ? "P" + QByteArray::number(c) : QByteArray(row));
        text += '\n';
    }
    int i = 0;
    for (QDate day(2023, 1, 1); day.year() == 2023; day = day.addDays(1)) {
        const QByteArray date = day.toString(QStringLiteral("dd.MM.yyyy ")).toLatin1();
        for (int minute = 0; minute < 1440; ++minute, ++i) {
            text += date
                + QTime(minute / 60, minute % 60).toString(QStringLiteral("hh:mm")).toLatin1();
            for (int c = 0; c < kColumns; ++c)
                text += '\t' + QByteArray::number((i * (c + 7)) % 1300 - 100);
            text += '\n';
        }
    }
    return text;
}

} // namespace

class TestMemoryLimits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void underALimit_data();
    void underALimit();

private:
    QTemporaryDir m_work;
};

void TestMemoryLimits::initTestCase()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the sanitizers reserve more address space than any of these limits");
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    QSKIP("the sanitizers reserve more address space than any of these limits");
#endif
#endif
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    QSKIP("Qt 6.6 and later split fills over a pool of their own, whose threads the program "
          "cannot start ahead: a fill whose thread cannot be had waits for ever");
#endif
    QVERIFY(m_work.isValid());
    QVERIFY(TestSupport::writeFile(m_work.filePath("year.txt"), yearOfMinutes()));
}

void TestMemoryLimits::underALimit_data()
{
    QTest::addColumn<int>("megabytes");
    QTest::addColumn<QStringList>("options");
    // At 80 MB the chart plug-in cannot even be mapped; up to about 150 MB some images cannot
    // be had.
    for (int megabytes = 80; megabytes <= 200; megabytes += 10) {
        QTest::addRow("%d MB", megabytes) << megabytes << QStringList();
        QTest::addRow("%d MB, 10000 px high", megabytes)
            << megabytes << QStringList { "--imageHeight=10000" };
    }
}

void TestMemoryLimits::underALimit()
{
    QFETCH(int, megabytes);
    QFETCH(QStringList, options);
    const QString out = m_work.filePath(QStringLiteral("out%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(out));
    QProcess process;
    process.setWorkingDirectory(m_work.path());
    const rlim_t bytes = rlim_t(megabytes) << 20;
    process.setChildProcessModifier([bytes] {
        const struct rlimit limit
        {
            bytes, bytes
        };
        setrlimit(RLIMIT_AS, &limit);
    });
    process.start(QStringLiteral(HELICART_PROGRAM),
        QStringList { "--input=year.txt", "--output=" + out + "/y", "--classes=none.xml" }
            + options);
    QVERIFY(process.waitForFinished(120000));
    const QByteArray err = process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0 || process.exitCode() == 250, err.constData());
    const QStringList files = QDir(out).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : files) {
        QVERIFY2(name.endsWith(".png") && !name.startsWith('.'), qPrintable(name));
        QVERIFY2(!QImage(out + '/' + name).isNull(), qPrintable(name));
    }
    if (process.exitCode() == 0)
        QCOMPARE(files.size(), 2 * kColumns + 1);
    else
        QVERIFY2(!err.isEmpty(), "a failure without a word");
    qInfo("%d MB%s: status %d, %lld files", megabytes, options.isEmpty() ? "" : " (10000 px)",
        process.exitCode(), qlonglong(files.size()));
}

HELICART_GUI_TEST_MAIN(TestMemoryLimits)
#include "tst_memorylimits.moc"
