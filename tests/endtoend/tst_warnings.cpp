// What the built program says on the standard error stream when it ignores or replaces
// something (one "helicart: warning: ..." line each, the exit status unchanged), and the time
// shift, through a copy of the program beside the recording chart plug-in.
#include "endtoendsupport.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace EndToEnd;

namespace {

const QByteArray kPrefix = "helicart: warning: ";

// Two columns, GSR and T, with three good lines.
const QStringList kGoodLines { "05.07.2012 10:30\t512.25\t20.5", "05.07.2012 10:40\t530\t20.7",
    "05.07.2012 10:50\t541.5\t20.8" };

QByteArray twoColumns(const QStringList &dataLines = kGoodLines)
{
    return measurementFile({ "GSR", "T" }, { "W/m2", "C" }, dataLines);
}

// A classes file with a set for GSR only, or with the given default set.
QByteArray classesFile(const QByteArray &defaultSet = QByteArray())
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<skyvaneClasses>\n"
           "  <parameter><oznaka>GSR</oznaka>\n"
           "    <razred><zacetek>0</zacetek><konec>500</konec><barva>#ff0000</barva></razred>\n"
           "  </parameter>\n"
        + defaultSet + "</skyvaneClasses>\n";
}

QByteArray defaultSetColoured(const QByteArray &colour)
{
    return "  <privzeto><razred><zacetek>0</zacetek><konec>9</konec><barva>" + colour
        + "</barva></razred></privzeto>\n";
}

struct Result
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Lines of a measurement file whose time stamp has exactly the form "dd.MM.yyyy hh:mm".
bool hasPlainStamp(const QByteArray &line)
{
    static const QRegularExpression stamp(
        QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d\\t"));
    return stamp.match(QString::fromUtf8(line)).hasMatch();
}

} // namespace

class TestWarnings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void warnings_data();
    void warnings();
    void colourFromOpenStandardInput();
    void timeShift_data();
    void timeShift();
    void cleanExampleIsSilent();
    void translationInAnyCase();
    void countsAddUp_data();
    void countsAddUp();

private:
    QString work(const QString &path) const { return m_work->filePath(path); }
    // Runs the program copy beside the recording plug-in in the work folder.
    Result run(const QStringList &options);
    // Runs the real program on a copy of the example whose data lines are given.
    Result runExample(const QByteArray &station);

    QTemporaryDir m_programs;
    QString m_recorded;
    QString m_log;
    std::unique_ptr<QTemporaryDir> m_work;
};

void TestWarnings::initTestCase()
{
    QVERIFY(m_programs.isValid());
    m_recorded = m_programs.filePath("recording/bin/helicart");
    QVERIFY(copyFile(HELICART_PROGRAM, m_recorded));
    QVERIFY(QFile::setPermissions(m_recorded, QFile::permissions(HELICART_PROGRAM)));
    QVERIFY(copyFile(
        ENDTOEND_RECORDING_PLUGIN, m_programs.filePath("recording/bin/plugins/compassplot.so")));
    m_log = m_programs.filePath("calls.log");
    qputenv("HELICART_RECORDING_LOG", m_log.toUtf8());
}

void TestWarnings::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir(m_work->path()).mkpath("out"));
    QFile::remove(m_log);
}

Result TestWarnings::run(const QStringList &options)
{
    Result result;
    result.status = TestSupport::runProgram(m_recorded,
        QStringList { "--input=input.txt", "--output=out/day" } + options, m_work->path(),
        &result.out, &result.err);
    return result;
}

Result TestWarnings::runExample(const QByteArray &station)
{
    Result result;
    const QByteArray classes = readFile(HELICART_SOURCE_DIR "/examples/helicartClasses.xml");
    if (!writeFile(work("station.txt"), station) || !writeFile(work("classes.xml"), classes))
        return result;
    result.status = TestSupport::runProgram(HELICART_PROGRAM,
        { "--input=station.txt", "--output=out/station", "--classes=classes.xml" }, m_work->path(),
        &result.out, &result.err);
    return result;
}

