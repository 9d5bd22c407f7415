#include "sheetlayout.h"

#include <QtTest>

// The sheet's grid and common scale, computed without painting.
class TestSheetLayout : public QObject
{
    Q_OBJECT
private slots:
    void grid_data();
    void grid();
    void commonScale();
    void panelsApart();
};

void TestSheetLayout::grid_data()
{
    QTest::addColumn<Grouping::Kind>("kind");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("4 seasons") << Grouping::Kind::Season << 4 << 2 << 2;
    QTest::newRow("3 seasons") << Grouping::Kind::Season << 3 << 2 << 2;
    QTest::newRow("12 months") << Grouping::Kind::Month << 12 << 4 << 3;
    QTest::newRow("2 months") << Grouping::Kind::Month << 2 << 2 << 1;
    QTest::newRow("5 years") << Grouping::Kind::Year << 5 << 5 << 1;
    QTest::newRow("14 years") << Grouping::Kind::Year << 14 << 6 << 3;
    QTest::newRow("3 columns") << Grouping::Kind::None << 3 << 3 << 1;
}

void TestSheetLayout::grid()
{
    QFETCH(Grouping::Kind, kind);
    QFETCH(int, count);
    QFETCH(int, columns);
    QFETCH(int, rows);
    QCOMPARE(SheetLayout::gridColumns(kind, count), columns);
    // The last panel lies in the last row, and the block holds it.
    const QSize rose(300, SheetLayout::kPanelHeight);
    const QRect last = SheetLayout::panelRose(count - 1, columns, rose);
    const QRect first = SheetLayout::panelRose(0, columns, rose);
    QCOMPARE(
        (last.top() - first.top()) / (last.height() + SheetLayout::kPanelTitleHeight), rows - 1);
    const QSize block = SheetLayout::blockSize(count, columns, rose, QSize(150, 200));
    QVERIFY(QRect(QPoint(0, 0), block).contains(last));
    QVERIFY(block.width() >= SheetLayout::legendCorner(columns, rose).x() + 150);
}

void TestSheetLayout::commonScale()
{
    using Scale = SheetLayout::Scale;
    const QList<Scale> scales { { 5, 5 }, { 12, 4 }, { 8, 4 }, { 0, 0 } };
    const Scale largest = SheetLayout::commonScale(scales, Scale());
    QCOMPARE(largest.maximum, 12.0);
    QCOMPARE(largest.rings, 4);
    const Scale fixed = SheetLayout::commonScale(scales, Scale { 6, 3 });
    QCOMPARE(fixed.maximum, 6.0);
    QCOMPARE(fixed.rings, 3);
    QCOMPARE(SheetLayout::commonScale({}, Scale()).rings, 0);
}

void TestSheetLayout::panelsApart()
{
    // No panel, title or legend overlaps another in a 4 x 3 grid.
    const QSize rose(330, SheetLayout::kMinPanelHeight);
    QList<QRect> parts;
    for (int i = 0; i < 12; ++i) {
        parts << SheetLayout::panelTitle(i, 4, rose) << SheetLayout::panelRose(i, 4, rose);
    }
    parts << QRect(SheetLayout::legendCorner(4, rose), QSize(120, 300));
    for (int i = 0; i < parts.size(); ++i) {
        for (int j = i + 1; j < parts.size(); ++j)
            QVERIFY2(!parts.at(i).intersects(parts.at(j)),
                qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }
}

QTEST_GUILESS_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
