// The run as the program does it: against a chart plug-in that records every call (copied as
// compassplot.so beside a copy of the program), with the real chart plug-in on the example
// data, and from an installed tree.
#include "endtoendsupport.h"
#include "qsolarrose.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

using namespace EndToEnd;

namespace {

const QString kRecordingLog = QStringLiteral("HELICART_RECORDING_LOG");

// One line of two parameter columns: what the tests of calls that reach every chart read.
QByteArray twoColumnInput()
{
    return measurementFile({ "GSR", "T" }, { "W/m2", "C" }, { "05.07.2012 13:45\t512.25\t20.5" });
}

struct Result
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

const QByteArray kClasses = R"(<?xml version="1.0" encoding="UTF-8"?>
<skyvaneClasses>
  <parameter>
    <oznaka>GSR</oznaka>
    <procentDobrih>70</procentDobrih>
    <razred><zacetek>0</zacetek><konec>500</konec><barva>#ff0000</barva></razred>
    <razred><zacetek>500</zacetek><konec>1000</konec><barva>#00ff00</barva></razred>
  </parameter>
  <privzeto>
    <procentDobrih>50</procentDobrih>
    <skala>ne</skala>
    <razred><zacetek>-50</zacetek><konec>50</konec><barva>#0000ff</barva></razred>
  </privzeto>
</skyvaneClasses>
)";

// Pixels within tolerance of colour in area.
int pixelsNear(const QImage &image, const QRect &area, QColor colour, int tolerance)
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (TestSupport::colorNear(QColor::fromRgba(image.pixel(x, y)), colour, tolerance))
                ++count;
        }
    }
    return count;
}

// Where the legend's free text sits: the top right corner of a rose image.
QRect freeTextCorner(const QImage &image)
{
    return QRect(image.width() - 80, 0, 80, 30);
}

const QColor kWarning(255, 210, 210);

// Height of a table image's title bar: the header fill reaches down to the bar's border line.
int titleBarHeight(const QImage &table)
{
    const QColor fill = table.pixelColor(3, 3);
    int y = 3;
    while (y < table.height() && table.pixelColor(3, y) == fill)
        ++y;
    return y;
}

// Pixels of the dial's shaded ring, outside the white disc of radius disc that carries the
// data, where a and b differ by more than tolerance. The ring labels of the scale (along the
// 55 degree ray, lower right) and the time stamp are left out.
int dialRingDifferences(const QImage &a, const QImage &b, int disc, int tolerance)
{
    const int size = a.height();
    const QPoint centre(size / 2, size / 2);
    const QRect stamp = TestSupport::timeStampArea(a);
    int differing = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QPoint d = QPoint(x, y) - centre;
            const double r = std::hypot(d.x(), d.y());
            const double angle = std::atan2(d.y(), d.x()) * 180 / M_PI;
            if (r < disc + 3 || r > size / 2 - 6 || (angle > 35 && angle < 75)
                || stamp.contains(x, y))
                continue;
            if (!TestSupport::colorNear(a.pixelColor(x, y), b.pixelColor(x, y), tolerance))
                ++differing;
        }
    }
    return differing;
}

// How far a drawing rendered back may stray from its image: a pixel matches when a pixel of
// the image at most one pixel away has its colour within the tolerance. Texts set without the
// image's hinting and the day shade in slices stay within that; anything placed elsewhere
// does not.
constexpr int kDrawingTolerance = 64;

int strayPixels(const QImage &rendered, const QImage &image)
{
    const QRect stamp = TestSupport::timeStampArea(image);
    int stray = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (stamp.contains(x, y))
                continue;
            const QColor colour = rendered.pixelColor(x, y);
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    near = image.rect().contains(x + dx, y + dy)
                        && TestSupport::colorNear(
                            colour, image.pixelColor(x + dx, y + dy), kDrawingTolerance);
                }
            }
            stray += near ? 0 : 1;
        }
    }
    return stray;
}

// Whether the drawing rendered back is image, save for at most one pixel in a hundred (small
// texts are hinted in the image, not in the drawing).
bool looksAs(const QImage &rendered, const QImage &image, const QString &name)
{
    TestSupport::saveOutput(rendered, "endtoend_" + name + ".png");
    if (rendered.size() != image.size())
        return false;
    const int stray = strayPixels(rendered, image);
    if (stray > image.width() * image.height() / 100)
        qWarning() << name << stray << "pixels differ";
    return stray <= image.width() * image.height() / 100;
}

