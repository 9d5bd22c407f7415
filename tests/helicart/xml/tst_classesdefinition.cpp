#include "classesdefinition.h"
#include "recordingrose.h"
#include "testsupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QString dataFile(const QString &name)
{
    return QStringLiteral(HELICART_TEST_DATA "/") + name;
}

struct Loaded
{
    RecordingRose rose;
    double goodPercent = -1;
    bool scaleOn = false;
};

// Presets the out-arguments with values no set has, so that a forgotten write shows.
void load(Loaded &loaded, const QString &file, const QString &label, bool presetScaleOn)
{
    loaded.scaleOn = presetScaleOn;
    ClassesDefinition::load(file, label, &loaded.rose, loaded.goodPercent, loaded.scaleOn);
}

bool isBuiltIn(const Loaded &loaded)
{
    return loaded.rose.intervals.size() == 8 && loaded.rose.ranges.isEmpty()
        && loaded.goodPercent == ClassesDefinition::kDefaultGoodPercent && loaded.scaleOn;
}

} // namespace

class TestClassesDefinition : public QObject
{
    Q_OBJECT

private slots:
    void selectsSet_data();
    void selectsSet();
    void classValues();
    void fill_data();
    void fill();
    void builtInClasses();
    void slovenianEncodings_data();
    void slovenianEncodings();
    void externalEntities_data();
    void externalEntities();
    void repeatedEntityExpansion();
};

void TestClassesDefinition::selectsSet_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("builtIn");
    QTest::addColumn<double>("goodPercent");
    QTest::addColumn<bool>("scaleOn");
    QTest::addColumn<int>("classes");

    // Rows of a set found in file, then rows that fall back to the built-in classes.
    const auto row = [](const char *name, const char *file, const char *label, double goodPercent,
                         bool scaleOn, int classes) {
        QTest::newRow(name) << dataFile(file) << QString(label) << false << goodPercent << scaleOn
                            << classes;
    };
    const auto builtIn = [](const char *name, const QString &file) {
        QTest::newRow(name) << file << QStringLiteral("GSR") << true << 75.0 << true << 0;
    };
    row("own set", "classes.xml", "GSR", 82.5, false, 4);
    row("label with apostrophe", "classes.xml", "O'Brien", 11.0, true, 0);
    row("label with both quotes", "classes.xml", "say \"hi\" it's", 12.0, true, 0);
    row("crafted label falls to default", "classes.xml", "x' or '1'='1", 60.0, true, 2);
    row("crafted label with quotes falls to default", "classes.xml",
        "GSR\"] | //parameter[oznaka=\"O'Brien", 60.0, true, 2);
    row("unknown label uses default", "classes.xml", "WS", 60.0, true, 2);
    row("label is compared exactly", "classes.xml", "gsr", 60.0, true, 2);
    row("NE leaves the scale on", "classes.xml", "upper NE", 13.0, true, 0);
    row("'ne ' leaves the scale on", "classes.xml", "trailing space", 14.0, true, 0);
    row("empty skala", "classes.xml", "empty skala", 15.0, true, 0);
    row("percent that is no number", "classes.xml", "no number", 0.0, true, 0);
    row("empty percent", "classes.xml", "empty percent", 75.0, true, 0);
    row("set without classes", "no-default.xml", "GSR", 90.0, true, 0);
    QTest::newRow("no set, no default")
        << dataFile(QStringLiteral("no-default.xml")) << "WS" << true << 75.0 << true << 0;
    builtIn("missing file", dataFile(QStringLiteral("missing.xml")));
    builtIn("empty file name", QString());
    builtIn("malformed", dataFile(QStringLiteral("malformed.xml")));
    builtIn("other root", dataFile(QStringLiteral("wrong-root.xml")));
    builtIn("entity bomb", dataFile(QStringLiteral("billion-laughs.xml")));
}

void TestClassesDefinition::selectsSet()
{
    QFETCH(QString, file);
    QFETCH(QString, label);
    QFETCH(bool, builtIn);
    QFETCH(double, goodPercent);
    QFETCH(bool, scaleOn);
    QFETCH(int, classes);

    Loaded loaded;
    load(loaded, file, label, !scaleOn);
    QCOMPARE(loaded.rose.otherCalls, 0);
    QCOMPARE(isBuiltIn(loaded), builtIn);
    if (builtIn)
        return;
    QCOMPARE(loaded.rose.intervals.size(), 0);
    QCOMPARE(loaded.rose.ranges.size(), classes);
    QCOMPARE(loaded.goodPercent, goodPercent);
    QCOMPARE(loaded.scaleOn, scaleOn);
}

