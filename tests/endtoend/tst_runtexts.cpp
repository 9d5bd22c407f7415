// The texts, flags and file names of the run, built by pure functions.
#include "columntexts.h"
#include "outputnames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTranslator>
#include <QtTest>

#include <limits>

class TestRunTexts : public QObject
{
    Q_OBJECT

private slots:
    void legendTitle_data();
    void legendTitle();
    void speedDirectionText();
    void intervalText();
    void countTexts_data();
    void countTexts();
    void belowRequired_data();
    void belowRequired();
    void legendPrecision_data();
    void legendPrecision();
    void fileNames_data();
    void fileNames();
    void slovenian();
};

void TestRunTexts::legendTitle_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("title");

    QTest::newRow("short") << "GSR"
                           << "W/m2"
                           << "GSR\n[W/m2]";
    QTest::newRow("20 characters keep their spaces") << "Global solar rad. 20"
                                                     << "W/m2"
                                                     << "Global solar rad. 20\n[W/m2]";
    QTest::newRow("21 characters get a line per word") << "Global solar radia 21"
                                                       << "W/m2"
                                                       << "Global\nsolar\nradia\n21\n[W/m2]";
    QTest::newRow("unit with a leading space") << "GSR"
                                               << " W/m2"
                                               << "GSR\n[W/m2]";
    QTest::newRow("empty unit") << "T"
                                << ""
                                << "T\n[]";
    QTest::newRow("percent signs stay") << "%1 RH"
                                        << "%"
                                        << "%1 RH\n[%]";
}

void TestRunTexts::legendTitle()
{
    QFETCH(QString, label);
    QFETCH(QString, unit);
    QFETCH(QString, title);
    QCOMPARE(ColumnTexts::legendTitle(label, unit), title);
}

void TestRunTexts::speedDirectionText()
{
    QCOMPARE(ColumnTexts::speedDirectionText("GSR", "W/m2"), QString("Time\\GSR[W/m2]"));
    // Only the legend title loses the space after the bracket.
    QCOMPARE(ColumnTexts::speedDirectionText("GSR", " W/m2"), QString("Time\\GSR[ W/m2]"));
    QCOMPARE(ColumnTexts::speedDirectionText("A long label of many words", "%"),
        QString("Time\\A long label of many words[%]"));
}

void TestRunTexts::intervalText()
{
    const QDateTime earliest(QDate(2023, 1, 1), QTime(0, 0));
    const QDateTime latest(QDate(2023, 12, 31), QTime(23, 50));
    QCOMPARE(ColumnTexts::intervalText(earliest, latest),
        QString("Data from 01.01.23 00:00:00 till 31.12.23 23:50:00"));
    // A file without a valid time stamp has no range: the dates are left out.
    QCOMPARE(ColumnTexts::intervalText(QDateTime(), QDateTime()), QString("Data from  till "));
}

void TestRunTexts::countTexts_data()
{
    QTest::addColumn<int>("allCount");
    QTest::addColumn<int>("goodCount");
    QTest::addColumn<QString>("statistics");
    QTest::addColumn<QString>("legendEnd");

    QTest::newRow("97 of 100") << 100 << 97 << "No. all: 100   No. good: 97   No. unknown: 3 (3%)"
                               << "all: 100\ngood: 97\nunknown: 3%";
    QTest::newRow("2 of 3") << 3 << 2 << "No. all: 3   No. good: 2   No. unknown: 1 (33%)"
                            << "all: 3\ngood: 2\nunknown: 33%";
    QTest::newRow("all good") << 52550 << 52550
                              << "No. all: 52550   No. good: 52550   No. unknown: 0 (0%)"
                              << "all: 52550\ngood: 52550\nunknown: 0%";
    QTest::newRow("none good") << 7 << 0 << "No. all: 7   No. good: 0   No. unknown: 7 (100%)"
                               << "all: 7\ngood: 0\nunknown: 100%";
    // No data line: the good share is no number, and nothing is good.
    QTest::newRow("no data lines") << 0 << 0 << "No. all: 0   No. good: 0   No. unknown: 0 (100%)"
                                   << "all: 0\ngood: 0\nunknown: 100%";
}