// An SVG document that is well-formed XML without any raster image, of the image's size in
// pixels, and that renders as the image does.
bool svgLooksAs(const QString &fileName, const QImage &image)
{
    const QByteArray svg = TestSupport::readFile(fileName);
    QXmlStreamReader reader(svg);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"image")
            return false;
    }
    QSvgRenderer renderer(svg);
    if (reader.hasError() || !renderer.isValid() || renderer.defaultSize() != image.size())
        return false;
    QImage rendered(image.size(), QImage::Format_ARGB32);
    rendered.fill(0);
    QPainter painter(&rendered);
    renderer.render(&painter);
    painter.end();
    return looksAs(rendered, image, QFileInfo(fileName).fileName());
}

// A PDF document without any raster image that, where pdftoppm is installed, renders at 96
// dots per inch as the image does.
bool pdfLooksAs(const QString &fileName, const QImage &image)
{
    const QByteArray pdf = TestSupport::readFile(fileName);
    if (!pdf.startsWith("%PDF-") || pdf.contains("/Subtype /Image"))
        return false;
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        return true;
    const QString page = fileName + ".page";
    if (TestSupport::runProgram(pdftoppm, { "-r", "96", "-png", "-singlefile", fileName, page },
            QFileInfo(fileName).path())
        != 0)
        return false;
    const QImage rendered = QImage(page + ".png").convertToFormat(QImage::Format_ARGB32);
    // A page measures whole points: up to a point more than the image, blank.
    const QSize extra = rendered.size() - image.size();
    if (extra.width() < 0 || extra.height() < 0 || extra.width() > 2 || extra.height() > 2)
        return false;
    return looksAs(rendered.copy(image.rect()), image, QFileInfo(fileName).fileName());
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void callSequence();
    void fixedScale_data();
    void fixedScale();
    void twoColumns();
    void onlyTimeColumn();
    void notASolarRose();
    void lostImages_data();
    void lostImages();
    void freakPrecision();
    void headerOnly();
    void imageHeightCall_data();
    void imageHeightCall();
    void formats_data();
    void formats();

    void exampleImages();
    void exampleRepeatable();
    void exampleFixedScaleStaysInTheDial();
    void exampleWarning();
    void exampleSlovenian();
    void exampleImageHeight_data();
    void exampleImageHeight();
    void exampleFormats();

    void installedTree();

private:
    // Runs the program copy that loads the recording plug-in, in a fresh working folder
    // holding input.txt and helicartClasses.xml, with the log in a fresh file.
    Result runRecorded(const QByteArray &input, const QStringList &options);
    QString work(const QString &path) const { return m_work->filePath(path); }
    // Runs the built program in a fresh folder holding the example and its classes.
    Result runExample(const QStringList &options, const QByteArray &classes = QByteArray());
    QImage exampleImage(const QString &name) const
    {
        return QImage(m_example->filePath(name)).convertToFormat(QImage::Format_ARGB32);
    }

    QTemporaryDir m_programs;
    QString m_recorded; // the program beside the recording plug-in
    QString m_plain; // the program beside a plug-in that is no solar rose
    QString m_log;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<QTemporaryDir> m_example;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY(m_programs.isValid());
    m_recorded = m_programs.filePath("recording/bin/helicart");
    m_plain = m_programs.filePath("plain/bin/helicart");
    for (const QString &program : { m_recorded, m_plain }) {
        QVERIFY(copyFile(HELICART_PROGRAM, program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(HELICART_PROGRAM)));
    }
    QVERIFY(copyFile(
        ENDTOEND_RECORDING_PLUGIN, m_programs.filePath("recording/bin/plugins/compassplot.so")));
    QVERIFY(
        copyFile(ENDTOEND_PLAIN_PLUGIN, m_programs.filePath("plain/bin/plugins/compassplot.so")));
    m_log = m_programs.filePath("calls.log");
    qputenv(kRecordingLog.toUtf8(), m_log.toUtf8());
}

void TestEndToEnd::init()
{
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());
    QVERIFY(QDir(m_work->path()).mkpath("out"));
    QFile::remove(m_log);
}

Result TestEndToEnd::runRecorded(const QByteArray &input, const QStringList &options)
{
    Result result;
    if (!writeFile(work("input.txt"), input) || !writeFile(work("helicartClasses.xml"), kClasses))
        return result;
    result.status = TestSupport::runProgram(m_recorded,
        QStringList { "--input=input.txt", "--output=out/day" } + options, m_work->path(),
        &result.out, &result.err);
    return result;
}