void TestWarnings::warnings_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("classes"); // written as classesName when not empty
    QTest::addColumn<QString>("classesName");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("expected"); // a piece of each warning line, in order

    const auto row = [](const char *name, const QByteArray &input, const QByteArray &classes,
                         const QStringList &options, const QStringList &expected,
                         const QString &classesName = QStringLiteral("c.xml")) {
        QTest::newRow(name) << input << classes << classesName << options << expected;
    };
    const QByteArray good = twoColumns();
    const QString builtInForAll = ": the built-in classes are used for every column";

    row("clean, no default classes file", good, {}, {}, {});
    row("misspelt option", good, {}, { "--outptu=x" },
        { "ignored argument \"--outptu=x\": not an option of helicart (see helicart --help)" });
    row("long s", good, {}, { QString::fromUtf8("--claſſes=c.xml") },
        { QString::fromUtf8("ignored argument \"--claſſes=c.xml\": not an option") });
    row("value after a space", good, {}, { "--lang", "SLO" },
        { "ignored argument \"SLO\": a value follows its option after \"=\", as in --lang=SLO" });
    row("scale not a whole number", good, {}, { "--scaleMax=2.5", "--scaleGrid=4" },
        { "--scaleMax value \"2.5\" is not a whole number of 1 or more: the fixed scale is not "
          "used" });
    row("only half a scale", good, {}, { "--scaleGrid=4" },
        { "--scaleGrid is given without --scaleMax: the fixed scale is not used" });
    row("image height out of range", good, {}, { "--imageHeight=50" },
        { "--imageHeight value \"50\" is not a whole number from 100 to 10000: the roses keep "
          "the chart's own height" });
    row("an unknown format", good, {}, { "--format=png,gif" },
        { "--format entry \"gif\" is none of png, svg, pdf, tsv, csv, html: it is ignored" });
    row("a prefix that is a folder", good, {}, { "--output=out/" },
        { "--output \"out/\" ends in \"/\": the files are named \"out/.png\", "
          "\"out/S000.png\" and so on; give a prefix such as \"out/station\"" });
    row("classes file missing", good, {}, { "--classes=none.xml" },
        { "classes file \"none.xml\" does not exist" + builtInForAll });
    row("classes file a folder", good, {}, { "--classes=out" },
        { "classes file \"out\" cannot be read (it is a folder)" + builtInForAll });
    row("classes file malformed", good, "<skyvaneClasses>\n<privzeto>\n</skyvaneClasses>\n",
        { "--classes=c.xml" },
        { "classes file \"c.xml\" is not well-formed XML (line 3: Opening and ending tag "
          "mismatch: privzeto line 2 and skyvaneClasses)"
            + builtInForAll });
    row("default classes file malformed", good, "<skyvaneClasses>", {},
        { "classes file \"helicartClasses.xml\" is not well-formed XML (line 1: " },
        "helicartClasses.xml");
    row("classes of another root", good, "<classes/>", { "--classes=c.xml" },
        { "classes file \"c.xml\" has no root element skyvaneClasses" + builtInForAll });
    row("no set for a label", good, classesFile(), { "--classes=c.xml" },
        { "classes file \"c.xml\" has no set for \"T\" and no default set: the built-in classes "
          "are used for column \"T\"" });
    row("colour from a FIFO", good, classesFile(defaultSetColoured("fifo")), { "--classes=c.xml" },
        { "classes file \"c.xml\", default set, class 1: colour \"fifo\" cannot be used (not a "
          "regular file)" });
    const QString set = "classes file \"c.xml\", default set";
    row("classes that cannot mean what they say", good,
        "<skyvaneClasses><privzeto>"
        "<razred><zacetek>0.5</zacetek><barva>#000001</barva></razred>"
        "<razred><zacetek>abc</zacetek><konec>10</konec><barva>#000002</barva></razred>"
        "<razred><zacetek>800</zacetek><konec>100</konec><barva>#000003</barva></razred>"
        "<razred><zacetek>100</zacetek><konec>300</konec><barva>#000004</barva></razred>"
        "<razred><zacetek>200</zacetek><konec>500</konec><barva>#000005</barva></razred>"
        "<razred><zacetek>500</zacetek><konec>600</konec></razred>"
        "<razred><zacetek>600</zacetek><konec>700</konec><barva>red</barva></razred>"
        "</privzeto></skyvaneClasses>",
        { "--classes=c.xml" },
        { set + ", class 1 has no konec: 0 is used",
            set + ", class 2 zacetek \"abc\" is not a number: 0 is used",
            set + ", class 1 (0.5, 0]: its end is not above its start",
            set + ", class 3 (800, 100]: its end is not above its start",
            set + ": classes 4 and 5 overlap: a value in (200, 300] is counted in one of them only",
            set + ", class 6 has no colour (barva): it is not filled",
            set
                + ", class 7: colour \"red\" cannot be used (No such file or directory; write "
                  "#rrggbb for a colour)" });
    row("a set without classes", good, "<skyvaneClasses><privzeto/></skyvaneClasses>",
        { "--classes=c.xml" },
        { set + " has no class (razred): the chart's default classes are used" });
    row("no readable time stamp",
        twoColumns({ "2012-07-05 10:30\t512\t20", "2012-07-05 10:40\t1\t2" }), {}, {},
        { "input file \"input.txt\": no data line has a time stamp that can be read (line 9: "
          "\"2012-07-05 10:30\"); the accepted forms are \"dd.MM.yyyy hh:mm\" and "
          "\"dd/MM/yyyy hh:mm\"" });
    row("some time stamps unreadable",
        twoColumns(
            { kGoodLines[0], "05.07.2012 10:40:00\t1\t2", kGoodLines[1], "", kGoodLines[2] }),
        {}, {},
        { "input file \"input.txt\": 2 time stamps cannot be read (the first on line 10: "
          "\"05.07.2012 10:40:00\"); those lines count as unknown" });
    row("a column without a good value",
        twoColumns({ "05.07.2012 10:30\t512\tn/a", "05.07.2012 10:40\t530\t" }), {}, {},
        { "column \"T\" has no good measurement: all 2 data lines count as unknown" });
    row("not UTF-8",
        twoColumns()
            + "05.07.2012 11:00\t1\t2 \xb0"
              "C\n",
        {}, {}, { "input file \"input.txt\" is not valid UTF-8, first on line 12" });
    row("no data line", twoColumns({}), {}, {},
        { "input file \"input.txt\" has no data line after its header: the roses are empty" });
    // A file that does not fit the layout it is read with: what would fit, one line each.
    QByteArray labelLine = "Time\tGSR\tT\n";
    QByteArray semicolons = "Time;GSR;T\n";
    for (int i = 0; i < 9; ++i) {
        labelLine += QByteArray("05.07.2012 10:3") + char('0' + i) + "\t1\t2\n";
        if (i < 7)
            semicolons += QByteArray("05.07.2012 10:3") + char('0' + i) + ";1;2\n";
    }
    const QString header
        = "input file \"input.txt\": header row 2 looks like a data line: is the header one line "
          "of labels? try --header=plain";
    row("hint: a header of one line", labelLine, {}, {}, { header });
    row("hint: ISO stamps", twoColumns({ "2012-07-05T10:30:00Z\t512\t20" }), {}, {},
        { "; \"2012-07-05T10:30:00Z\" looks like ISO 8601: try --timeFormat=iso" });
    row("hint: semicolons", semicolons, {}, {},
        { "input file \"input.txt\" has no parameter column (header row 6 holds no label after "
          "the time column): no image is written; its first lines hold no tab but semicolons: "
          "try --separator=semicolon",
            header });
    row("hint: decimal commas",
        twoColumns({ "05.07.2012 10:30\t512,5\t20", "05.07.2012 10:40\t530,25\t20" }), {}, {},
        { "column \"GSR\" has no good measurement: all 2 data lines count as unknown; values such "
          "as \"512,5\" read with a decimal comma: try --decimalComma" });
    row("hint: day and month order never guessed", twoColumns({ "6/1/2023 1:10\t1\t2" }), {}, {},
        { "; \"6/1/2023 1:10\" does not tell whether its day or its month comes first: try "
          "--timeFormat=\"d/M/yyyy H:mm\" (day first) or --timeFormat=\"M/d/yyyy H:mm\" (month "
          "first)" });
    row("hint: month first among stamps read as day first",
        twoColumns({ "06/01/2023 10:30\t1\t2", "06/13/2023 10:30\t1\t2" }), {}, {},
        { "1 time stamp cannot be read (the first on line 10: \"06/13/2023 10:30\"); those lines "
          "count as unknown; \"06/13/2023 10:30\" has its month first, so the stamps read may "
          "have day and month swapped: try --timeFormat=\"MM/dd/yyyy HH:mm\"" });
    row("translation not loadable", good, {}, { "--lang=XX" },
        { "translation \"XX\" cannot be loaded from the working folder nor from \"" });
    row("options first, then the input, then the columns",
        twoColumns({ "05.07.2012 10:30\t512\t", "x\t1\t2" }), {}, { "--x", "--timeShift=2000" },
        { "ignored argument \"--x\"", "--timeShift value \"2000\" is not a whole number",
            "1 time stamp cannot be read (the first on line 10: \"x\")",
            "column \"T\" has no good measurement: all 2 data lines" });
}

