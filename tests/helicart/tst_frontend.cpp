#include "options.h"
#include "pluginsearch.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray usageText
    = "helicart usage: \r\n"
      "\r\n"
      " --input=solarRose.txt                 ... input file name\r\n"
      " --output=solarRose                    ... output file names prefix\r\n"
      " --classes=helicartClasses.xml     ... classes definition\r\n"
      " --scaleMax=5\t\t\t                ... scale maximum value\r\n"
      " --scaleGrid=1\t\t\t\t\t        ... number of scale grids\r\n"
      " --language=SLO\t\t\t\t        ... translations of texts\r\n";

bool makeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool copyFile(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).path());
    return QFile::copy(from, to);
}

QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

class TestFrontend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parseOptions_data();
    void parseOptions();
    void applicationFolder_data();
    void applicationFolder();
    void candidateFolders();
    void pluginSearch_data();
    void pluginSearch();
    void pluginSearchAlreadyLoaded();
    void pluginSearchReportsLastStep();
    void pluginSearchReportsProgramFolder();
    void program_data();
    void program();

private:
    QTemporaryDir m_dir;
    QString m_withoutPlugin; // the program in a folder tree with no plug-in anywhere
    QString m_withPlugin; // the program in bin/release, a loadable "compassplot.so" in bin/plugins
    QString m_workDir;
};

void TestFrontend::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString program = QStringLiteral(HELICART_BIN_DIR "/helicart");
    QVERIFY2(QFileInfo::exists(program), "build the helicart target first");
    // Copies of the program, so the result does not depend on what else has been built
    // beside the original.
    m_withoutPlugin = m_dir.filePath(QStringLiteral("noplugin/a/b/c/helicart"));
    m_withPlugin = m_dir.filePath(QStringLiteral("withplugin/bin/release/helicart"));
    QVERIFY(copyFile(program, m_withoutPlugin));
    QVERIFY(copyFile(program, m_withPlugin));
    QVERIFY(copyFile(QStringLiteral(FRONTEND_TEST_PLUGIN),
        m_dir.filePath(QStringLiteral("withplugin/bin/plugins/compassplot.so"))));

    m_workDir = m_dir.filePath(QStringLiteral("work"));
    QVERIFY(makeFile(m_workDir + QStringLiteral("/header.txt"),
        "1\n2\n3\nTime\n5\nTime\n7\nTime\n05.07.2012 13:45\n"));
    QVERIFY(makeFile(m_workDir + QStringLiteral("/empty.txt"), QByteArray()));
    QVERIFY(QDir(m_workDir).mkdir(QStringLiteral("folder")));
}

void TestFrontend::parseOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("classes");
    QTest::addColumn<int>("scaleMax");
    QTest::addColumn<int>("scaleGrid");
    QTest::addColumn<QString>("language");

    // Rows that leave the defaults give only the arguments and what they set.
    const auto row
        = [](const char *name, const QStringList &arguments, const QString &input,
              const QString &output = QString(),
              const QString &classes = QStringLiteral("helicartClasses.xml"), int scaleMax = -1,
              int scaleGrid = -1, const QString &language = QString()) {
              QTest::newRow(name) << arguments << input << output << classes << scaleMax
                                  << scaleGrid << language;
          };
    row("defaults", {}, "");
    row("all",
        { "--input=a.txt", "--output=out/x", "--classes=c.xml", "--scaleMax=5", "--scaleGrid=2",
            "--lang=SLO" },
        "a.txt", "out/x", "c.xml", 5, 2, "SLO");
    row("names in any case", { "--INPUT=a.txt", "--scalemax=5", "--SCALEGRID=1" }, "a.txt", "",
        "helicartClasses.xml", 5, 1);
    row("value keeps its case", { "--output=Out/X" }, "", "Out/X");
    row("further '=' stay in the value", { "--input=a=b.txt" }, "a=b.txt");
    row("only 100 sections count", { "--input=" + QString("a=").repeated(150) },
        QString("a=").repeated(99).chopped(1));
    row("no '='", { "--input=a", "--input" }, "");
    row("last occurrence wins", { "--input=a", "--input=b" }, "b");
    row("scale not an integer", { "--scaleMax=abc", "--scaleGrid=5.5" }, "");
    row("scale empty", { "--scaleMax=5", "--scaleMax=" }, "");
    row("empty classes", { "--classes=" }, "", "", "");
    row("--language as the usage text says", { "--language=SLO" }, "", "", "helicartClasses.xml",
        -1, -1, "SLO");
    row("unknown options ignored", { "-h", "--in=a", " --input=a", "--inputs=a", "input=a" }, "");
}