Result TestEndToEnd::runExample(const QStringList &options, const QByteArray &classes)
{
    Result result;
    m_example = std::make_unique<QTemporaryDir>();
    const QString examples = QStringLiteral(HELICART_SOURCE_DIR "/examples/");
    if (!m_example->isValid() || !QDir(m_example->path()).mkpath("out")
        || !copyFile(examples + "station.txt", m_example->filePath("station.txt")))
        return result;
    const QByteArray classesText
        = classes.isEmpty() ? readFile(examples + "helicartClasses.xml") : classes;
    if (!writeFile(m_example->filePath("helicartClasses.xml"), classesText))
        return result;
    result.status = TestSupport::runProgram(HELICART_PROGRAM,
        QStringList { "--input=station.txt", "--output=out/station" } + options, m_example->path(),
        &result.out, &result.err);
    return result;
}

// One column: every call the run makes, in order, with its exact texts.
void TestEndToEnd::callSequence()
{
    const QByteArray input = measurementFile({ "GSR" }, { " W/m2" },
        { "05.07.2012 13:45\t512.25", "05.07.2012 13:55\tn/a", "05.07.2012 14:05\t600.5" });
    const Result result = runRecorded(input, {});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.out, QByteArray());

    const QStringList expected {
        "create|0",
        "setUnitText| W/m2",
        "setSpeedDirectionText|Time\\GSR[ W/m2]",
        "setLegendTitle|GSR\n[W/m2]",
        "setParameterText|GSR",
        "setStationText|Ljubljana",
        "setIntervalText|Data from 05.07.12 13:45:00 till 05.07.12 14:05:00",
        "addIntervalRange|0|500|#ffff0000|1|-1|1",
        "addIntervalRange|500|1000|#ff00ff00|1|-1|1",
        "addSolarMeasurement|13:45|512.25",
        "addSolarMeasurement|14:05|600.5",
        "setLegendPrecision|2",
        "setAllDataCount|3",
        "setEnableGrid|true",
        "setStatisticsText|No. all: 3   No. good: 2   No. unknown: 1 (33%)",
        // 2 of 3 good misses the required 70 %.
        "setLegendText|Ljubljana\n05.07.12 13:45\n05.07.12 14:05\nall: 3\ngood: 2\nunknown: "
        "33%|true",
        "drawImage|null",
        "getTableData",
        "drawImage|null",
        "destroy|0",
    };
    QCOMPARE(recordedCalls(m_log), expected);

    const QImage rose(work("out/dayS000.png"));
    const QImage table(work("out/dayT000.png"));
    QCOMPARE(rose.size(), QSize(400, 300));
    QCOMPARE(table.size(), rose.size());
    QCOMPARE(QImage(work("out/day.png")).size(), rose.size());
}

void TestEndToEnd::fixedScale_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("neither") << QStringList() << QStringList();
    QTest::newRow("maximum only") << QStringList { "--scaleMax=5" } << QStringList();
    QTest::newRow("grid only") << QStringList { "--scaleGrid=1" } << QStringList();
    QTest::newRow("maximum not a number")
        << QStringList { "--scaleMax=abc", "--scaleGrid=1" } << QStringList();
    QTest::newRow("both") << QStringList { "--scaleMax=5", "--scaleGrid=1" }
                          << QStringList { "setFixedScale|5|1", "setFixedScale|5|1" };
}

// The fixed scale reaches every chart, and only when both of its options are given.
void TestEndToEnd::fixedScale()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, calls);
    const QByteArray input = twoColumnInput();
    QCOMPARE(runRecorded(input, options).status, 0);
    const QStringList recorded = recordedCalls(m_log);
    QCOMPARE(callsNamed(recorded, "setFixedScale"), calls);
    if (!calls.isEmpty()) {
        QCOMPARE(recorded.at(recorded.indexOf("create|0") + 1), calls.first());
        QCOMPARE(recorded.at(recorded.indexOf("create|1") + 1), calls.first());
    }
}