// Each warning is one line with the prefix and a line feed; none changes the exit status.
void TestWarnings::warnings()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, classes);
    QFETCH(QString, classesName);
    QFETCH(QStringList, options);
    QFETCH(QStringList, expected);

    QVERIFY(writeFile(work("input.txt"), input));
    if (!classes.isEmpty())
        QVERIFY(writeFile(work(classesName), classes));
    QCOMPARE(mkfifo(QFile::encodeName(work("fifo")).constData(), 0600), 0);

    const Result result = run(options);
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QByteArray());
    QVERIFY2(result.err.isEmpty() || result.err.endsWith('\n'), result.err.constData());
    const QList<QByteArray> lines
        = result.err.isEmpty() ? QList<QByteArray>() : result.err.chopped(1).split('\n');
    QCOMPARE(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i));
        QVERIFY2(
            lines.at(i).startsWith(kPrefix) && line.contains(expected.at(i)), qPrintable(line));
    }
    // The run still made its images.
    QVERIFY(input.count('\n') <= 8
        || !QDir(work("out")).entryList({ "*.png" }, QDir::Files | QDir::Hidden).isEmpty());
}

// A colour naming the standard input, which stays open: no waiting for it.
void TestWarnings::colourFromOpenStandardInput()
{
    QVERIFY(writeFile(work("input.txt"), twoColumns()));
    QVERIFY(writeFile(work("c.xml"), classesFile(defaultSetColoured("/dev/stdin"))));
    QProcess process;
    process.setWorkingDirectory(m_work->path());
    process.start(m_recorded, { "--input=input.txt", "--output=out/day", "--classes=c.xml" });
    QVERIFY(process.waitForStarted());
    const bool finished = process.waitForFinished(60000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    QVERIFY2(finished, "the run waits for its standard input");
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(),
        kPrefix
            + "classes file \"c.xml\", default set, class 1: colour \"/dev/stdin\" cannot be used "
              "(not a regular file)\n");
}