void TestClassesDefinition::classValues()
{
    Loaded loaded;
    load(loaded, dataFile(QStringLiteral("classes.xml")), QStringLiteral("GSR"), true);
    const QList<RecordingRose::Range> &r = loaded.rose.ranges;
    QCOMPARE(r.size(), 4);

    QCOMPARE(r[0].min, -10.5);
    QCOMPARE(r[0].max, 100.0);
    QCOMPARE(r[0].width, 0.8);
    QCOMPARE(r[0].offset, 2.0);
    QCOMPARE(r[0].length, 0.5);
    QCOMPARE(r[0].brush.style(), Qt::SolidPattern);
    QCOMPARE(r[0].brush.color(), QColor(255, 0, 0, 128));

    // Missing and empty values take the defaults; "abc" is 0.
    for (int i = 1; i < 3; ++i) {
        QCOMPARE(r[i].min, 0.0);
        QCOMPARE(r[i].max, 0.0);
        QCOMPARE(r[i].width, 1.0);
        QCOMPARE(r[i].offset, -1.0);
        QCOMPARE(r[i].length, 1.0);
    }
    QCOMPARE(r[1].brush.color(), QColor(0, 255, 0, 255));
    QCOMPARE(r[2].brush.style(), Qt::NoBrush);
    // "red" is no colour but an image file that does not exist.
    QCOMPARE(r[3].min, 1.0);
    QCOMPARE(r[3].brush.style(), Qt::NoBrush);
}

void TestClassesDefinition::fill_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("style");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QString>("problem"); // the start of it; empty: none

    const int solid = Qt::SolidPattern;
    const int none = Qt::NoBrush;
    const QString notRegular = QStringLiteral("not a regular file");
    QTest::newRow("empty") << "" << int(Qt::NoBrush) << QColor() << QString("no colour is given");
    QTest::newRow("six digits") << "#ff0000" << solid << QColor(255, 0, 0) << QString();
    QTest::newRow("three digits") << "#abc" << solid << QColor(0xaa, 0xbb, 0xcc) << QString();
    QTest::newRow("nine digits") << "#fff000000" << solid << QColor(255, 0, 0) << QString();
    QTest::newRow("alpha 80") << "#ff0000|80" << solid << QColor(255, 0, 0, 128) << QString();
    QTest::newRow("alpha 40") << "#00ff00|40" << solid << QColor(0, 255, 0, 64) << QString();
    QTest::newRow("alpha no number")
        << "#00ff00|zz" << solid << QColor(0, 255, 0, 255) << QString();
    QTest::newRow("alpha empty") << "#00ff00|" << solid << QColor(0, 255, 0, 255) << QString();
    QTest::newRow("third part ignored")
        << "#0000ff|20|ff" << solid << QColor(0, 0, 255, 32) << QString();
    QTest::newRow("name without #")
        << "red" << none << QColor() << QStringLiteral("No such file or directory");
    QTest::newRow("image") << "texture.png" << int(Qt::TexturePattern) << QColor() << QString();
    QTest::newRow("image named without its suffix")
        << "texture" << int(Qt::TexturePattern) << QColor() << QString();
    QTest::newRow("no colour") << "#12345g" << solid << QColor() << QStringLiteral("not a colour");
    QTest::newRow("a file that is no picture")
        << "notes.png" << none << QColor() << QStringLiteral("not a picture that can be read");
    // Read as pictures, these would keep the run waiting for a writer that never comes.
    QTest::newRow("standard input") << "/dev/stdin" << none << QColor() << notRegular;
    QTest::newRow("a FIFO") << "fifo" << none << QColor() << notRegular;
    QTest::newRow("a device") << "/dev/zero" << none << QColor() << notRegular;
    QTest::newRow("a folder") << "." << none << QColor() << notRegular;
}

void TestClassesDefinition::fill()
{
    QFETCH(QString, text);
    QFETCH(int, style);
    QFETCH(QColor, color);
    QFETCH(QString, problem);
    struct stat input
    { };
    if (text == "/dev/stdin" && (fstat(0, &input) != 0 || S_ISREG(input.st_mode)))
        QSKIP("the standard input of this test is a regular file");

    // Image paths are relative to the working directory.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QImage texture(3, 2, QImage::Format_ARGB32);
    texture.fill(Qt::magenta);
    QVERIFY(texture.save(dir.filePath(QStringLiteral("texture.png"))));
    QVERIFY(QFile::copy(
        dir.filePath(QStringLiteral("texture.png")), dir.filePath(QStringLiteral("texture"))));
    QFile notes(dir.filePath(QStringLiteral("notes.png")));
    QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("no picture") > 0);
    notes.close();
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QString why = QStringLiteral("stale");
    const QBrush brush = ClassesDefinition::fill(text, &why);
    QDir::setCurrent(previous);

    QVERIFY2(problem.isEmpty() ? why.isEmpty() : why.startsWith(problem), qPrintable(why));
    QCOMPARE(int(brush.style()), style);
    if (style == Qt::SolidPattern && problem.isEmpty())
        QCOMPARE(brush.color(), color);
    if (style == Qt::TexturePattern) {
        QCOMPARE(brush.textureImage().size(), QSize(3, 2));
        QCOMPARE(brush.textureImage().pixelColor(1, 1), QColor(Qt::magenta));
    }
}

