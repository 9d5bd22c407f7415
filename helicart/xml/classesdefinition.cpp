#include "classesdefinition.h"

#include "solarroseinterface.h"
#include "xmldocument.h"

#include <QColor>
#include <QImage>
#include <QStringList>

namespace {

struct BuiltInClass
{
    double lowLimit;
    double size;
    const char *color;
};

// The last class reaches 2147483647, the largest 32-bit integer.
constexpr BuiltInClass kBuiltInClasses[] = {
    { -100, 100, "#0000ff" },
    { 0, 100, "#7a7a7a" },
    { 100, 100, "#0000ff" },
    { 200, 100, "#00ff00" },
    { 300, 200, "#ffff00" },
    { 500, 300, "#ff0000" },
    { 800, 300, "#591400" },
    { 1100, 2147482547, "#e400ff" },
};

// A missing element or one without text takes the default; a text that is no number is 0.
double number(XMLDocument &document, const QString &xpath, double fallback)
{
    bool found = false;
    const double value = document.toDouble(xpath, &found);
    return found ? value : fallback;
}

void addClass(XMLDocument &document, SolarRoseInterface *rose)
{
    const double lower = number(document, QStringLiteral("zacetek"), 0);
    const double upper = number(document, QStringLiteral("konec"), 0);
    const QBrush brush = ClassesDefinition::fill(document.text(QStringLiteral("barva")));
    const double width = number(document, QStringLiteral("sirina"), 1);
    const double offset = number(document, QStringLiteral("premik"), -1);
    const double length = number(document, QStringLiteral("dolzina"), 1);
    if (rose)
        rose->addIntervalRange(lower, upper, brush, width, offset, length);
}

// Reads the set that is the context node.
void readSet(XMLDocument &document, SolarRoseInterface *rose, double &goodPercent, bool &scaleOn)
{
    goodPercent
        = number(document, QStringLiteral("procentDobrih"), ClassesDefinition::kDefaultGoodPercent);
    scaleOn = document.text(QStringLiteral("skala")) != QLatin1String("ne");
    for (int i = 1; i <= document.count(QStringLiteral("razred")); ++i) {
        document.pushNode();
        if (document.selectNode(QStringLiteral("razred[%1]").arg(i)))
            addClass(document, rose);
        document.popNode();
    }
}

bool selectSet(XMLDocument &document, const QString &label)
{
    // The label is quoted as a literal: whatever it holds, it can only be compared, never
    // change what the expression selects.
    const QString byLabel
        = QStringLiteral("parameter[oznaka=%1]").arg(XMLDocument::stringLiteral(label));
    return document.selectNode(byLabel) || document.selectNode(QStringLiteral("privzeto"));
}

} // namespace

void ClassesDefinition::load(const QString &fileName, const QString &label,
    SolarRoseInterface *rose, double &goodPercent, bool &scaleOn)
{
    {
        XMLDocument document;
        if (document.load(fileName) && document.selectNode(QStringLiteral("/skyvaneClasses"))
            && selectSet(document, label)) {
            readSet(document, rose, goodPercent, scaleOn);
            return;
        }
    }
    addBuiltInClasses(rose);
    goodPercent = kDefaultGoodPercent;
    scaleOn = true;
}

QBrush ClassesDefinition::fill(const QString &text)
{
    if (text.isEmpty())
        return QBrush();
    if (text.startsWith(QLatin1Char('#'))) {
        const QStringList parts = text.split(QLatin1Char('|'));
        QColor color;
        color.setNamedColor(parts.at(0));
        bool hex = false;
        const int alpha = parts.size() > 1 ? parts.at(1).toInt(&hex, 16) : 255;
        color.setAlpha(hex ? qBound(0, alpha, 255) : 255);
        return QBrush(color, Qt::SolidPattern);
    }
    // Relative to the working directory; a file that cannot be read gives a null image.
    QImage image;
    image.load(text);
    return QBrush(image);
}

void ClassesDefinition::addBuiltInClasses(SolarRoseInterface *rose)
{
    if (!rose)
        return;
    for (const BuiltInClass &c : kBuiltInClasses)
        rose->addInterval(c.lowLimit, c.size, QColor(QLatin1String(c.color)));
}
