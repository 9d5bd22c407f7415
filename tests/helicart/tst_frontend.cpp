#include "options.h"
#include "testsupport.h"
#include "warnings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

} // namespace

class TestFrontend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parseOptions_data();
    void parseOptions();
    void optionWarnings_data();
    void optionWarnings();
    void outputOptions_data();
    void outputOptions();
    void helpListsEveryOption();
    void escaped_data();
    void escaped();
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
    QVERIFY(TestSupport::copyFile(program, m_withoutPlugin));
    QVERIFY(TestSupport::copyFile(program, m_withPlugin));
    QVERIFY(TestSupport::copyFile(QStringLiteral(FRONTEND_TEST_PLUGIN),
        m_dir.filePath(QStringLiteral("withplugin/bin/plugins/compassplot.so"))));

    m_workDir = m_dir.filePath(QStringLiteral("work"));
    QVERIFY(TestSupport::writeFile(m_workDir + QStringLiteral("/header.txt"),
        "1\n2\n3\nTime\n5\nTime\n7\nTime\n05.07.2012 13:45\n"));
    QVERIFY(TestSupport::writeFile(m_workDir + QStringLiteral("/empty.txt"), QByteArray()));
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
    row("unknown options ignored", { "--in=a", " --input=a", "--inputs=a", "input=a" }, "");
    // Only ASCII letters match without regard to case: the long s (U+017F) folds to "s" in
    // Unicode, the Kelvin sign (U+212A) to "k", the dotted capital I (U+0130) to "i".
    row("long s is no s", { QString::fromUtf8("--claſſes=a.xml") }, "");
    row("dotted I is no i", { QString::fromUtf8("--\u0130nput=a.txt") }, "");
    row("Kelvin sign is no k",
        { QString::fromUtf8("--scaleMax=5"), "--scaleGrid=1",
            QString::fromUtf8("--\u212Aang=SLO") },
        "", "", "helicartClasses.xml", 5, 1);
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

void TestFrontend::optionWarnings_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<int>("timeShift");
    QTest::addColumn<bool>("classesGiven");

    // The program's tests have a row for each kind of warning; these are the finer points.
    const auto row = [](const char *name, const QStringList &arguments, const QStringList &warnings,
                         int timeShift = 0, bool classesGiven = false) {
        QTest::newRow(name) << arguments << warnings << timeShift << classesGiven;
    };
    const QString badScale = "value \"%1\" is not a whole number of 1 or more: the fixed scale "
                             "is not used";
    const QString badShift = "--timeShift value \"%1\" is not a whole number from -1440 to 1440: "
                             "no time shift is used";
    row("none", { "--input=a", "--output=b", "--scaleMax=5", "--scaleGrid=1" }, {});
    row("a control character is shown, not sent", { "x\x1b[2J" },
        { "ignored argument \"x\\x1b[2J\": not an option of helicart (see helicart --help)" });
    row("scaleGrid empty", { "--scaleMax=5", "--scaleGrid=" },
        { "--scaleGrid " + badScale.arg("") });
    row("scale zero and negative", { "--scaleMax=0", "--scaleGrid=-2" },
        { "--scaleMax " + badScale.arg("0"), "--scaleGrid " + badScale.arg("-2") });
    row("the last occurrence counts", { "--scaleMax=x", "--scaleMax=5", "--scaleGrid=1" }, {});
    row("shift", { "--timeShift=60" }, {}, 60);
    row("shift back, any case", { "--TIMESHIFT=-60" }, {}, -60);
    row("shift a whole day", { "--timeShift=-1440" }, {}, -1440);
    row("shift too far", { "--timeShift=1441" }, { badShift.arg("1441") });
    row("shift no number", { "--timeShift=1h" }, { badShift.arg("1h") });
    row("shift without value", { "--timeShift" }, { badShift.arg("") });
    row("classes given", { "--classes=helicartClasses.xml" }, {}, 0, true);
}

