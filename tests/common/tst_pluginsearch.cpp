// The plug-in folder search: the folders it tries, in which order, which files it takes, and
// what it tells on Qt's debug stream when asked to.
#include "pluginsearch.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

// The debug messages written while it lives.
class DebugLog
{
public:
    DebugLog() { m_previous = qInstallMessageHandler(&DebugLog::handle); }
    ~DebugLog() { qInstallMessageHandler(m_previous); }
    static QStringList &lines()
    {
        static QStringList log;
        return log;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtDebugMsg)
            lines() << message;
    }
    QtMessageHandler m_previous;
};

PluginSearch::Options twoFoldersUp(bool on)
{
    PluginSearch::Options options;
    options.twoFoldersUp = on;
    return options;
}

} // namespace

class TestPluginSearch : public QObject
{
    Q_OBJECT

private slots:
    void applicationFolder_data();
    void applicationFolder();
    void candidateFolders();
    void pluginSearch_data();
    void pluginSearch();
    void alreadyLoaded();
    void reportsLastFolder_data();
    void reportsLastFolder();
    void tracesProgramFolder();
};

void TestPluginSearch::applicationFolder_data()
{
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *appDir, const char *expected) {
        QTest::newRow(name) << QString(appDir) << QString(expected);
    };
    row("release", "/x/bin/release", "/x/bin");
    row("Release", "/x/bin/Release", "/x/bin");
    row("DEBUG", "/x/bin/DEBUG", "/x/bin");
    row("other name", "/x/bin", "/x/bin");
    row("name that only begins so", "/x/debugging", "/x/debugging");
    row("only the last folder", "/x/release/bin", "/x/release/bin");
}

void TestPluginSearch::applicationFolder()
{
    QFETCH(QString, appDir);
    QTEST(PluginSearch::applicationFolder(appDir), "expected");
}

void TestPluginSearch::candidateFolders()
{
    const QStringList common { ".", "plugins", "../plugins", "../external/plugins" };
    const QStringList withTwoUp
        = common + QStringList { "../../plugins", "../../external/plugins" };
    const QStringList withoutTwoUp = common + QStringList { "../../external/plugins" };
    QCOMPARE(PluginSearch::candidateFolders(twoFoldersUp(true)), withTwoUp);
    QCOMPARE(PluginSearch::candidateFolders(twoFoldersUp(false)), withoutTwoUp);
}

void TestPluginSearch::pluginSearch_data()
{
    QTest::addColumn<QStringList>("plugins"); // copies of a loadable plug-in
    QTest::addColumn<QStringList>("others"); // files that are no plug-in
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<bool>("twoFoldersUp");
    QTest::addColumn<QString>("expected"); // the file loaded; empty: none

    QTest::newRow("from a release folder")
        << QStringList { "bin/plugins/compassplot.so" } << QStringList { "bin/release/x" }
        << "bin/release" << true << "bin/plugins/compassplot.so";
    QTest::newRow("from a Debug folder")
        << QStringList { "bin/plugins/compassplot.so" } << QStringList { "bin/Debug/x" }
        << "bin/Debug" << false << "bin/plugins/compassplot.so";
    QTest::newRow("beside the program first")
        << QStringList { "bin/compassplot.so", "bin/plugins/compassplot.so" } << QStringList()
        << "bin" << true << "bin/compassplot.so";
    QTest::newRow("../plugins") << QStringList { "a/plugins/compassplot.so" }
                                << QStringList { "a/bin/x" } << "a/bin" << true
                                << "a/plugins/compassplot.so";
    QTest::newRow("../external/plugins")
        << QStringList { "a/external/plugins/compassplot.so" } << QStringList { "a/bin/x" }
        << "a/bin" << false << "a/external/plugins/compassplot.so";
    QTest::newRow("../../plugins when asked for")
        << QStringList { "a/plugins/compassplot.so" }
        << QStringList { "a/b/bin/x", "a/b/external/plugins/other.so" } << "a/b/bin" << true
        << "a/plugins/compassplot.so";
    QTest::newRow("../../plugins not otherwise")
        << QStringList { "a/plugins/compassplot.so" } << QStringList { "a/b/bin/x" } << "a/b/bin"
        << false << "";
    QTest::newRow("../../external/plugins")
        << QStringList { "a/external/plugins/compassplot.so" } << QStringList { "a/b/bin/x" }
        << "a/b/bin" << false << "a/external/plugins/compassplot.so";
    QTest::newRow("files that are no plug-in are skipped")
        << QStringList { "bin/plugins/compassplot.so" }
        << QStringList { "bin/compassplot.so", "bin/compassplot.lib",
               "bin/plugins/compassplot.txt" }
        << "bin" << true << "bin/plugins/compassplot.so";
    QTest::newRow("names in any case") << QStringList { "bin/CompassPlot.so" } << QStringList()
                                       << "bin" << true << "bin/CompassPlot.so";
    QTest::newRow("other names") << QStringList { "bin/libcompassplot.so", "bin/compass.so" }
                                 << QStringList() << "bin" << true << "";
    QTest::newRow("nothing anywhere")
        << QStringList() << QStringList { "bin/x" } << "bin" << true << "";
}