void TestClassesDefinition::builtInClasses()
{
    Loaded loaded;
    load(loaded, dataFile(QStringLiteral("missing.xml")), QStringLiteral("GSR"), false);
    const QList<RecordingRose::Interval> &c = loaded.rose.intervals;
    QCOMPARE(c.size(), 8);
    const double lows[] = { -100, 0, 100, 200, 300, 500, 800, 1100 };
    const char *colors[] = { "#0000ff", "#7a7a7a", "#0000ff", "#00ff00", "#ffff00", "#ff0000",
        "#591400", "#e400ff" };
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(c[i].lowLimit, lows[i]);
        QCOMPARE(c[i].color, QColor(QLatin1String(colors[i])));
        // The classes follow each other without gaps.
        if (i < 7)
            QCOMPARE(c[i].lowLimit + c[i].size, lows[i + 1]);
    }
    QCOMPARE(c[7].lowLimit + c[7].size, 2147483647.0);
}

void TestClassesDefinition::slovenianEncodings_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("goodPercent");
    QTest::addColumn<int>("classes");

    QTest::newRow("č") << QStringLiteral("Sončno sevanje") << 80.0 << 3;
    QTest::newRow("degree sign") << QStringLiteral("Temperatura zraka (°C)") << 90.0 << 2;
    QTest::newRow("en dash") << QStringLiteral("Hitrost vetra – sunki") << 70.0 << 1;
    QTest::newRow("all letters") << QStringLiteral("Količina padavin: ščžćđ ŠČŽĆĐ") << 65.0 << 1;
}

void TestClassesDefinition::slovenianEncodings()
{
    QFETCH(QString, label);
    QFETCH(double, goodPercent);
    QFETCH(int, classes);

    Loaded utf8;
    Loaded cp1250;
    load(utf8, dataFile(QStringLiteral("slovenian-utf8.xml")), label, false);
    load(cp1250, dataFile(QStringLiteral("slovenian-cp1250.xml")), label, false);

    // Each file finds the label's own set, not the default one.
    QCOMPARE(utf8.goodPercent, goodPercent);
    QCOMPARE(cp1250.goodPercent, goodPercent);
    QCOMPARE(cp1250.scaleOn, utf8.scaleOn);
    QCOMPARE(utf8.rose.ranges.size(), classes);
    QCOMPARE(cp1250.rose.ranges.size(), classes);
    for (int i = 0; i < classes; ++i) {
        const RecordingRose::Range &a = utf8.rose.ranges.at(i);
        const RecordingRose::Range &b = cp1250.rose.ranges.at(i);
        QCOMPARE(b.min, a.min);
        QCOMPARE(b.max, a.max);
        QCOMPARE(b.brush, a.brush);
        QCOMPARE(b.width, a.width);
        QCOMPARE(b.offset, a.offset);
        QCOMPARE(b.length, a.length);
    }
}

void TestClassesDefinition::externalEntities_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("outside");

    QTest::newRow("external entity") << dataFile(QStringLiteral("external-entity.xml")) << 42.0;
    QTest::newRow("external parameter entity")
        << dataFile(QStringLiteral("external-dtd.xml")) << 13.0;
}

void TestClassesDefinition::externalEntities()
{
    QFETCH(QString, file);
    QFETCH(double, outside);

    // Whether the file is then read with empty values or refused, nothing of the other file
    // may reach a value.
    Loaded loaded;
    load(loaded, file, QStringLiteral("GSR"), false);
    QVERIFY(loaded.goodPercent != outside);
    for (const RecordingRose::Range &range : loaded.rose.ranges)
        QVERIFY(range.min != outside);
}

void TestClassesDefinition::repeatedEntityExpansion()
{
    // 100 kB of entity text referenced 10000 times: small on disk, 1 GB when expanded.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("quadratic.xml")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<!DOCTYPE skyvaneClasses [<!ENTITY a \"");
    file.write(QByteArray(100000, '7'));
    file.write("\">]>\n<skyvaneClasses><privzeto><procentDobrih>");
    for (int i = 0; i < 10000; ++i)
        file.write("&a;");
    file.write("</procentDobrih></privzeto></skyvaneClasses>\n");
    file.close();

    Loaded loaded;
    load(loaded, file.fileName(), QStringLiteral("GSR"), false);
    QVERIFY(isBuiltIn(loaded));
}

HELICART_GUI_TEST_MAIN(TestClassesDefinition)
#include "tst_classesdefinition.moc"