// What the parser cannot use is named in a warning.
void TestFrontend::optionWarnings()
{
    QFETCH(QStringList, arguments);
    const Options options = Options::parse(arguments);
    QTEST(options.warnings, "warnings");
    QTEST(options.timeShift, "timeShift");
    QTEST(options.classesGiven, "classesGiven");
}

void TestFrontend::outputOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("imageHeight");
    QTest::addColumn<int>("formats");
    QTest::addColumn<QStringList>("warnings");

    const int png = OutputFormats::Png;
    const int svg = OutputFormats::Svg;
    const int pdf = OutputFormats::Pdf;
    const int tsv = OutputFormats::Tsv;
    const QString badHeight = "--imageHeight value \"%1\" is not a whole number from 100 to "
                              "10000: the roses keep the chart's own height";
    const QString badEntry
        = "--format entry \"%1\" is none of png, svg, pdf, tsv, csv, html: it is ignored";
    const QString noFormat
        = "--format value \"%1\" names none of png, svg, pdf, tsv, csv, html: png is "
          "written";
    const auto row = [](const char *name, const QStringList &arguments, int imageHeight,
                         int formats, const QStringList &warnings = {}) {
        QTest::newRow(name) << arguments << imageHeight << formats << warnings;
    };
    row("defaults", {}, -1, png);
    row("lowest height", { "--imageHeight=100" }, 100, png);
    row("highest height, any case", { "--IMAGEHEIGHT=10000" }, 10000, png);
    row("height too low", { "--imageHeight=99" }, -1, png, { badHeight.arg("99") });
    row("height too high", { "--imageHeight=10001" }, -1, png, { badHeight.arg("10001") });
    row("height no whole number", { "--imageHeight=960.5" }, -1, png, { badHeight.arg("960.5") });
    row("height without value", { "--imageHeight" }, -1, png, { badHeight.arg("") });
    row("height, the last one counts", { "--imageHeight=0", "--imageHeight=960" }, 960, png);
    row("every format", { "--format=png,svg,pdf,tsv" }, -1, png | svg | pdf | tsv);
    row("without png", { "--format=tsv" }, -1, tsv);
    row("entries in any case and spaced", { "--format= SVG ,Pdf" }, -1, svg | pdf);
    row("empty entries skipped", { "--format=tsv,,png," }, -1, png | tsv);
    row("an unknown entry", { "--format=png,gif,tsv" }, -1, png | tsv, { badEntry.arg("gif") });
    row("nothing known", { "--format=jpeg" }, -1, png, { noFormat.arg("jpeg") });
    row("empty list", { "--format=" }, -1, png, { noFormat.arg("") });
    row("format, the last one counts", { "--format=svg", "--format=pdf" }, -1, pdf);
}

// The height of the roses and the kinds of file: out-of-range or unknown values are told of and
// leave what a run without them writes.
void TestFrontend::outputOptions()
{
    QFETCH(QStringList, arguments);
    const Options options = Options::parse(arguments);
    QTEST(options.imageHeight, "imageHeight");
    QTEST(int(options.formats), "formats");
    QTEST(options.warnings, "warnings");
}

// The help text and the parser read one table: every name the help lists is an option.
void TestFrontend::helpListsEveryOption()
{
    const QString help = Options::helpText();
    const QStringList names { "--input=FILE", "--output=PREFIX", "--classes=FILE",
        "--scaleMax=PERCENT", "--scaleGrid=COUNT", "--lang=NAME", "--language=NAME",
        "--timeShift=MINUTES", "--imageHeight=PIXELS", "--format=LIST", "--header=plain",
        "--station=TEXT", "--separator=SEP", "--decimalComma", "--timeFormat=FORMAT",
        "--missing=LIST", "--timeZone=ZONE", "--solarTime=LONGITUDE", "--from=DATE", "--till=DATE",
        "--months=LIST", "--by=GROUPS", "--sheet", "--strict", "--help", "-h", "--version" };
    for (const QString &name : names) {
        QVERIFY2(help.contains("\n  " + name + " "), qPrintable(name));
        const QStringList warnings = Options::parse({ name }).warnings;
        QVERIFY2(!warnings.join('\n').contains("ignored argument"), qPrintable(name));
    }
    // Listed options, two spaces in, each on a line of its own.
    static const QRegularExpression listed(
        QStringLiteral("^  (-\\S+)"), QRegularExpression::MultilineOption);
    QCOMPARE(help.count(listed), names.size());
    for (const QString &line : help.split('\n'))
        QVERIFY2(line.size() <= 80, qPrintable(line));
}

