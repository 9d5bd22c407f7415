#include "digittext.h"
#include "scaleadjustment.h"
#include "scalerounding.h"
#include "utcandlocal.h"

#include <QPluginLoader>
#include <QRandomGenerator>
#include <QTimeZone>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <ctime>
#include <limits>
#include <thread>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct LinearResult
{
    double minimum = 0;
    double maximum = 0;
    int gridCount = 0;
    int gridLength = 0;
    bool operator==(const LinearResult &o) const
    {
        return minimum == o.minimum && maximum == o.maximum && gridCount == o.gridCount
            && gridLength == o.gridLength;
    }
};

// Limits come back as widened floats: compare them with the float of the expected value.
bool sameAsFloat(double actual, double expected)
{
    return std::fabs(actual - expected) <= 1e-6 * std::max(1.0, std::fabs(expected));
}

QDateTime utc(const QString &text)
{
    const QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    return QDateTime(dt.date(), dt.time(), UtcAndLocal::utc());
}

} // namespace

class TestTickfit : public QObject
{
    Q_OBJECT

private:
    LinearResult roundLinear(double minimum, double maximum)
    {
        LinearResult r { minimum, maximum, -99, -99 };
        m_scale->roundLinearScale(r.minimum, r.maximum, r.gridCount, r.gridLength);
        return r;
    }