// Two columns: a fresh chart each, its own files, and the second rose painted over the
// first without background into the combined image.
void TestEndToEnd::twoColumns()
{
    const QByteArray input = measurementFile({ "GSR", "Air temperature at two metres" },
        { "W/m2", "C" }, { "05.07.2012 13:45\t512.25\t20.5", "05.07.2012 13:55\t\t21" });
    const Result result = runRecorded(input, {});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err, QByteArray());

    QCOMPARE(QDir(work("out")).entryList(QDir::Files, QDir::Name),
        QStringList({ "day.png", "dayS000.png", "dayS001.png", "dayT000.png", "dayT001.png" }));

    const QStringList calls = recordedCalls(m_log);
    const qsizetype second = calls.indexOf("create|1");
    QVERIFY(second > calls.indexOf("destroy|0"));
    QCOMPARE(calls.last(), QString("destroy|1"));
    // The second chart: the label of 29 characters gets a line per word, the classes of
    // the default set, the grid switched off by it, and the background off only for the
    // drawing into the combined image.
    const QStringList secondCalls = calls.mid(second);
    QVERIFY(secondCalls.contains("setLegendTitle|Air\ntemperature\nat\ntwo\nmetres\n[C]"));
    QVERIFY(secondCalls.contains("addIntervalRange|-50|50|#ff0000ff|1|-1|1"));
    QCOMPARE(callsNamed(secondCalls, "addSolarMeasurement"),
        QStringList({ "addSolarMeasurement|13:45|20.5", "addSolarMeasurement|13:55|21" }));
    QVERIFY(secondCalls.contains("setEnableGrid|false"));
    QCOMPARE(callsNamed(calls, "setEnableBackground"), QStringList { "setEnableBackground|false" });
    QCOMPARE(secondCalls.mid(secondCalls.size() - 4),
        QStringList(
            { "getTableData", "setEnableBackground|false", "drawImage|400x300", "destroy|1" }));
    QCOMPARE(callsNamed(calls.mid(0, second), "drawImage"),
        QStringList({ "drawImage|null", "drawImage|null" }));

    // Each chart paints its square; the combined image keeps the first one's ground.
    const QImage first(work("out/dayS000.png"));
    const QImage secondRose(work("out/dayS001.png"));
    const QImage combined(work("out/day.png"));
    QCOMPARE(first.pixelColor(20, 20), QColor(Qt::blue));
    QCOMPARE(first.pixelColor(60, 20), QColor(Qt::white));
    QCOMPARE(secondRose.pixelColor(20, 20), QColor(Qt::white));
    QCOMPARE(secondRose.pixelColor(60, 20), QColor(Qt::blue));
    QCOMPARE(combined.pixelColor(20, 20), QColor(Qt::blue));
    QCOMPARE(combined.pixelColor(60, 20), QColor(Qt::blue));
    QCOMPARE(combined.pixelColor(200, 200), QColor(Qt::white));
    QCOMPARE(QImage(work("out/dayT001.png")).size(), secondRose.size());
}

// A header with only the time stamp column: no chart, no file, and that is no failure.
void TestEndToEnd::onlyTimeColumn()
{
    const Result result = runRecorded(measurementFile({}, {}, { "05.07.2012 13:45" }), {});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.err,
        QByteArray("helicart: warning: input file \"input.txt\" has no parameter column (header "
                   "row 6 holds no label after the time column): no image is written\n"));
    QVERIFY(QDir(work("out")).isEmpty());
    QCOMPARE(recordedCalls(m_log), QStringList());
}

// A plug-in whose instance is no solar rose is no chart plug-in.
void TestEndToEnd::notASolarRose()
{
    QVERIFY(writeFile(
        work("input.txt"), measurementFile({ "GSR" }, { "W/m2" }, { "05.07.2012 13:45\t512.25" })));
    Result result;
    result.status = TestSupport::runProgram(m_plain,
        { "--input=input.txt", "--output=out/day", "--classes=none.xml" }, m_work->path(),
        &result.out, &result.err);
    QCOMPARE(result.status, 246);
    QCOMPARE(result.out, QByteArray("Cannot load 'solarRose' plugin"));
    QCOMPARE(result.err, QByteArray());
    QVERIFY(QDir(work("out")).isEmpty());
}

void TestEndToEnd::lostImages_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("blocked"); // a folder where the program wants a file
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QStringList>("written");

    QTest::newRow("one rose") << "out/day"
                              << "out/dayS000.png"
                              << QByteArray("Can not write output file: out/dayS000.png.\n")
                              << QStringList { "dayS001.png", "dayT000.png", "dayT001.png",
                                     "day.png" };
    QTest::newRow("the combined image")
        << "out/day"
        << "out/day.png" << QByteArray("Can not write output file: out/day.png.\n")
        << QStringList { "dayS000.png", "dayS001.png", "dayT000.png", "dayT001.png" };
    QTest::newRow("a folder that is not there")
        << "missing/day" << QString()
        << QByteArray("helicart: warning: output folder \"missing\" does not exist: no file can "
                      "be written\n"
                      "Can not write output file: missing/dayS000.png.\n"
                      "Can not write output file: missing/dayT000.png.\n"
                      "Can not write output file: missing/dayS001.png.\n"
                      "Can not write output file: missing/dayT001.png.\n"
                      "Can not write output file: missing/day.png.\n")
        << QStringList();
}