void TestFrontend::escaped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "a b.txt"
                           << "a b.txt";
    QTest::newRow("controls") << "a\tb\nc\rd\x1b\x7f"
                              << "a\\tb\\nc\\rd\\x1b\\x7f";
    QTest::newRow("C1 control") << QString(QChar(0x9b)) << "\\x9b";
    QTest::newRow("letters stay") << QString::fromUtf8("Šoštanj °C")
                                  << QString::fromUtf8("Šoštanj °C");
    QTest::newRow("cut") << QString(70, 'x') << QString(60, 'x') + "...";
    QTest::newRow("never half a character")
        << QString(59, 'x') + QString::fromUtf8("😀") + "y" << QString(59, 'x') + "...";
}

void TestFrontend::escaped()
{
    QFETCH(QString, text);
    QTEST(Warnings::escaped(text), "expected");
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
    const QByteArray help = Options::helpText().toUtf8();
    const QByteArray noColumn = "helicart: warning: input file \"header.txt\" has no parameter "
                                "column (header row 6 holds no label after the time column): no "
                                "image is written\n";
    row("no option", true, {}, 255, usageText);
    row("--help", false, { "--help" }, 0, {}, help);
    row("-h", false, { "-h" }, 0, {}, help);
    row("help in any case, among others", false, { "--input=x", "--HELP", "--bad" }, 0, {}, help);
    row("--version", false, { "--version" }, 0, {},
        "helicart " HELICART_VERSION "\nQt " + QByteArray(qVersion()) + "\n");
    row("unknown option only", true, { "--hlep" }, 254,
        "helicart: warning: ignored argument \"--hlep\": not an option of helicart (see helicart "
        "--help)\n"
            + noInput);
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
    row("header only", true, { "--input=header.txt", "--output=o" }, 0, noColumn);
    row("empty input file", true, { "--input=empty.txt", "--output=o" }, 0,
        QByteArray(noColumn).replace("header.txt", "empty.txt"));
    // Below 260 pixels the texts, in proportion, would be smaller than can be read.
    row("image too low for its texts", true,
        { "--input=header.txt", "--output=o", "--imageHeight=259" }, 0,
        noColumn
            + "helicart: warning: --imageHeight 259 is too low for the texts to fit: below 260 "
              "pixels they are smaller than can be read and the tables are squeezed\n");
    row("image just high enough", true, { "--input=header.txt", "--output=o", "--imageHeight=260" },
        0, noColumn);
    // No translations folder beside this copy of the program.
    const QByteArray noTranslation = "helicart: warning: translation \"SLO\" cannot be loaded from "
                                     "the working folder nor from \"";
    row("translation file missing", true, { "--input=header.txt", "--output=o", "--lang=SLO" }, 0,
        noTranslation);
    row("--language", true, { "--input=header.txt", "--output=o", "--language=SLO" }, 0,
        noTranslation);
}

void TestFrontend::program()
{
    QFETCH(bool, withPlugin);
    QFETCH(QStringList, arguments);

    QFETCH(QByteArray, err);
    QByteArray out, actualErr;
    const int status = TestSupport::runProgram(
        withPlugin ? m_withPlugin : m_withoutPlugin, arguments, m_workDir, &out, &actualErr);
    // A warning that names a folder of the test is compared up to that folder.
    if (err.endsWith('"'))
        QVERIFY2(actualErr.startsWith(err), actualErr.constData());
    else
        QCOMPARE(actualErr, err);
    QTEST(out, "out");
    QTEST(status, "status");
}

QTEST_GUILESS_MAIN(TestFrontend)
#include "tst_frontend.moc"