    QPluginLoader m_loader { QStringLiteral(HELICART_PLUGIN_DIR "/tickfit.so") };
    QObject *m_object = nullptr;
    ScaleAdjustment *m_scale = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
        QCOMPARE(m_loader.metaData().value("IID").toString(), QStringLiteral(ScaleAdjustment_iid));
        m_object = m_loader.instance();
        QVERIFY(m_object);
        m_scale = qobject_cast<ScaleAdjustment *>(m_object);
        QVERIFY(m_scale);
    }

    void roundLinearScale_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("roundedMinimum");
        QTest::addColumn<double>("roundedMaximum");
        QTest::addColumn<int>("gridCount");
        QTest::addColumn<int>("gridLength");

        QTest::newRow("0..100") << 0.0 << 100.0 << 0.0 << 100.0 << 10 << 10;
        QTest::newRow("0..37") << 0.0 << 37.0 << 0.0 << 40.0 << 8 << 5;
        QTest::newRow("0..1234") << 0.0 << 1234.0 << 0.0 << 2000.0 << 10 << 200;
        QTest::newRow("5..13 adjacent decades") << 5.0 << 13.0 << 5.0 << 13.0 << 8 << 1;
        QTest::newRow("adjacent decades, 9s over 0s") << 9.97 << 10.04 << 9.97 << 10.04 << 7 << 0;
        QTest::newRow("adjacent decades, carry") << 9.9 << 10.95 << 9.9 << 11.0 << 11 << 0;
        QTest::newRow("1.2..3.7") << 1.2 << 3.7 << 1.0 << 4.0 << 12 << 0;
        QTest::newRow("1.2..1.3 second decimal") << 1.2 << 1.3 << 1.2 << 1.3 << 10 << 0;
        QTest::newRow("-0.03..7 across zero") << -0.03 << 7.0 << -1.0 << 7.0 << 8 << 1;
        QTest::newRow("-5..5") << -5.0 << 5.0 << -5.0 << 5.0 << 10 << 1;
        QTest::newRow("0..1 length below one") << 0.0 << 1.0 << 0.0 << 1.0 << 10 << 0;
        QTest::newRow("equal limits pulled apart") << 5.0 << 5.0 << 4.0 << 6.0 << 10 << 0;
        QTest::newRow("equal negative limits")
            << -1.09685759 << -1.09685759 << -1.099 << -1.096 << 12 << 0;
        QTest::newRow("both at zero") << 0.0 << 0.0 << 0.0 << 1e-36 << 10 << 0;
        QTest::newRow("-13..-5 mirrored") << -13.0 << -5.0 << -13.0 << -5.0 << 8 << 1;
        // Zero counts as a tiny positive limit, so the maximum becomes one unit of the minimum.
        QTest::newRow("-37..0 across zero") << -37.0 << 0.0 << -40.0 << 10.0 << 10 << 5;
        QTest::newRow("small decade") << 0.012 << 0.037 << 0.01 << 0.04 << 12 << 0;
        QTest::newRow("carry through 9s") << 1.291 << 1.2995 << 1.291 << 1.3 << 9 << 0;
        QTest::newRow("9 before point") << 2.0 << 9.5 << 0.0 << 10.0 << 10 << 1;
        QTest::newRow("below one, one decade") << 0.2 << 0.5 << 0.2 << 0.5 << 12 << 0;
        QTest::newRow("huge") << 0.0 << 3.3e37 << 0.0 << 4e37 << 8 << 2147483647;
    }

    void roundLinearScale()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, roundedMinimum);
        QFETCH(double, roundedMaximum);
        QFETCH(int, gridCount);
        QFETCH(int, gridLength);
        const LinearResult r = roundLinear(minimum, maximum);
        QVERIFY2(sameAsFloat(r.minimum, roundedMinimum), qPrintable(QString::number(r.minimum)));
        QVERIFY2(sameAsFloat(r.maximum, roundedMaximum), qPrintable(QString::number(r.maximum)));
        QCOMPARE(r.gridCount, gridCount);
        QCOMPARE(r.gridLength, gridLength);
    }

    void roundLinearScaleKeepsLimitsItCannotRound_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::newRow("NaN minimum") << kNaN << 10.0;
        QTest::newRow("NaN maximum") << 0.0 << kNaN;
        QTest::newRow("infinite maximum") << 0.0 << kInf;
        QTest::newRow("infinite minimum") << -kInf << 5.0;
        QTest::newRow("beyond float") << 0.0 << 1e300;
    }

    void roundLinearScaleKeepsLimitsItCannotRound()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        const LinearResult r = roundLinear(minimum, maximum);
        QCOMPARE(r.minimum, minimum);
        QCOMPARE(r.maximum, maximum);
        QCOMPARE(r.gridCount, 1);
        QCOMPARE(r.gridLength, 0);
    }

    void roundFloatScaleTakesMaximumFirst()
    {
        float maximum = 37, minimum = 0;
        QCOMPARE(ScaleRounding::roundFloatScale(maximum, minimum), 8);
        QCOMPARE(maximum, 40.0f);
        QCOMPARE(minimum, 0.0f);
        // Rounding up the largest floats would leave the float range.
        maximum = 3.4e38f;
        minimum = 0;
        QCOMPARE(ScaleRounding::roundFloatScale(maximum, minimum), 1);
        QCOMPARE(maximum, 3.4e38f);
    }

    void rangeFigure_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("figure");
        QTest::newRow("1.5") << QByteArray("1.5") << 15;
        QTest::newRow("1.5e+02") << QByteArray("1.5e+02") << 15;
        QTest::newRow("2.5") << QByteArray("2.5") << 2;
        QTest::newRow("19") << QByteArray("19") << 1;
        QTest::newRow("1e+02") << QByteArray("1e+02") << 1;
        QTest::newRow("40") << QByteArray("40") << 4;
        QTest::newRow("12") << QByteArray("12") << 12;
        QTest::newRow("25") << QByteArray("25") << 25;
        QTest::newRow("single digit") << QByteArray("7") << 7;
        QTest::newRow("leading zeros and sign") << QByteArray("-0.003") << 3;
        QTest::newRow("zero") << QByteArray("0") << 0;
        QTest::newRow("no number") << QByteArray("nan") << 0;
    }

    void rangeFigure()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, figure);
        QCOMPARE(ScaleRounding::rangeFigure(text), figure);
    }

    void gridCountTable()
    {
        const int expected[]
            = { 1, 10, 10, 12, 8, 10, 12, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 1, 1 };
        for (int figure = 0; figure <= 20; ++figure)
            QCOMPARE(ScaleRounding::gridCountForFigure(figure), expected[figure]);
        QCOMPARE(ScaleRounding::gridCountForFigure(25), 1);
        QCOMPARE(ScaleRounding::gridCountForRange(2.5f), 10);
        QCOMPARE(ScaleRounding::gridCountForRange(0.25f), 1);
        QCOMPARE(ScaleRounding::gridCountForRange(150.0f), 15);
    }

    void digitTextWalks()
    {
        const DigitText a = DigitText::formatted(1.29987f, 5);
        QCOMPARE(a.text(), QByteArray("01.2999"));
        QCOMPARE(a.plusUnitAtDecimal(3).text(), QByteArray("01.300"));
        QCOMPARE(DigitText("9.99").plusUnitAtDecimal(2).text(), QByteArray("10.00"));
        QCOMPARE(DigitText("3.7").plusUnitAtDecimal(0).text(), QByteArray("04"));
        QCOMPARE(DigitText("1.2").cutAfterDecimal(3).text(), QByteArray("01.200"));
        QCOMPARE(DigitText("4").withPoint().text(), QByteArray("04.0"));
        QCOMPARE(DigitText("4").decimalDigit(2), '0');
        QCOMPARE(firstDifference(DigitText("1.2999"), DigitText("1.2001")), 4);
        QCOMPARE(firstDifference(DigitText("1.2"), DigitText("1.25")), 4);
        QCOMPARE(DigitText("1.30").value(), 1.3f);
    }

    void roundLogaritmicScale_data()
    {
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("roundedMinimum");
        QTest::addColumn<double>("roundedMaximum");
        QTest::addColumn<int>("gridCount");
        QTest::addColumn<int>("gridLength");
        QTest::newRow("5..800") << 5.0 << 800.0 << 1.0 << 1000.0 << 3 << 1;
        QTest::newRow("below one") << 0.05 << 3.0 << 0.01 << 10.0 << 3 << 1;
        QTest::newRow("non-positive maximum") << 5.0 << 0.0 << 1.0 << 10.0 << 1 << 1;
        QTest::newRow("both non-positive") << -1.0 << -2.0 << 1.0 << 10.0 << 1 << 1;
        QTest::newRow("non-positive minimum") << 0.0 << 500.0 << 10.0 << 1000.0 << 2 << 1;
        QTest::newRow("one power of ten") << 100.0 << 100.0 << 100.0 << 100.0 << 0 << 0;
        QTest::newRow("NaN") << kNaN << 100.0 << kNaN << 100.0 << 1 << 0;
        QTest::newRow("infinite") << 1.0 << kInf << 1.0 << kInf << 1 << 0;
        QTest::newRow("largest double") << 1.0 << 1.7e308 << 1.0 << 1.7e308 << 1 << 0;
    }

    void roundLogaritmicScale()
    {
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        int gridCount = -99, gridLength = -99;
        m_scale->roundLogaritmicScale(minimum, maximum, gridCount, gridLength);
        QTEST(minimum, "roundedMinimum");
        QTEST(maximum, "roundedMaximum");
        QTEST(gridCount, "gridCount");
        QTEST(gridLength, "gridLength");
    }

    void positionOnLinearScale_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("ignoreLimits");
        QTest::addColumn<int>("position");
        QTest::newRow("middle") << 200 << 50.0 << 0.0 << 100.0 << false << 100;
        QTest::newRow("maximum") << 200 << 100.0 << 0.0 << 100.0 << false << 200;
        QTest::newRow("beyond") << 200 << 101.0 << 0.0 << 100.0 << false << -1;
        QTest::newRow("beyond, limits ignored") << 200 << 101.0 << 0.0 << 100.0 << true << 202;
        QTest::newRow("below, limits ignored") << 200 << -10.0 << 0.0 << 100.0 << true << -20;
        QTest::newRow("reversed limits") << 200 << 25.0 << 100.0 << 0.0 << false << 150;
        QTest::newRow("half rounds up") << 10 << 2.5 << 0.0 << 10.0 << false << 3;
        QTest::newRow("negative half rounds down") << 10 << -2.5 << 0.0 << 10.0 << true << -3;
        QTest::newRow("equal limits") << 200 << 5.0 << 5.0 << 5.0 << false << -1;
        QTest::newRow("equal limits, ignored") << 200 << 5.0 << 5.0 << 5.0 << true << -1;
        QTest::newRow("NaN value") << 200 << kNaN << 0.0 << 100.0 << true << -1;
        QTest::newRow("infinite value") << 200 << kInf << 0.0 << 100.0 << true << -1;
        QTest::newRow("NaN limit") << 200 << 5.0 << kNaN << 100.0 << true << -1;
        QTest::newRow("far beyond int") << 200 << 1e300 << 0.0 << 1.0 << true << -1;
    }

    void positionOnLinearScale()
    {
        QFETCH(int, length);
        QFETCH(double, value);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, ignoreLimits);
        int position = -99;
        m_scale->positionOnLinearScale(position, length, value, minimum, maximum, ignoreLimits);
        QTEST(position, "position");
    }

    void positionOnLogaritmicScale_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<bool>("ignoreLimits");
        QTest::addColumn<int>("position");
        QTest::newRow("one decade up") << 10.0 << 1.0 << 1000.0 << false << 100;
        QTest::newRow("minimum") << 1.0 << 1.0 << 1000.0 << false << 0;
        QTest::newRow("maximum") << 1000.0 << 1.0 << 1000.0 << false << 300;
        QTest::newRow("reversed") << 10.0 << 1000.0 << 1.0 << false << 200;
        QTest::newRow("beyond") << 2000.0 << 1.0 << 1000.0 << false << -1;
        QTest::newRow("beyond, ignored") << 10000.0 << 1.0 << 1000.0 << true << 400;
        QTest::newRow("equal limits") << 10.0 << 10.0 << 10.0 << true << -1;
        QTest::newRow("zero value, ignored") << 0.0 << 1.0 << 1000.0 << true << -1;
        QTest::newRow("negative value, ignored") << -5.0 << 1.0 << 1000.0 << true << -1;
        QTest::newRow("zero minimum") << 10.0 << 0.0 << 1000.0 << false << -1;
        QTest::newRow("negative limits") << -10.0 << -100.0 << -1.0 << false << -1;
        QTest::newRow("NaN value") << kNaN << 1.0 << 1000.0 << true << -1;
    }

    void positionOnLogaritmicScale()
    {
        QFETCH(double, value);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(bool, ignoreLimits);
        int position = -99;
        m_scale->positionOnLogaritmicScale(position, 300, value, minimum, maximum, ignoreLimits);
        QTEST(position, "position");
    }

    void positionOnTimeScale_data()
    {
        QTest::addColumn<QDateTime>("dt");
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<bool>("ignoreLimits");
        QTest::addColumn<int>("position");
        const QDateTime b = utc("2020-06-01T10:00:00");
        const QDateTime e = utc("2020-06-01T11:00:00");
        QTest::newRow("middle") << utc("2020-06-01T10:30:00") << b << e << false << 1800;
        QTest::newRow("milliseconds ignored")
            << utc("2020-06-01T10:30:00.900") << b << e << false << 1800;
        QTest::newRow("reversed") << utc("2020-06-01T10:15:00") << e << b << false << 2700;
        QTest::newRow("beyond") << utc("2020-06-01T11:00:01") << b << e << false << -1;
        QTest::newRow("beyond, ignored") << utc("2020-06-01T11:30:00") << b << e << true << 5400;
        QTest::newRow("equal limits") << b << b << b << true << -1;
        QTest::newRow("limits within one second")
            << b << b << utc("2020-06-01T10:00:00.500") << true << -1;
        QTest::newRow("invalid") << QDateTime() << b << e << true << -1;
    }

    void positionOnTimeScale()
    {
        QFETCH(QDateTime, dt);
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        QFETCH(bool, ignoreLimits);
        int position = -99;
        m_scale->positionOnTimeScale(position, 3600, dt, begin, end, ignoreLimits);
        QTEST(position, "position");
    }

    void roundTimeScale_data()
    {
        QTest::addColumn<QDateTime>("begin");
        QTest::addColumn<QDateTime>("end");
        QTest::addColumn<QDateTime>("roundedBegin");
        QTest::addColumn<QDateTime>("roundedEnd");
        QTest::addColumn<int>("gridCount");
        QTest::addColumn<int>("gridLength");
        QTest::addColumn<QString>("fmt");
        const QString seconds = "hh:mm:ss\ndd.MM.\nyyyy";
        const QString minutes = "hh:mm\ndd.MM.\nyyyy";
        const QString hours = "hh:00\ndd.MM.\nyyyy";
        const QString days = "dd.MM.\nyyyy";
        auto row = [](const char *name, const char *b, const char *e, const char *rb,
                       const char *re, int count, int length, const QString &fmt) {
            QTest::newRow(name) << utc(b) << utc(e) << utc(rb) << utc(re) << count << length << fmt;
        };
        row("30 s unchanged", "2020-06-01T10:00:07", "2020-06-01T10:00:37", "2020-06-01T10:00:07",
            "2020-06-01T10:00:37", 30, 1, seconds);
        row("negative span", "2020-06-01T10:00:20", "2020-06-01T10:00:00", "2020-06-01T10:00:20",
            "2020-06-01T10:00:00", -20, 1, seconds);
        // The end already lies on an even second and stays there.
        row("45 s, 2 s steps", "2020-06-01T10:00:07", "2020-06-01T10:00:52", "2020-06-01T10:00:06",
            "2020-06-01T10:00:52", 23, 2, seconds);
        row("100 s, 5 s steps", "2020-06-01T10:00:03", "2020-06-01T10:01:43", "2020-06-01T10:00:05",
            "2020-06-01T10:01:45", 20, 5, seconds);
        row("3600 s, 2 min steps", "2020-06-01T10:07:30", "2020-06-01T11:07:30",
            "2020-06-01T10:08:00", "2020-06-01T11:08:00", 30, 2, minutes);
        row("3601 s, 5 min steps", "2020-06-01T10:07:30", "2020-06-01T11:07:31",
            "2020-06-01T10:05:00", "2020-06-01T11:10:00", 13, 5, minutes);
        row("hourly", "2020-06-01T10:20:00", "2020-06-02T08:00:00", "2020-06-01T10:00:00",
            "2020-06-02T08:00:00", 22, 1, hours);
        row("6 h steps", "2020-06-01T05:00:00", "2020-06-04T07:30:00", "2020-06-01T06:00:00",
            "2020-06-04T12:00:00", 13, 6, hours);
        row("12 h steps to midnight", "2020-06-01T00:00:00", "2020-06-10T13:00:00",
            "2020-06-01T00:00:00", "2020-06-11T00:00:00", 20, 12, hours);
        row("daily", "2020-03-01T00:00:00", "2020-03-20T12:00:00", "2020-03-01T00:00:00",
            "2020-03-21T00:00:00", 20, 1, days);
        row("every two days", "2020-03-01T00:00:00", "2020-04-15T00:00:00", "2020-02-29T00:00:00",
            "2020-04-15T00:00:00", 23, 2, days);
        row("monthly", "2020-01-15T00:00:00", "2020-05-20T00:00:00", "2020-01-01T00:00:00",
            "2020-06-01T00:00:00", 5, 1, "MM.\nyyyy");
        row("24 months stay monthly", "2018-01-15T00:00:00", "2020-01-20T00:00:00",
            "2018-01-01T00:00:00", "2020-02-01T00:00:00", 25, 1, "MM.\nyyyy");
        row("yearly", "2018-03-10T00:00:00", "2020-05-20T00:00:00", "2018-01-01T00:00:00",
            "2021-01-01T00:00:00", 3, 1, "yyyy");
    }

    void roundTimeScale()
    {
        QFETCH(QDateTime, begin);
        QFETCH(QDateTime, end);
        int gridCount = -99, gridLength = -99;
        QString fmt;
        m_scale->roundTimeScale(begin, end, gridCount, gridLength, fmt);
        QTEST(begin, "roundedBegin");
        QTEST(end, "roundedEnd");
        QTEST(gridCount, "gridCount");
        QTEST(gridLength, "gridLength");
        QTEST(fmt, "fmt");
    }

    void roundTimeScaleKeepsInvalidLimits()
    {
        QDateTime begin;
        QDateTime end = utc("2020-06-01T10:00:00");
        int gridCount = -99, gridLength = -99;
        QString fmt;
        m_scale->roundTimeScale(begin, end, gridCount, gridLength, fmt);
        QVERIFY(!begin.isValid());
        QCOMPARE(end, utc("2020-06-01T10:00:00"));
        QCOMPARE(gridCount, 1);
        QCOMPARE(gridLength, 0);
    }

    void roundDateTime_data()
    {
        QTest::addColumn<QDateTime>("dt");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QDateTime>("rounded");
        const int day = 86400, month = 2419200, year = 31536000;
        auto row = [](const char *name, const char *dt, int interval, bool up, const char *r) {
            QTest::newRow(name) << utc(dt) << interval << up << utc(r);
        };
        row("on boundary, up", "2020-06-01T10:05:00", 300, true, "2020-06-01T10:05:00");
        row("5 min down", "2020-06-01T10:07:30", 300, false, "2020-06-01T10:05:00");
        row("5 min up", "2020-06-01T10:07:30", 300, true, "2020-06-01T10:10:00");
        row("seconds past boundary, up", "2020-06-01T10:05:30", 300, true, "2020-06-01T10:10:00");
        row("5 s down drops ms", "2020-06-01T10:00:07.500", 5, false, "2020-06-01T10:00:05");
        row("5 s on boundary, up", "2020-06-01T10:00:05", 5, true, "2020-06-01T10:00:05");
        row("5 s up", "2020-06-01T10:00:07", 5, true, "2020-06-01T10:00:10");
        row("2 h down", "2020-06-01T13:20:00", 7200, false, "2020-06-01T12:00:00");
        row("2 h up", "2020-06-01T13:20:00", 7200, true, "2020-06-01T14:00:00");
        row("2 h on boundary, up", "2020-06-01T14:00:00", 7200, true, "2020-06-01T14:00:00");
        row("day never up", "2020-03-15T13:00:00", day, true, "2020-03-15T00:00:00");
        row("week", "2020-03-15T00:00:00", 7 * day, false, "2020-03-14T00:00:00");
        row("week stays in month", "2020-03-03T08:00:00", 7 * day, false, "2020-03-01T00:00:00");
        row("month up at midnight", "2020-03-15T00:00:00", month, true, "2020-04-01T00:00:00");
        row("month with a time", "2020-03-15T10:00:00", month, true, "2020-03-01T00:00:00");
        row("month on day 1, up", "2020-03-01T00:00:00", month, true, "2020-03-01T00:00:00");
        row("quarter", "2020-05-10T00:00:00", 3 * month, false, "2020-03-01T00:00:00");
        row("quarter stays in year", "2020-02-10T00:00:00", 3 * month, false,
            "2020-01-01T00:00:00");
        row("decade", "2023-06-15T00:00:00", 10 * year, false, "2020-01-01T00:00:00");
        row("year up", "2020-06-15T00:00:00", year, true, "2021-01-01T00:00:00");
        row("January 1, up", "2020-01-01T00:00:00", year, true, "2020-01-01T00:00:00");
        row("no interval", "2020-06-01T10:07:30.250", 0, true, "2020-06-01T10:07:30.250");
    }

    void roundDateTime()
    {
        QFETCH(QDateTime, dt);
        QFETCH(int, interval);
        QFETCH(bool, up);
        m_scale->roundDateTime(dt, interval, up);
        QTEST(dt, "rounded");
        QCOMPARE(dt.timeSpec(), Qt::UTC);
    }

    // Boundaries that a clock put forward skips: the result is the moment of the jump, in the
    // zone of the date-time, never an invalid date-time. Ljubljana's clocks went from local
    // mean time to CET at midnight on 1 January 1884, skipping 1 min 56 s. An empty zone is
    // local time in Ljubljana.
    void roundDateTimeWhereTheClockJumps_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("dt");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("rounded");
        const int hour = 3600, day = 86400;
        QTest::newRow("2 h down into the skipped hour, local")
            << QByteArray() << "2023-03-26T03:30:00" << 2 * hour << false << "2023-03-26T03:00:00";
        QTest::newRow("2 h down into the skipped hour, zone")
            << QByteArray("Europe/Ljubljana") << "2023-03-26T03:30:00" << 2 * hour << false
            << "2023-03-26T03:00:00";
        QTest::newRow("day down to a skipped midnight")
            << QByteArray("America/Santiago") << "2023-09-03T10:00:00" << day << false
            << "2023-09-03T01:00:00";
        QTest::newRow("6 years down to 1884, local")
            << QByteArray() << "1887-10-14T11:10:46" << 201974204 << false << "1884-01-01T00:01:56";
        QTest::newRow("hour down in the repeated hour")
            << QByteArray("Europe/Ljubljana") << "2023-10-29T02:30:00" << hour << false
            << "2023-10-29T02:00:00";
    }

    void roundDateTimeWhereTheClockJumps()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QString, dt);
        QFETCH(int, interval);
        QFETCH(bool, up);
        const bool hadZone = qEnvironmentVariableIsSet("TZ");
        const QByteArray savedZone = qgetenv("TZ");
        qputenv("TZ", "Europe/Ljubljana");
        tzset();
        const QDateTime given = QDateTime::fromString(dt, Qt::ISODate);
        QDateTime value = zone.isEmpty()
            ? QDateTime(given.date(), given.time(), UtcAndLocal::localTime())
            : QDateTime(given.date(), given.time(), QTimeZone(zone));
        QVERIFY(value.isValid());
        m_scale->roundDateTime(value, interval, up);
        const QDateTime rounded = QDateTime::fromString(
            value.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")), Qt::ISODate);
        const bool valid = value.isValid();
        const Qt::TimeSpec kind = value.timeSpec();
        if (hadZone)
            qputenv("TZ", savedZone);
        else
            qunsetenv("TZ");
        tzset();
        QVERIFY(valid);
        QCOMPARE(kind, zone.isEmpty() ? Qt::LocalTime : Qt::TimeZone);
        QTEST(rounded.toString(Qt::ISODate), "rounded");
    }

    // Many generated ranges: every result must be a usable scale.
    void roundLinearScaleGivesUsableScales()
    {
        QRandomGenerator random(20240611);
        auto uniform
            = [&](double low, double high) { return low + random.generateDouble() * (high - low); };
        auto magnitude
            = [&](int lowExp, int highExp) { return std::pow(10.0, uniform(lowExp, highExp)); };
        for (int i = 0; i < 20000; ++i) {
            double a = 0, b = 0;
            switch (i % 6) {
            case 0: // tiny
                a = magnitude(-40, -20);
                b = a + magnitude(-42, -20);
                break;
            case 1: // huge
                a = magnitude(20, 38);
                b = a * uniform(1, 3);
                break;
            case 2: // negative
                b = -magnitude(-5, 10);
                a = b - magnitude(-5, 10);
                break;
            case 3: // equal
                a = b = (random.bounded(2) ? 1 : -1) * magnitude(-30, 30);
                break;
            case 4: // reversed
                b = uniform(-1e6, 1e6);
                a = b + magnitude(-5, 6);
                break;
            default: // across zero
                a = -magnitude(-10, 10);
                b = magnitude(-10, 10);
                break;
            }
            const LinearResult r = roundLinear(a, b);
            const QByteArray what
                = QByteArray::number(a, 'g', 17) + " .. " + QByteArray::number(b, 'g', 17);
            QVERIFY2(std::isfinite(r.minimum) && std::isfinite(r.maximum), what);
            QVERIFY2(r.gridCount >= 1, what);
            // Limits move inward by a ten-thousandth before rounding (so that one already on
            // a grid value stays there); beyond that the scale must cover the range.
            const double low = std::min(a, b), high = std::max(a, b);
            const double slack = 2e-4 * std::max(std::fabs(low), std::fabs(high)) + 1e-36;
            if (a == b)
                QVERIFY2(r.minimum <= float(a) && float(a) <= r.maximum, what);
            if (a <= b) {
                QVERIFY2(r.minimum <= low + slack, what);
                QVERIFY2(r.maximum >= high - slack, what);
            }
        }
    }

    void roundingIsReentrant()
    {
        // Each thread rounds its own ranges; any shared scratch state would mix them up.
        constexpr int kThreads = 4;
        std::vector<std::vector<std::pair<double, double>>> inputs(kThreads);
        std::vector<std::vector<LinearResult>> expected(kThreads);
        QRandomGenerator random(7);
        for (int t = 0; t < kThreads; ++t) {
            for (int i = 0; i < 200; ++i) {
                const double low = (random.generateDouble() - 0.5) * std::pow(10.0, t * 3);
                const double high = low + random.generateDouble() * std::pow(10.0, t * 2 - 1);
                inputs[t].emplace_back(low, high);
                expected[t].push_back(roundLinear(low, high));
            }
        }
        std::atomic<int> mismatches { 0 };
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int pass = 0; pass < 25; ++pass) {
                    for (size_t i = 0; i < inputs[t].size(); ++i) {
                        LinearResult r { inputs[t][i].first, inputs[t][i].second, 0, 0 };
                        m_scale->roundLinearScale(r.minimum, r.maximum, r.gridCount, r.gridLength);
                        if (!(r == expected[t][i]))
                            ++mismatches;
                    }
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(mismatches.load(), 0);
    }

    void deletedInstanceIsMadeAgain()
    {
        delete m_object;
        m_object = m_loader.instance();
        QVERIFY(m_object);
        m_scale = qobject_cast<ScaleAdjustment *>(m_object);
        QVERIFY(m_scale);
        QCOMPARE(roundLinear(0, 100).maximum, 100.0);
    }
};

QTEST_GUILESS_MAIN(TestTickfit)
#include "tst_tickfit.moc"