// An image that cannot be written is reported, a line each; the run goes on with the others
// and ends with -6.
void TestEndToEnd::lostImages()
{
    QFETCH(QString, prefix);
    QFETCH(QString, blocked);
    QFETCH(QByteArray, message);
    QFETCH(QStringList, written);
    if (!blocked.isEmpty())
        QVERIFY(QDir(m_work->path()).mkpath(blocked));
    const QByteArray input = twoColumnInput();
    const Result result = runRecorded(input, { "--output=" + prefix });
    QCOMPARE(result.status, 250);
    QCOMPARE(result.err, message);
    for (const QString &name : written)
        QVERIFY2(!QImage(work("out/" + name)).isNull(), qPrintable(name));
}

// A value of a hundred thousand decimals asks for no number texts of that length.
void TestEndToEnd::freakPrecision()
{
    const QByteArray value = "0." + QByteArray(100000, '5');
    const QByteArray input = measurementFile({ "GSR" }, { "W/m2" }, {}) + "05.07.2012 13:45\t"
        + value + "\n05.07.2012 13:55\t1.5\n";
    QCOMPARE(runRecorded(input, {}).status, 0);
    QCOMPARE(callsNamed(recordedCalls(m_log), "setLegendPrecision"),
        QStringList { "setLegendPrecision|15" });
}

// A file with its header rows and no data line: every text handed to the chart is free of
// "nan" (nothing is good, so all of nothing is unknown), and the legend text is a warning.
void TestEndToEnd::headerOnly()
{
    const QByteArray input = measurementFile({ "GSR" }, { "W/m2" }, {});
    QCOMPARE(runRecorded(input, {}).status, 0);
    const QStringList calls = recordedCalls(m_log);
    QVERIFY(!calls.isEmpty());
    for (const QString &call : calls)
        QVERIFY2(!call.contains("nan", Qt::CaseInsensitive), qPrintable(call));
    QCOMPARE(callsNamed(calls, "setStatisticsText"),
        QStringList { "setStatisticsText|No. all: 0   No. good: 0   No. unknown: 0 (100%)" });
    const QStringList legend = callsNamed(calls, "setLegendText");
    QCOMPARE(legend.size(), 1);
    QVERIFY(legend.first().endsWith("all: 0\ngood: 0\nunknown: 100%|true"));

    // Through the real chart plug-in: the rose carries the warning box.
    QVERIFY(writeFile(work("input.txt"), input));
    QCOMPARE(TestSupport::runProgram(HELICART_PROGRAM,
                 { "--input=input.txt", "--output=out/day", "--classes=none.xml" }, m_work->path()),
        0);
    const QImage rose = QImage(work("out/dayS000.png")).convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!rose.isNull());
    QVERIFY(pixelsNear(rose, freeTextCorner(rose), kWarning, 0) > 50);
}

void TestEndToEnd::imageHeightCall_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("not given") << QStringList() << QStringList();
    QTest::newRow("out of range") << QStringList { "--imageHeight=99" } << QStringList();
    QTest::newRow("given") << QStringList { "--imageHeight=960" }
                           << QStringList { "setImageHeight|960", "setImageHeight|960" };
}

// A valid height reaches every chart before it draws; otherwise the charts keep their own.
void TestEndToEnd::imageHeightCall()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, calls);
    const QByteArray input = twoColumnInput();
    QCOMPARE(runRecorded(input, options).status, 0);
    const QStringList recorded = recordedCalls(m_log);
    QCOMPARE(callsNamed(recorded, "setImageHeight"), calls);
    for (const char *chart : { "0", "1" }) {
        const QStringList own = recorded.mid(recorded.indexOf(QString("create|") + chart));
        const qsizetype height = own.indexOf("setImageHeight|960");
        QVERIFY(calls.isEmpty() || (height >= 0 && height < own.indexOf("drawImage|null")));
    }
}

void TestEndToEnd::formats_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("err");

    const QStringList png { "day.png", "dayS000.png", "dayS001.png", "dayT000.png", "dayT001.png" };
    const QStringList tsv { "dayT000.tsv", "dayT001.tsv" };
    // The recording chart offers no painting onto other painters.
    const QByteArray noDrawings = "helicart: warning: the chart plug-in cannot paint onto other "
                                  "painters (helicart.rosePainter/1.0): no svg or pdf files are "
                                  "written\n";
    QTest::newRow("default") << QStringList() << png << QByteArray();
    QTest::newRow("png named") << QStringList { "--format=png" } << png << QByteArray();
    QTest::newRow("table text only") << QStringList { "--format=tsv" } << tsv << QByteArray();
    QTest::newRow("both") << QStringList { "--format=tsv,png" } << (png + tsv) << QByteArray();
    QTest::newRow("drawings from a chart that cannot paint them")
        << QStringList { "--format=svg,png,pdf,tsv" } << (png + tsv) << noDrawings;
}

