// Runs of the built program side by side in one output folder, as a batch of station files
// is rendered: runs with different prefixes never touch each other's files, temporary files
// included, and each writes the bytes it writes alone.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The files of a folder, by name.
using Files = QMap<QString, QByteArray>;

// The example's header and its first days, with the time stamps fixed.
constexpr int kExampleLines = 8 + 10 * 144;

QByteArray exampleHead()
{
    return TestSupport::headLines(
        QStringLiteral(HELICART_SOURCE_DIR "/examples/station.txt"), kExampleLines);
}

Files readFiles(const QString &folder)
{
    return TestSupport::folderFiles(folder, QDir::Hidden | QDir::System);
}

// The files of files whose names begin with prefix.
Files named(const Files &files, const QString &prefix)
{
    Files found;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key().startsWith(prefix))
            found.insert(it.key(), it.value());
    }
    return found;
}

QProcess *startRun(const QString &input, const QString &prefix, const QString &workDir)
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("0"));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workDir);
    process->start(QStringLiteral(HELICART_PROGRAM),
        { QStringLiteral("--input=") + input, QStringLiteral("--output=") + prefix });
    return process;
}

} // namespace

class TestParallelRuns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sideBySide_data();
    void sideBySide();

private:
    QTemporaryDir m_work;
    QString m_input;
    Files m_alone; // the files of a run alone with prefix "alone"
};

void TestParallelRuns::initTestCase()
{
    QVERIFY(m_work.isValid());
    m_input = m_work.filePath(QStringLiteral("station.txt"));
    QFile input(m_input);
    QVERIFY(input.open(QIODevice::WriteOnly));
    QVERIFY(input.write(exampleHead()) > 0);
    input.close();
    const QString folder = m_work.filePath(QStringLiteral("alone"));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<QProcess> run(startRun(m_input, folder + QStringLiteral("/alone"), folder));
    QVERIFY(run->waitForFinished(120000));
    QCOMPARE(run->exitCode(), 0);
    m_alone = readFiles(folder);
    QCOMPARE(m_alone.size(), 7);
}

void TestParallelRuns::sideBySide_data()
{
    QTest::addColumn<QStringList>("prefixes");
    QTest::newRow("two stations") << QStringList { "north", "south" };
    // One prefix begins the other: the names differ from the prefix's end on.
    QTest::newRow("a prefix within the other") << QStringList { "st", "station" };
    QTest::newRow("four at once") << QStringList { "a", "b", "c", "d" };
}

// Every run writes exactly its own files, with the bytes of a run alone; files of an earlier
// run with another prefix keep their bytes and their time; nothing else is left behind.
void TestParallelRuns::sideBySide()
{
    QFETCH(QStringList, prefixes);
    QTemporaryDir folder(m_work.filePath(QStringLiteral("XXXXXX")));
    QVERIFY(folder.isValid());
    Files earlier;
    for (auto it = m_alone.cbegin(); it != m_alone.cend(); ++it) {
        const QString name = QString(it.key()).replace(QLatin1String("alone"), QLatin1String("z"));
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value());
        earlier.insert(name, it.value());
    }
    const QDateTime earlierTime
        = QFileInfo(folder.filePath(QStringLiteral("z.png"))).lastModified();

    std::vector<std::unique_ptr<QProcess>> runs;
    for (const QString &prefix : prefixes)
        runs.emplace_back(startRun(m_input, folder.filePath(prefix), folder.path()));
    for (const auto &run : runs) {
        QVERIFY(run->waitForFinished(120000));
        QCOMPARE(run->exitStatus(), QProcess::NormalExit);
        QCOMPARE(run->exitCode(), 0);
    }

    const Files files = readFiles(folder.path());
    QCOMPARE(files.size(), m_alone.size() * (prefixes.size() + 1));
    QCOMPARE(named(files, QStringLiteral("z")), earlier);
    QCOMPARE(QFileInfo(folder.filePath(QStringLiteral("z.png"))).lastModified(), earlierTime);
    for (const QString &prefix : prefixes) {
        for (auto it = m_alone.cbegin(); it != m_alone.cend(); ++it) {
            const QString name = QString(it.key()).replace(QLatin1String("alone"), prefix);
            QVERIFY2(files.value(name) == it.value(), qPrintable(name));
        }
    }
}

QTEST_GUILESS_MAIN(TestParallelRuns)
#include "tst_parallelruns.moc"