void TestWarnings::timeShift_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("times"); // of the measurements the chart gets

    QTest::newRow("none") << QStringList() << QStringList { "10:30", "23:30", "00:10" };
    QTest::newRow("an hour on") << QStringList { "--timeShift=60" }
                                << QStringList { "11:30", "00:30", "01:10" };
    QTest::newRow("an hour back") << QStringList { "--timeShift=-60" }
                                  << QStringList { "09:30", "22:30", "23:10" };
    QTest::newRow("ten minutes") << QStringList { "--TimeShift=10" }
                                 << QStringList { "10:40", "23:40", "00:20" };
}

// The shift moves the time of day that picks the hour sector, around midnight; the dates and
// the time range stay as read.
void TestWarnings::timeShift()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, times);
    const QByteArray input = measurementFile({ "GSR" }, { "W/m2" },
        { "05.07.2012 10:30\t1", "05.07.2012 23:30\t2", "06.07.2012 00:10\t3" });
    QVERIFY(writeFile(work("input.txt"), input));
    const Result result = run(options);
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());

    const QStringList calls = recordedCalls(m_log);
    QStringList expected;
    for (int i = 0; i < times.size(); ++i)
        expected << QStringLiteral("addSolarMeasurement|%1|%2").arg(times.at(i)).arg(i + 1);
    QCOMPARE(callsNamed(calls, "addSolarMeasurement"), expected);
    QCOMPARE(callsNamed(calls, "setIntervalText"),
        QStringList { "setIntervalText|Data from 05.07.12 10:30:00 till 06.07.12 00:10:00" });
    const QStringList legend = callsNamed(calls, "setLegendText");
    QCOMPARE(legend.size(), 1);
    QVERIFY(legend.first().startsWith("setLegendText|Ljubljana\n05.07.12 10:30\n06.07.12 00:10\n"));
}

// The example without its deliberately broken time stamps, through the real chart plug-in:
// nothing on either stream.
void TestWarnings::cleanExampleIsSilent()
{
    const QList<QByteArray> lines
        = readFile(HELICART_SOURCE_DIR "/examples/station.txt").split('\n');
    QByteArray clean;
    for (int i = 0; i < lines.size(); ++i) {
        if (i < 8 || hasPlainStamp(lines.at(i)))
            clean += lines.at(i) + '\n';
    }
    const Result result = runExample(clean);
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, QByteArray());
}