// Each format writes its files and no other; the table text holds the chart's table data, a
// line each, in UTF-8 with line feeds.
void TestEndToEnd::formats()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, files);
    const QByteArray input = measurementFile({ "GSR", "T" }, { "W/m2", QString::fromUtf8("°C") },
        { "05.07.2012 13:45\t512.25\t20.5", "05.07.2012 13:55\t\t21" });
    const Result result = runRecorded(input, options);
    QCOMPARE(result.status, 0);
    QTEST(result.err, "err");
    files.sort();
    QCOMPARE(QDir(work("out")).entryList(QDir::Files, QDir::Name), files);
    if (!files.contains("dayT001.tsv"))
        return;
    const QByteArray text = readFile(work("out/dayT001.tsv"));
    const QString statistics = QString::fromUtf8("No. all: 2   No. good: 2   No. unknown: 0 (0%)");
    QCOMPARE(text,
        QString("Ljubljana\nT\nData from 05.07.12 13:45:00 till 05.07.12 13:55:00\n" + statistics
            + "\nHour\tShare\n12\t50\n")
            .toUtf8());
}

// The example through the real chart plug-in: sizes, and the pixels the classes decide.
void TestEndToEnd::exampleImages()
{
    const Result result = runExample({});
    QCOMPARE(result.status, 0);
    // The plug-ins' search trace stays off the error stream: the one line there tells of the
    // example's broken time stamps.
    QVERIFY2(result.err.startsWith("helicart: warning: input file \"station.txt\": ")
            && result.err.count('\n') == 1,
        result.err.constData());
    QCOMPARE(result.out, QByteArray());

    const QImage first = exampleImage("out/stationS000.png");
    for (int k = 0; k < 3; ++k) {
        const QImage rose = exampleImage(QString("out/stationS%1.png").arg(k, 3, 10, QChar('0')));
        const QImage table = exampleImage(QString("out/stationT%1.png").arg(k, 3, 10, QChar('0')));
        TestSupport::saveOutput(rose, QString("endtoend_stationS%1.png").arg(k));
        TestSupport::saveOutput(table, QString("endtoend_stationT%1.png").arg(k));
        // The chart's default height, its legend to the right of the square rose.
        QCOMPARE(rose.height(), 520);
        QVERIFY(rose.width() > rose.height());
        QCOMPARE(table.size(), rose.size());
        // Every column meets its required share: no warning box.
        QCOMPARE(pixelsNear(rose, freeTextCorner(rose), kWarning, 0), 0);
    }
    const QImage combined = exampleImage("out/station.png");
    QCOMPARE(combined.height(), 520);
    // Later roses bring their legends along, beside the first one's.
    QVERIFY(combined.width() > first.width());
    QCOMPARE(combined.pixelColor(first.height() / 2, 5), first.pixelColor(first.height() / 2, 5));

    // The radiation classes that take a share: in the rose (the square at the left) and in
    // the legend's bars.
    const QRect roseArea(0, 0, first.height(), first.height());
    const QRect legendArea(first.height(), 0, first.width() - first.height(), first.height());
    for (const char *name : { "#ffe066", "#ffc233", "#ff9f1c", "#f4641b", "#c9271a" }) {
        const QColor colour(name);
        QVERIFY2(pixelsNear(first, roseArea, colour, 8) > 0, name);
        QVERIFY2(pixelsNear(first, legendArea, colour, 8) > 0, name);
    }
}

// Two runs give the same images, apart from the time stamp of the roses.
void TestEndToEnd::exampleRepeatable()
{
    QCOMPARE(runExample({}).status, 0);
    QList<QImage> before;
    const QStringList names { "out/stationS000.png", "out/stationT000.png", "out/stationS002.png",
        "out/stationT002.png", "out/station.png" };
    for (const QString &name : names)
        before << exampleImage(name);
    QCOMPARE(runExample({}).status, 0);
    for (int i = 0; i < names.size(); ++i) {
        const QImage after = exampleImage(names.at(i));
        QVERIFY2(!after.isNull(), qPrintable(names.at(i)));
        QCOMPARE(
            TestSupport::differingPixels(before.at(i), after, 0, TestSupport::timeStampArea(after)),
            0);
    }
}

