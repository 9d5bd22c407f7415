#ifndef CLASSESDEFINITION_H
#define CLASSESDEFINITION_H

#include <QBrush>
#include <QString>

class SolarRoseInterface;

// Reader of the classes definition file: for one measured quantity it gives a rose its value
// classes, and the caller the required share of good data and the scale switch.
//
// The file's root "skyvaneClasses" holds "parameter" sets found by their "oznaka" text and at
// most one default set "privzeto". When the file cannot be read or holds neither set, the rose
// gets the eight built-in classes.
class ClassesDefinition
{
public:
    // Share of good data required when a set does not name one, and for the built-in set.
    static constexpr double kDefaultGoodPercent = 75.0;

    // Adds the classes of label's set (or of the default or built-in set) to rose, and always
    // writes goodPercent and scaleOn. Reports nothing: every failure ends in a fallback.
    static void load(const QString &fileName, const QString &label, SolarRoseInterface *rose,
        double &goodPercent, bool &scaleOn);

    // The brush of a "barva" text: no fill when empty; "#rgb...|aa" a solid colour with an
    // optional hexadecimal alpha; anything else an image file made a texture.
    static QBrush fill(const QString &text);

    // The eight built-in classes, added through addInterval.
    static void addBuiltInClasses(SolarRoseInterface *rose);

private:
    ClassesDefinition() = delete;
};

#endif // CLASSESDEFINITION_H