void TestWarnings::translationInAnyCase()
{
    QVERIFY(copyFile(HELICART_BINARY_DIR "/bin/translations/SLO.qm", work("SLO.qm")));
    QVERIFY(writeFile(work("input.txt"), twoColumns()));
    const Result result = run({ "--lang=slo" });
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());
}

void TestWarnings::countsAddUp_data()
{
    QTest::addColumn<QByteArray>("input"); // empty: the example
    QTest::addColumn<QString>("warning"); // a piece of the one warning expected; empty: none

    QTest::newRow("the example") << QByteArray() << QString();
    // The classes: (-50, 0], (0, 500] and (600, 1500]; an unknown line too.
    QTest::newRow("values outside every class")
        << measurementFile({ "GSR" }, { "W/m2" },
               { "05.07.2012 10:30\t-60", "05.07.2012 10:40\t-50", "05.07.2012 10:50\t0",
                   "05.07.2012 11:00\t550", "05.07.2012 11:10\t1600", "05.07.2012 11:20\t100",
                   "05.07.2012 11:30\t" })
        << "column \"GSR\": 4 good values (57.14 % of all lines) are in no class, so neither the "
           "rose nor the table counts them: 2 values below -50, 1 above 1500, 1 between classes";
    QTest::newRow("overlapping classes")
        << measurementFile({ "T" }, { "C" }, { "05.07.2012 10:30\t250" })
        << "classes 1 and 2 overlap: a value in (200, 300] is counted in class ";
}

// The counts file of every column, through the real chart: a line per sector and class, then
// the unknown lines and the values outside every class; its counts add up to all data lines.
void TestWarnings::countsAddUp()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, warning);
    const QByteArray classes
        = "<skyvaneClasses><parameter><oznaka>GSR</oznaka>"
          "<razred><zacetek>-50</zacetek><konec>0</konec><barva>#000001</barva></razred>"
          "<razred><zacetek>0</zacetek><konec>500</konec><barva>#000002</barva></razred>"
          "<razred><zacetek>600</zacetek><konec>1500</konec><barva>#000003</barva></razred>"
          "</parameter><parameter><oznaka>T</oznaka>"
          "<razred><zacetek>0</zacetek><konec>300</konec><barva>#000001</barva></razred>"
          "<razred><zacetek>200</zacetek><konec>500</konec><barva>#000002</barva></razred>"
          "</parameter></skyvaneClasses>";
    const QByteArray station
        = input.isEmpty() ? readFile(HELICART_SOURCE_DIR "/examples/station.txt") : input;
    QVERIFY(writeFile(work("station.txt"), station));
    const QString classesFile = input.isEmpty() ? HELICART_SOURCE_DIR
        "/examples/helicartClasses.xml"
                                                : work("classes.xml");
    if (!input.isEmpty())
        QVERIFY(writeFile(classesFile, classes));
    Result result;
    result.status = TestSupport::runProgram(HELICART_PROGRAM,
        { "--input=station.txt", "--output=out/station", "--classes=" + classesFile,
            "--format=csv" },
        m_work->path(), &result.out, &result.err);
    QCOMPARE(result.status, 0);
    if (!warning.isEmpty())
        QVERIFY2(QString::fromUtf8(result.err).contains(warning), result.err.constData());

    const qsizetype dataLines = station.count('\n') - 8;
    for (int k = 0;; ++k) {
        const QString name = work(QStringLiteral("out/stationC%1.csv").arg(k, 3, 10, QChar('0')));
        if (!QFile::exists(name)) {
            QVERIFY(k > 0);
            break;
        }
        const QList<QByteArray> lines = readFile(name).split('\n');
        QCOMPARE(lines.first(),
            "sector,from,to,class,low,high,count,percent_of_all,percent_of_sector\r");
        qint64 sum = 0;
        for (qsizetype i = 1; i < lines.size() - 1; ++i) {
            const QList<QByteArray> fields = lines.at(i).split(',');
            QCOMPARE(fields.size(), 9);
            sum += fields.at(6).toLongLong();
        }
        QCOMPARE(sum, dataLines);
    }
}

HELICART_GUI_TEST_MAIN(TestWarnings)
#include "tst_warnings.moc"