// A fixed scale far below the data: the bars stop at its outer ring, so outside the white disc
// the rose is the automatic one.
void TestEndToEnd::exampleFixedScaleStaysInTheDial()
{
    QCOMPARE(runExample({}).status, 0);
    QList<QImage> automatic;
    for (int k = 0; k < 3; ++k)
        automatic << exampleImage(QString("out/stationS%1.png").arg(k, 3, 10, QChar('0')));
    QCOMPARE(runExample({ "--scaleMax=2", "--scaleGrid=4" }).status, 0);
    const int disc = int(QSolarRose().roseDiameter() * 0.5);
    for (int k = 0; k < 3; ++k) {
        const QImage fixed = exampleImage(QString("out/stationS%1.png").arg(k, 3, 10, QChar('0')));
        TestSupport::saveOutput(fixed, QString("endtoend_fixed_stationS%1.png").arg(k));
        QCOMPARE(fixed.size(), automatic.at(k).size());
        QCOMPARE(dialRingDifferences(fixed, automatic.at(k), disc, 8), 0);
    }
    // Inside the disc the scale shows: the bars and rings differ.
    QVERIFY(TestSupport::differingPixels(exampleImage("out/stationS000.png"), automatic.first(), 8,
                TestSupport::timeStampArea(automatic.first()))
        > 1000);
}

// A column that misses its required share shows the legend's text on the warning colour.
void TestEndToEnd::exampleWarning()
{
    // The temperature column has 99.90 % good lines.
    QByteArray classes = readFile(HELICART_SOURCE_DIR "/examples/helicartClasses.xml");
    QVERIFY(classes.contains("<procentDobrih>99,5</procentDobrih>"));
    classes.replace("<procentDobrih>99,5</procentDobrih>", "<procentDobrih>99,95</procentDobrih>");
    QCOMPARE(runExample({}, classes).status, 0);

    const QImage radiation = exampleImage("out/stationS000.png");
    const QImage temperature = exampleImage("out/stationS001.png");
    TestSupport::saveOutput(temperature, "endtoend_warning.png");
    QCOMPARE(pixelsNear(radiation, freeTextCorner(radiation), kWarning, 0), 0);
    QVERIFY(pixelsNear(temperature, freeTextCorner(temperature), kWarning, 0) > 50);
}

// '--lang=SLO' without SLO.qm in the working folder takes the translation beside the program.
void TestEndToEnd::exampleSlovenian()
{
    QCOMPARE(runExample({}).status, 0);
    const QImage plainRose = exampleImage("out/stationS000.png");
    const QImage plainTable = exampleImage("out/stationT000.png");
    QVERIFY(!QFile::exists(m_example->filePath("SLO.qm")));
    QCOMPARE(runExample({ "--lang=SLO" }).status, 0);
    const QImage rose = exampleImage("out/stationS000.png");
    const QImage table = exampleImage("out/stationT000.png");
    TestSupport::saveOutput(table, "endtoend_stationT000_SLO.png");

    QCOMPARE(table.size(), plainTable.size());
    const int titleHeight = titleBarHeight(table);
    QVERIFY(titleHeight > 20);
    QCOMPARE(titleBarHeight(plainTable), titleHeight);
    const QRect title(0, 0, table.width(), titleHeight);
    const QImage plainTitle = plainTable.copy(title);
    QVERIFY(TestSupport::differingPixels(plainTitle, table.copy(title), 0) > 0);
    // The legend's free text is translated too.
    QVERIFY(TestSupport::differingPixels(plainRose, rose, 0, TestSupport::timeStampArea(rose)) > 0);
}

void TestEndToEnd::exampleImageHeight_data()
{
    QTest::addColumn<int>("height");
    // The lowest height leaves the dial less room than its hour labels take.
    QTest::newRow("lowest") << 100;
    QTest::newRow("large") << 960;
}

// A height of the roses: the roses are as high, the tables as large as their roses, the
// combined image as high.
void TestEndToEnd::exampleImageHeight()
{
    QFETCH(int, height);
    QCOMPARE(runExample({ QString("--imageHeight=%1").arg(height) }).status, 0);
    for (int k = 0; k < 3; ++k) {
        const QImage rose = exampleImage(QString("out/stationS%1.png").arg(k, 3, 10, QChar('0')));
        const QImage table = exampleImage(QString("out/stationT%1.png").arg(k, 3, 10, QChar('0')));
        TestSupport::saveOutput(rose, QString("endtoend_%1_stationS%2.png").arg(height).arg(k));
        QCOMPARE(rose.height(), height);
        QVERIFY(rose.width() > rose.height());
        QCOMPARE(table.size(), rose.size());
    }
    QCOMPARE(exampleImage("out/station.png").height(), height);
}

