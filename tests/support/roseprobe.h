#ifndef ROSEPROBE_H
#define ROSEPROBE_H

#include "qwindrose.h"
#include "scaleadjustment.h"
#include "windrose3d.h"

#include <QColor>
#include <QFontMetrics>
#include <QMetaMethod>
#include <QPair>
#include <QtTest>

// Helpers shared by the chart tests (wind and solar rose): a chart whose scale binding a test
// may replace, where a measurement was counted, and what the painted rose must look like.
// Only tests that link the chart engine include this.
namespace RoseProbe {

// Chart (a QWindRose or a subclass) with a scale binding the test chooses; null selects the
// built-in rules.
template <typename Chart> class ScaleBound : public Chart
{
public:
    void useScale(ScaleAdjustment *scale) { this->setScale(scale); }
};

// Sector and class (both in key order) of the first counter that holds a count; (-1, -1)
// when nothing was counted.
inline QPair<int, int> countedAt(const QWindRose &rose)
{
    int sector = 0;
    for (const auto &classes : rose.spokes()) {
        int index = 0;
        for (const ClassCount *count : classes) {
            if (count->count > 0)
                return { sector, index };
            ++index;
        }
        ++sector;
    }
    return { -1, -1 };
}

// The rose's diameter and hole radius for a 480 pixel high image, from the font alone.
inline int expectedDiameter(const QFont &font, int height = 480)
{
    return height - 4 * QFontMetrics(font).height();
}

inline int expectedHoleRadius(const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(QStringLiteral("MM%")) / 2 + 5;
}

// Whether pixel lies on a bar's shade: between the class colour and its darkened end.
inline bool onShade(const QColor &pixel, const QColor &colour, int tolerance = 12)
{
    const QColor dark = Windrose3D::darkened(colour);
    for (int step = 0; step <= 20; ++step) {
        const double t = step / 20.0;
        const QColor mix(qRound(colour.red() + t * (dark.red() - colour.red())),
            qRound(colour.green() + t * (dark.green() - colour.green())),
            qRound(colour.blue() + t * (dark.blue() - colour.blue())));
        if (qAbs(mix.red() - pixel.red()) <= tolerance
            && qAbs(mix.green() - pixel.green()) <= tolerance
            && qAbs(mix.blue() - pixel.blue()) <= tolerance && pixel.alpha() == 255)
            return true;
    }
    return false;
}

// Compares the invokable methods a chart class declares itself (signature and parameter
// names, in order) with expected; each must return bool. Call QVERIFY on the result, since a
// failed QCOMPARE here only leaves this function.
inline bool invokablesAre(
    const QMetaObject &meta, const QList<QPair<QByteArray, QByteArray>> &expected)
{
    [&] {
        QCOMPARE(meta.methodCount() - meta.methodOffset(), int(expected.size()));
        for (int i = 0; i < expected.size(); ++i) {
            const QMetaMethod method = meta.method(meta.methodOffset() + i);
            QCOMPARE(method.methodSignature(), expected.at(i).first);
            QCOMPARE(method.parameterNames().join(','), expected.at(i).second);
            QCOMPARE(method.returnMetaType(), QMetaType::fromType<bool>());
            QCOMPARE(method.methodType(), QMetaMethod::Method);
        }
    }();
    return !QTest::currentTestFailed();
}

} // namespace RoseProbe

#endif // ROSEPROBE_H