void TestRunTexts::countTexts()
{
    QFETCH(int, allCount);
    QFETCH(int, goodCount);
    QFETCH(QString, statistics);
    QFETCH(QString, legendEnd);
    const double share = double(goodCount) / double(allCount) * 100.0;
    QCOMPARE(ColumnTexts::statisticsText(allCount, goodCount, share), statistics);

    const QDateTime earliest(QDate(2012, 7, 5), QTime(13, 45));
    const QDateTime latest(QDate(2012, 7, 6), QTime(8, 5));
    QCOMPARE(ColumnTexts::legendText("Ljubljana", earliest, latest, allCount, goodCount, share),
        "Ljubljana\n05.07.12 13:45\n06.07.12 08:05\n" + legendEnd);
}

void TestRunTexts::belowRequired_data()
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<double>("goodShare");
    QTest::addColumn<double>("required");
    QTest::addColumn<bool>("below");

    QTest::newRow("97 of 97") << 97.0 << 97.0 << false;
    QTest::newRow("97 of 97.5") << 97.0 << 97.5 << true;
    QTest::newRow("100 of 75") << 100.0 << 75.0 << false;
    QTest::newRow("no data lines") << nan << 75.0 << true;
    QTest::newRow("no data lines, nothing required") << nan << 0.0 << true;
    QTest::newRow("0 of 0") << 0.0 << 0.0 << false;
}

void TestRunTexts::belowRequired()
{
    QFETCH(double, goodShare);
    QFETCH(double, required);
    QFETCH(bool, below);
    QCOMPARE(ColumnTexts::belowRequired(goodShare, required), below);
}

void TestRunTexts::legendPrecision_data()
{
    QTest::addColumn<int>("maxDecimals");
    QTest::addColumn<int>("precision");

    QTest::newRow("integers") << 0 << 0;
    QTest::newRow("one decimal") << 1 << 1;
    QTest::newRow("as many as a double holds") << 15 << 15;
    QTest::newRow("a freak field") << 10000000 << 15;
}

void TestRunTexts::legendPrecision()
{
    QFETCH(int, maxDecimals);
    QFETCH(int, precision);
    QCOMPARE(ColumnTexts::legendPrecision(maxDecimals), precision);
}

void TestRunTexts::fileNames_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("rose");
    QTest::addColumn<QString>("table");

    QTest::newRow("first") << "out/day" << 0 << "out/dayS000.png"
                           << "out/dayT000.png";
    QTest::newRow("eleventh") << "day" << 10 << "dayS010.png"
                              << "dayT010.png";
    QTest::newRow("1000th") << "day" << 999 << "dayS999.png"
                            << "dayT999.png";
    QTest::newRow("1001st") << "day" << 1000 << "dayS1000.png"
                            << "dayT1000.png";
    QTest::newRow("folder only") << "out/" << 1 << "out/S001.png"
                                 << "out/T001.png";
}

void TestRunTexts::fileNames()
{
    QFETCH(QString, prefix);
    QFETCH(int, k);
    QFETCH(QString, rose);
    QFETCH(QString, table);
    QCOMPARE(OutputNames::rose(prefix, k), rose);
    QCOMPARE(OutputNames::table(prefix, k), table);
    QCOMPARE(OutputNames::combined(prefix), prefix + ".png");
}

// The compiled translation carries all nine texts in the run's context.
void TestRunTexts::slovenian()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(HELICART_BIN_DIR "/translations/SLO.qm")));
    QCoreApplication::installTranslator(&translator);
    const QDateTime earliest(QDate(2023, 1, 1), QTime(0, 0));
    const QDateTime latest(QDate(2023, 12, 31), QTime(23, 50));
    const QString speed = ColumnTexts::speedDirectionText("GSR", "W/m2");
    const QString interval = ColumnTexts::intervalText(earliest, latest);
    const QString statistics = ColumnTexts::statisticsText(100, 97, 97.0);
    const QString legend = ColumnTexts::legendText("Kamnik", earliest, latest, 100, 97, 97.0);
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(speed, QString::fromUtf8("Čas\\GSR[W/m2]"));
    QCOMPARE(interval, QString("Podatki od 01.01.23 00:00:00 do 31.12.23 23:50:00"));
    QCOMPARE(
        statistics, QString::fromUtf8("Št. vseh: 100   Št. dobrih: 97   Št. neznanih: 3 (3%)"));
    QCOMPARE(legend,
        QString::fromUtf8("Kamnik\n01.01.23 00:00\n31.12.23 23:50\nvseh: 100\ndobrih: 97\n"
                          "neznanih: 3%"));
}

QTEST_GUILESS_MAIN(TestRunTexts)
#include "tst_runtexts.moc"