// Every format of the example: the PNG files byte for byte as without the option (with a fixed
// time stamp), the drawings as vector documents that look as the images do, and the table text
// with a caption, header, hour and sum line structure.
void TestEndToEnd::exampleFormats()
{
    qputenv("SOURCE_DATE_EPOCH", "0");
    const QStringList names { "out/stationS000.png", "out/stationT000.png", "out/stationS002.png",
        "out/stationT002.png", "out/station.png" };
    QCOMPARE(runExample({}).status, 0);
    QList<QByteArray> plain;
    for (const QString &name : names)
        plain << readFile(m_example->filePath(name));
    const Result result = runExample({ "--format=png,svg,pdf,tsv" });
    qunsetenv("SOURCE_DATE_EPOCH");
    QCOMPARE(result.status, 0);
    QVERIFY2(!result.err.contains("helicart: warning: the chart"), result.err.constData());
    for (int i = 0; i < names.size(); ++i)
        QVERIFY2(
            readFile(m_example->filePath(names.at(i))) == plain.at(i), qPrintable(names.at(i)));

    for (const QString &name : names) {
        const QImage image = exampleImage(name);
        const QString stem = name.chopped(4);
        QVERIFY2(svgLooksAs(m_example->filePath(stem + ".svg"), image), qPrintable(stem));
        QVERIFY2(pdfLooksAs(m_example->filePath(stem + ".pdf"), image), qPrintable(stem));
    }

    const QByteArray text = readFile(m_example->filePath("out/stationT000.tsv"));
    QVERIFY(text.endsWith('\n') && !text.contains('\r'));
    const QStringList lines = QString::fromUtf8(text).chopped(1).split('\n');
    // Four captions, the header, 24 hours and the sums.
    QCOMPARE(lines.size(), 4 + 1 + 24 + 1);
    QCOMPARE(lines.at(0), QString("Kamnik - Tunjice"));
    QVERIFY(lines.at(4).startsWith(QString::fromUtf8("Time\\GSR[W/m2]\t")));
    QCOMPARE(lines.at(5).section('\t', 0, 0), QString("12"));
    QCOMPARE(lines.at(28).section('\t', 0, 0), QString("11"));
    QVERIFY(lines.last().startsWith(QChar(0x03A3)));
    for (int i = 5; i < 29; ++i)
        QCOMPARE(lines.at(i).count('\t'), lines.at(4).count('\t'));
}

// `cmake --install` gives a tree that runs from any working folder: the program finds its
// plug-ins (the scale plug-in too: no complaint about it) and its translation.
void TestEndToEnd::installedTree()
{
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QProcess install;
    install.start(
        HELICART_CMAKE_COMMAND, { "--install", HELICART_BINARY_DIR, "--prefix", prefix.path() });
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    for (const char *file : { "bin/helicart", "bin/plugins/compassplot.so",
             "bin/plugins/tickfit.so", "bin/translations/SLO.qm" })
        QVERIFY2(QFile::exists(prefix.filePath(file)), file);

    const QByteArray input = measurementFile({ "GSR" }, { "W/m2" },
        { "05.07.2012 13:45\t512.25", "05.07.2012 13:55\t\t", "05.07.2012 14:05\t600.5" });
    QVERIFY(writeFile(work("data/input.txt"), input));
    QVERIFY(writeFile(work("data/classes.xml"), kClasses));
    const QString program = prefix.filePath("bin/helicart");
    QStringList tables;
    for (const QString &language : { QString(), QString("--lang=SLO") }) {
        Result result;
        const QString output = work(language.isEmpty() ? "out/plain" : "out/slo");
        result.status = TestSupport::runProgram(program,
            { "--input=" + work("data/input.txt"), "--output=" + output,
                "--classes=" + work("data/classes.xml"), language },
            QDir::rootPath(), &result.out, &result.err);
        QCOMPARE(result.status, 0);
        QVERIFY2(!result.err.contains("Unable to load"), result.err.constData());
        QVERIFY(!QImage(output + "S000.png").isNull());
        tables << output + "T000.png";
    }
    const QImage plain(tables.at(0));
    const QImage slovenian(tables.at(1));
    QVERIFY(!plain.isNull());
    QVERIFY(TestSupport::differingPixels(plain, slovenian, 0) != 0);
}

HELICART_GUI_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