void TestPluginSearch::pluginSearch()
{
    QFETCH(QStringList, plugins);
    QFETCH(QStringList, others);
    QFETCH(QString, appDir);
    QFETCH(bool, twoFoldersUp);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const QString &path : plugins)
        QVERIFY(TestSupport::copyFile(QStringLiteral(TEST_PLUGIN), root.filePath(path)));
    for (const QString &path : others)
        QVERIFY(TestSupport::writeFile(root.filePath(path), "not a plug-in"));

    QPluginLoader loader;
    const bool loaded = PluginSearch::loadPluginFrom(root.filePath(appDir),
        QStringLiteral("compassplot"), &loader, ::twoFoldersUp(twoFoldersUp));
    QCOMPARE(loaded, !expected.isEmpty());
    QCOMPARE(loader.isLoaded(), loaded);
    if (loaded)
        QCOMPARE(canonical(loader.fileName()), canonical(root.filePath(expected)));
}

void TestPluginSearch::alreadyLoaded()
{
    QTemporaryDir first, second;
    QVERIFY(TestSupport::copyFile(
        QStringLiteral(TEST_PLUGIN), first.filePath(QStringLiteral("compassplot.so"))));
    QVERIFY(TestSupport::copyFile(
        QStringLiteral(TEST_PLUGIN), second.filePath(QStringLiteral("compassplot.so"))));
    QPluginLoader loader(first.filePath(QStringLiteral("compassplot.so")));
    QVERIFY(loader.load());
    const QString fileName = loader.fileName();
    QVERIFY(PluginSearch::loadPluginFrom(
        second.path(), QStringLiteral("compassplot"), &loader, PluginSearch::Options()));
    QCOMPARE(loader.fileName(), fileName);
}

void TestPluginSearch::reportsLastFolder_data()
{
    QTest::addColumn<bool>("report");
    QTest::newRow("asked for") << true;
    QTest::newRow("not asked for") << false;
}

// Only in its last folder, and only when asked, the search tells why a file did not load.
void TestPluginSearch::reportsLastFolder()
{
    QFETCH(bool, report);
    QTemporaryDir root;
    QVERIFY(TestSupport::writeFile(
        root.filePath(QStringLiteral("a/external/plugins/compassplot.so")), "x"));
    QVERIFY(TestSupport::writeFile(root.filePath(QStringLiteral("a/b/bin/compassplot.so")), "x"));
    PluginSearch::Options options;
    options.reportLastFolder = report;
    QPluginLoader loader;
    DebugLog::lines().clear();
    {
        DebugLog log;
        QVERIFY(!PluginSearch::loadPluginFrom(root.filePath(QStringLiteral("a/b/bin")),
            QStringLiteral("compassplot"), &loader, options));
    }
    QVERIFY(!loader.isLoaded());
    QCOMPARE(DebugLog::lines().size(), report ? 1 : 0);
    if (report)
        QVERIFY2(DebugLog::lines().first().contains("external/plugins/compassplot.so"),
            qPrintable(DebugLog::lines().first()));
}

void TestPluginSearch::tracesProgramFolder()
{
    PluginSearch::Options options;
    options.traceProgramFolder = true;
    QPluginLoader loader;
    const QString quoted
        = QLatin1Char('"') + QCoreApplication::applicationDirPath() + QLatin1Char('"');
    QTest::ignoreMessage(QtDebugMsg, qPrintable(quoted));
    QVERIFY(!PluginSearch::loadPlugin(QStringLiteral("nosuchplugin"), &loader, options));
}

QTEST_MAIN(TestPluginSearch)
#include "tst_pluginsearch.moc"