void TestFrontend::parseOptions()
{
    QFETCH(QStringList, arguments);
    const Options options = Options::parse(arguments);
    QTEST(options.input, "input");
    QTEST(options.output, "output");
    QTEST(options.classes, "classes");
    QTEST(options.scaleMax, "scaleMax");
    QTEST(options.scaleGrid, "scaleGrid");
    QTEST(options.language, "language");
}

void TestFrontend::applicationFolder_data()
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

void TestFrontend::applicationFolder()
{
    QFETCH(QString, appDir);
    QTEST(PluginSearch::applicationFolder(appDir), "expected");
}

void TestFrontend::candidateFolders()
{
    const QStringList common { ".", "plugins", "../plugins", "../external/plugins" };
    const QStringList helicart = common + QStringList { "../../plugins", "../../external/plugins" };
    const QStringList compassplot = common + QStringList { "../../external/plugins" };
    QCOMPARE(PluginSearch::candidateFolders(PluginSearch::Helicart), helicart);
    QCOMPARE(PluginSearch::candidateFolders(PluginSearch::Compassplot), compassplot);
}

void TestFrontend::pluginSearch_data()
{
    QTest::addColumn<QStringList>("plugins"); // copies of a loadable plug-in
    QTest::addColumn<QStringList>("others"); // files that are no plug-in
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("expected"); // the file loaded; empty: none

    const int helicart = PluginSearch::Helicart;
    const int compassplot = PluginSearch::Compassplot;
    QTest::newRow("from a release folder")
        << QStringList { "bin/plugins/compassplot.so" } << QStringList { "bin/release/x" }
        << "bin/release" << helicart << "bin/plugins/compassplot.so";
    QTest::newRow("from a Debug folder")
        << QStringList { "bin/plugins/compassplot.so" } << QStringList { "bin/Debug/x" }
        << "bin/Debug" << compassplot << "bin/plugins/compassplot.so";
    QTest::newRow("beside the program first")
        << QStringList { "bin/compassplot.so", "bin/plugins/compassplot.so" } << QStringList()
        << "bin" << helicart << "bin/compassplot.so";
    QTest::newRow("../plugins") << QStringList { "a/plugins/compassplot.so" }
                                << QStringList { "a/bin/x" } << "a/bin" << helicart
                                << "a/plugins/compassplot.so";
    QTest::newRow("../external/plugins")
        << QStringList { "a/external/plugins/compassplot.so" } << QStringList { "a/bin/x" }
        << "a/bin" << compassplot << "a/external/plugins/compassplot.so";
    QTest::newRow("../../plugins in the program's search")
        << QStringList { "a/plugins/compassplot.so" }
        << QStringList { "a/b/bin/x", "a/b/external/plugins/other.so" } << "a/b/bin" << helicart
        << "a/plugins/compassplot.so";
    QTest::newRow("../../plugins not in the chart plug-in's search")
        << QStringList { "a/plugins/compassplot.so" } << QStringList { "a/b/bin/x" } << "a/b/bin"
        << compassplot << "";
    QTest::newRow("../../external/plugins")
        << QStringList { "a/external/plugins/compassplot.so" } << QStringList { "a/b/bin/x" }
        << "a/b/bin" << compassplot << "a/external/plugins/compassplot.so";
    QTest::newRow("files that are no plug-in are skipped")
        << QStringList { "bin/plugins/compassplot.so" }
        << QStringList { "bin/compassplot.so", "bin/compassplot.lib",
               "bin/plugins/compassplot.txt" }
        << "bin" << helicart << "bin/plugins/compassplot.so";
    QTest::newRow("names in any case") << QStringList { "bin/CompassPlot.so" } << QStringList()
                                       << "bin" << helicart << "bin/CompassPlot.so";
    QTest::newRow("other names") << QStringList { "bin/libcompassplot.so", "bin/compass.so" }
                                 << QStringList() << "bin" << helicart << "";
    QTest::newRow("nothing anywhere")
        << QStringList() << QStringList { "bin/x" } << "bin" << helicart << "";
}

void TestFrontend::pluginSearch()
{
    QFETCH(QStringList, plugins);
    QFETCH(QStringList, others);
    QFETCH(QString, appDir);
    QFETCH(int, variant);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const QString &path : plugins)
        QVERIFY(copyFile(QStringLiteral(FRONTEND_TEST_PLUGIN), root.filePath(path)));
    for (const QString &path : others)
        QVERIFY(makeFile(root.filePath(path), "not a plug-in"));

    QPluginLoader loader;
    const bool loaded = PluginSearch::loadPluginFrom(root.filePath(appDir),
        QStringLiteral("compassplot"), &loader, PluginSearch::Variant(variant));
    QCOMPARE(loaded, !expected.isEmpty());
    QCOMPARE(loader.isLoaded(), loaded);
    if (loaded)
        QCOMPARE(canonical(loader.fileName()), canonical(root.filePath(expected)));
}

