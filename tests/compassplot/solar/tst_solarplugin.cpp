#include "solarroseinterface.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QPluginLoader>
#include <QPointer>
#include <QtTest>

// The chart plug-in loaded by file, as the program loads it.
class TestSolarPlugin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void castsByIdentifier();
    void deletedInstanceComesBackWithDefaults();
    void metaCallReachesSolarRules();

private:
    QObject *instance();
    QPluginLoader m_loader;
    QImage m_freshPicture; // of the first instance, before any change
};

namespace {

const int defaultHeight = 520;

// The data rows of the table (the lines between the header row and the sum row).
QStringList tableRows(SolarRoseInterface *rose)
{
    QStringList lines;
    if (!rose->getTableData(&lines))
        return {};
    // The header row ends in the sum sign, the sum row starts with it; the caption lines of
    // the last drawing come before the header.
    const QChar sigma(0x03A3);
    QStringList rows;
    bool inRows = false;
    for (const QString &line : std::as_const(lines)) {
        if (line.startsWith(sigma))
            break;
        if (inRows)
            rows.append(line);
        else if (line.endsWith(sigma))
            inRows = true;
    }
    return rows;
}

// The picture a chart draws with its legend and no data.
QImage picture(SolarRoseInterface *rose)
{
    QImage image;
    return rose->drawImage(image) ? image : QImage();
}

} // namespace

QObject *TestSolarPlugin::instance()
{
    return m_loader.instance();
}

void TestSolarPlugin::initTestCase()
{
    m_loader.setFileName(QStringLiteral(HELICART_PLUGIN_DIR "/compassplot.so"));
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    QCOMPARE(m_loader.metaData().value(QStringLiteral("IID")).toString(),
        QStringLiteral(SolarRoseInterface_iid));
    qputenv("SOURCE_DATE_EPOCH", "0");
    auto *rose = qobject_cast<SolarRoseInterface *>(instance());
    QVERIFY(rose);
    // The second picture, once the fonts have been used: the one later pictures match.
    picture(rose);
    m_freshPicture = picture(rose);
    QVERIFY(!m_freshPicture.isNull());
}

void TestSolarPlugin::castsByIdentifier()
{
    QObject *object = instance();
    QVERIFY(object);
    QVERIFY(object->inherits("QSolarRose"));
    QVERIFY(object->inherits("QWindRose"));

    auto *solar = qobject_cast<SolarRoseInterface *>(object);
    auto *wind = qobject_cast<WindRoseInterface *>(object);
    QVERIFY(solar);
    QVERIFY(wind);
    QCOMPARE(object->qt_metacast("orvela.solarRose/2.5"), static_cast<void *>(solar));
    QCOMPARE(object->qt_metacast("SolarRoseInterface"), static_cast<void *>(solar));
    QCOMPARE(object->qt_metacast("orvela.windRose/2.10"), static_cast<void *>(wind));
    QCOMPARE(object->qt_metacast("WindRoseInterface"), static_cast<void *>(wind));
    QCOMPARE(object->qt_metacast("QSolarRose"), static_cast<void *>(object));

    // Both interface paths work on the one chart: a height set through the wind rose's
    // interface is the height of the image drawn through the solar rose's.
    QVERIFY(wind->setImageHeight(300));
    QVERIFY(solar->setEnableLegend(false));
    QImage image;
    QVERIFY(solar->drawImage(image));
    QCOMPARE(image.height(), 300);
    QVERIFY(wind->setImageHeight(defaultHeight));
    QVERIFY(solar->setEnableLegend(true));
}

void TestSolarPlugin::deletedInstanceComesBackWithDefaults()
{
    QObject *object = instance();
    auto *solar = qobject_cast<SolarRoseInterface *>(object);
    QVERIFY(solar);
    // Change what the fresh instance must have again.
    QVERIFY(solar->setImageHeight(200));
    QVERIFY(solar->setDirectionsCount(12));
    QVERIFY(solar->setFont(QFont(QStringLiteral("verdana"), 9)));

    QPointer<QObject> guard(object);
    delete solar; // through the interface's virtual destructor, as a host does
    QVERIFY(guard.isNull());

    QObject *fresh = instance();
    QVERIFY(fresh);
    auto *rose = qobject_cast<SolarRoseInterface *>(fresh);
    QVERIFY(rose);
    QCOMPARE(instance(), fresh); // one instance, shared by every request

    // Font, height, sectors and texts as the first instance had them.
    const QImage again = picture(rose);
    QCOMPARE(again.size(), m_freshPicture.size());
    QCOMPARE(TestSupport::differingPixels(again, m_freshPicture, 8), 0);

    QVERIFY(rose->setEnableLegend(false));
    QImage image;
    QVERIFY(rose->drawImage(image));
    QCOMPARE(image.height(), defaultHeight);

    QVERIFY(rose->addSolarMeasurement(QTime(12, 0), 250));
    QCOMPARE(tableRows(rose).size(), 24);
}

void TestSolarPlugin::metaCallReachesSolarRules()
{
    QObject *object = instance();
    bool result = true;
    QVERIFY(QMetaObject::invokeMethod(
        object, "setDirectionsCount", Q_RETURN_ARG(bool, result), Q_ARG(int, 5)));
    QCOMPARE(result, false);
    auto *rose = qobject_cast<SolarRoseInterface *>(object);
    QVERIFY(rose->addSolarMeasurement(QTime(12, 0), 250));
    QCOMPARE(tableRows(rose).size(), 6);

    QVERIFY(QMetaObject::invokeMethod(object, "addSolarMeasurement", Q_RETURN_ARG(bool, result),
        Q_ARG(QTime, QTime(13, 0)), Q_ARG(double, 250.0)));
    QCOMPARE(result, true);
    QVERIFY(rose->setDirectionsCount(24));
}

HELICART_GUI_TEST_MAIN(TestSolarPlugin)
#include "tst_solarplugin.moc"
