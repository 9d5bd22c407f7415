// The scale plug-in as a host sees it: this test is compiled from the interface header alone
// and loads the plug-in by file. Each operation is called through the interface, so a slot
// out of its place would answer with another operation's result.
#include "scaleadjustment.h"

#include <QMetaMethod>
#include <QPluginLoader>
#include <QTimeZone>
#include <QtTest>

#include <functional>

namespace {

QDateTime utc(int hour, int minute, int second = 0)
{
    // The plug-in's host sees nothing of the project but its interface, so no helper here.
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    return QDateTime(QDate(2024, 3, 5), QTime(hour, minute, second), QTimeZone(QTimeZone::UTC));
#else
    return QDateTime(QDate(2024, 3, 5), QTime(hour, minute, second), Qt::UTC);
#endif
}

// One call through the interface; its results as text.
using Call = std::function<QString(ScaleAdjustment &)>;

} // namespace

Q_DECLARE_METATYPE(Call)

class TestTickfitPlugin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void interfaceIsReachableByNameAndIdentifier();
    void slotsKeepTheirOrder();
    void slotsCanBeInvokedByName();
    void operations_data();
    void operations();

private:
    QPluginLoader m_loader { QStringLiteral(HELICART_PLUGIN_DIR "/tickfit.so") };
    QObject *m_object = nullptr;
    ScaleAdjustment *m_scale = nullptr;
};

void TestTickfitPlugin::initTestCase()
{
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    QCOMPARE(m_loader.metaData().value("IID").toString(), QStringLiteral(ScaleAdjustment_iid));
    m_object = m_loader.instance();
    QVERIFY(m_object);
    m_scale = qobject_cast<ScaleAdjustment *>(m_object);
    QVERIFY(m_scale);
}

void TestTickfitPlugin::interfaceIsReachableByNameAndIdentifier()
{
    QCOMPARE(m_object->metaObject()->className(), "Tickfit");
    void *byName = m_object->qt_metacast("ScaleAdjustment");
    QVERIFY(byName);
    QCOMPARE(byName, m_object->qt_metacast(ScaleAdjustment_iid));
    QCOMPARE(byName, static_cast<void *>(m_scale));
    QCOMPARE(m_loader.instance(), m_object);
}

void TestTickfitPlugin::slotsKeepTheirOrder()
{
    const QMetaObject *mo = m_object->metaObject();
    QStringList slotList;
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Slot)
            slotList << QString::fromLatin1(
                m.methodSignature() + " " + m.parameterNames().join(','));
    }
    const QString position = "position,scaleLength,value,minimumValue,maximumValue";
    const QString timePosition = "position,scaleLength,dt,begin,end";
    const QStringList expected {
        "roundLinearScale(double&,double&,int&,int&) "
        "minimumValue,maximumValue,gridCount,gridLength",
        "roundLogaritmicScale(double&,double&,int&,int&) "
        "minimumValue,maximumValue,gridCount,gridLength",
        "roundTimeScale(QDateTime&,QDateTime&,int&,int&,QString&) "
        "begin,end,gridCount,gridLength,fmt",
        "roundDateTime(QDateTime&,int,bool) dt,intervalLength,up",
        "positionOnLinearScale(int&,int,double,double,double,bool) " + position + ",ignoreLimits",
        "positionOnLinearScale(int&,int,double,double,double) " + position,
        "positionOnLogaritmicScale(int&,int,double,double,double,bool) " + position
            + ",ignoreLimits",
        "positionOnLogaritmicScale(int&,int,double,double,double) " + position,
        "positionOnTimeScale(int&,int,QDateTime,QDateTime,QDateTime,bool) " + timePosition
            + ",ignoreLimits",
        "positionOnTimeScale(int&,int,QDateTime,QDateTime,QDateTime) " + timePosition,
    };
    QCOMPARE(slotList, expected);
}