void TestFrontend::pluginSearchAlreadyLoaded()
{
    QTemporaryDir first, second;
    QVERIFY(copyFile(
        QStringLiteral(FRONTEND_TEST_PLUGIN), first.filePath(QStringLiteral("compassplot.so"))));
    QVERIFY(copyFile(
        QStringLiteral(FRONTEND_TEST_PLUGIN), second.filePath(QStringLiteral("compassplot.so"))));
    QPluginLoader loader(first.filePath(QStringLiteral("compassplot.so")));
    QVERIFY(loader.load());
    const QString fileName = loader.fileName();
    QVERIFY(PluginSearch::loadPluginFrom(
        second.path(), QStringLiteral("compassplot"), &loader, PluginSearch::Helicart));
    QCOMPARE(loader.fileName(), fileName);
}

void TestFrontend::pluginSearchReportsLastStep()
{
    // Only the program's search, and only in its last folder, tells why a file did not load.
    QTemporaryDir root;
    QVERIFY(makeFile(root.filePath(QStringLiteral("a/external/plugins/compassplot.so")), "x"));
    QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("a/b/bin"))));
    QPluginLoader loader;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("compassplot\\.so")));
    QVERIFY(!PluginSearch::loadPluginFrom(root.filePath(QStringLiteral("a/b/bin")),
        QStringLiteral("compassplot"), &loader, PluginSearch::Helicart));
    QVERIFY(!loader.isLoaded());
}

void TestFrontend::pluginSearchReportsProgramFolder()
{
    QPluginLoader loader;
    const QString quoted
        = QLatin1Char('"') + QCoreApplication::applicationDirPath() + QLatin1Char('"');
    QTest::ignoreMessage(QtDebugMsg, qPrintable(quoted));
    QVERIFY(!PluginSearch::loadPlugin(
        QStringLiteral("nosuchplugin"), &loader, PluginSearch::Compassplot));
}

void TestFrontend::program_data()
{
    QTest::addColumn<bool>("withPlugin");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status"); // as the shell sees it: the low byte
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QByteArray>("out");

    const auto row = [](const char *name, bool withPlugin, const QStringList &arguments, int status,
                         const QByteArray &err, const QByteArray &out = QByteArray()) {
        QTest::newRow(name) << withPlugin << arguments << status << err << out;
    };
    const QByteArray noInput("Input file name not set.");
    const QByteArray noClasses("Classes file name not set.");
    row("no option", true, {}, 255, usageText);
    row("unknown option only", true, { "-h" }, 254, noInput);
    row("input without a value", true, { "--input", "--output=o" }, 254, noInput);
    row("all missing", true, { "--classes=" }, 254, noInput);
    row("output missing", true, { "--INPUT=header.txt" }, 253, "Output file name not set.");
    row("classes empty", true, { "--input=header.txt", "--output=o", "--classes=" }, 252,
        noClasses);
    row("checks before the plug-in", false, { "--input=header.txt", "--output=o", "--classes=" },
        252, noClasses);
    row("no chart plug-in", false, { "--input=header.txt", "--output=o" }, 246, {},
        "Cannot load 'solarRose' plugin");
    row("missing input file", true, { "--input=missing.txt", "--output=o" }, 251,
        "Can not open input file: missing.txt.");
    row("folder as input", true, { "--input=folder", "--output=o" }, 251,
        "Can not open input file: folder.");
    row("name outside Latin-1", true,
        { QString::fromUtf8("--input=Šoštanj_čas.txt"), "--output=o" }, 251,
        "Can not open input file: Šoštanj_čas.txt.");
    row("header only", true, { "--input=header.txt", "--output=o" }, 0, {});
    row("empty input file", true, { "--input=empty.txt", "--output=o" }, 0, {});
    row("translation file missing", true, { "--input=header.txt", "--output=o", "--lang=SLO" }, 0,
        {});
    row("--language", true, { "--input=header.txt", "--output=o", "--language=SLO" }, 0, {});
}

void TestFrontend::program()
{
    QFETCH(bool, withPlugin);
    QFETCH(QStringList, arguments);

    QByteArray out, err;
    const int status = TestSupport::runProgram(
        withPlugin ? m_withPlugin : m_withoutPlugin, arguments, m_workDir, &out, &err);
    QTEST(err, "err");
    QTEST(out, "out");
    QTEST(status, "status");
}

QTEST_GUILESS_MAIN(TestFrontend)
#include "tst_frontend.moc"