void TestTickfitPlugin::slotsCanBeInvokedByName()
{
    int position = -99;
    QVERIFY(QMetaObject::invokeMethod(m_object, "positionOnLinearScale", Q_ARG(int &, position),
        Q_ARG(int, 200), Q_ARG(double, 101.0), Q_ARG(double, 0.0), Q_ARG(double, 100.0)));
    QCOMPARE(position, -1); // the short form keeps the limits
    QVERIFY(QMetaObject::invokeMethod(m_object, "positionOnLinearScale", Q_ARG(int &, position),
        Q_ARG(int, 200), Q_ARG(double, 101.0), Q_ARG(double, 0.0), Q_ARG(double, 100.0),
        Q_ARG(bool, true)));
    QCOMPARE(position, 202);

    double minimum = 0, maximum = 37;
    int gridCount = 0, gridLength = 0;
    QVERIFY(QMetaObject::invokeMethod(m_object, "roundLinearScale", Q_ARG(double &, minimum),
        Q_ARG(double &, maximum), Q_ARG(int &, gridCount), Q_ARG(int &, gridLength)));
    QCOMPARE(maximum, 40.0);
    QCOMPARE(gridCount, 8);
}

void TestTickfitPlugin::operations_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<QString>("expected");

    QTest::newRow("roundLinearScale") << Call([](ScaleAdjustment &s) {
        double minimum = 0, maximum = 37;
        int count = 0, length = 0;
        s.roundLinearScale(minimum, maximum, count, length);
        return QStringLiteral("%1 %2 %3 %4").arg(minimum).arg(maximum).arg(count).arg(length);
    }) << "0 40 8 5";
    QTest::newRow("roundLogaritmicScale") << Call([](ScaleAdjustment &s) {
        double minimum = 3, maximum = 470;
        int count = 0, length = 0;
        s.roundLogaritmicScale(minimum, maximum, count, length);
        return QStringLiteral("%1 %2 %3 %4").arg(minimum).arg(maximum).arg(count).arg(length);
    }) << "1 1000 3 1";
    QTest::newRow("roundTimeScale") << Call([](ScaleAdjustment &s) {
        QDateTime begin = utc(10, 7), end = utc(11, 52);
        int count = 0, length = 0;
        QString format;
        s.roundTimeScale(begin, end, count, length, format);
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(begin.toString("hh:mm"), end.toString("hh:mm"))
            .arg(count)
            .arg(length)
            .arg(format.section('\n', 0, 0));
    }) << "10:10 11:55 21 5 hh:mm";
    QTest::newRow("roundDateTime") << Call([](ScaleAdjustment &s) {
        QDateTime down = utc(10, 17, 33), up = utc(10, 17, 33);
        s.roundDateTime(down, 3600, false);
        s.roundDateTime(up, 3600, true);
        return down.toString("hh:mm:ss") + ' ' + up.toString("hh:mm:ss");
    }) << "10:00:00 11:00:00";
    QTest::newRow("positionOnLinearScale") << Call([](ScaleAdjustment &s) {
        int inside = -99, outside = -99;
        s.positionOnLinearScale(inside, 100, 25, 0, 50);
        s.positionOnLinearScale(outside, 100, 75, 0, 50);
        return QStringLiteral("%1 %2").arg(inside).arg(outside);
    }) << "50 -1";
    QTest::newRow("positionOnLogaritmicScale") << Call([](ScaleAdjustment &s) {
        int position = -99;
        s.positionOnLogaritmicScale(position, 100, 100, 1, 10000);
        return QString::number(position);
    }) << "50";
    QTest::newRow("positionOnTimeScale") << Call([](ScaleAdjustment &s) {
        int position = -99;
        s.positionOnTimeScale(position, 60, utc(10, 45), utc(10, 0), utc(11, 0));
        return QString::number(position);
    }) << "45";
}

void TestTickfitPlugin::operations()
{
    QFETCH(Call, call);
    QTEST(call(*m_scale), "expected");
}

QTEST_GUILESS_MAIN(TestTickfitPlugin)
#include "tst_tickfitplugin.moc"
