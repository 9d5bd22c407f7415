#ifndef CLASSESDEFINITION_H
#define CLASSESDEFINITION_H

#include <QBrush>
#include <QList>
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

    // What load met on its way, for the program to tell: every failure still ends in a
    // fallback.
    struct Report
    {
        enum Failure {
            None, // a set of the file was read
            Missing, // no file of that name
            NotReadable, // the file cannot be opened
            Malformed, // not well-formed XML
            NoRoot, // no root element skyvaneClasses
            NoSet, // neither a set for the label nor a default set
        };
        // A class colour that gives no fill, or not the one written.
        struct Fill
        {
            int classNumber; // from 1, in document order
            QString text; // the "barva" text
            QString problem;
        };
        // A class limit that is missing or no number: 0 stands for it.
        struct Limit
        {
            int classNumber;
            QString element; // "zacetek" or "konec"
            QString text; // null when the element is missing
        };
        // A class of the set as it was given to the rose: (low, high].
        struct Class
        {
            int classNumber;
            double low;
            double high;
        };
        // Two classes that share values: those above low up to high; goesTo is the number of
        // the class such a value is counted in (0: not known).
        struct Overlap
        {
            int first;
            int second;
            double low;
            double high;
            int goesTo = 0;
        };
        Failure failure = None; // not None: the built-in classes were used
        QString detail; // the system's or libxml2's words for NotReadable and Malformed
        bool defaultSet = false; // the default set was read (the label has none)
        QList<Fill> fills;
        QList<Limit> limits;
        QList<Class> classes; // of the set read, in document order
        QList<Overlap> overlaps;
    };

    // Adds the classes of label's set (or of the default or built-in set) to rose, and always
    // writes goodPercent and scaleOn. What went wrong is told in *report, when given.
    static void load(const QString &fileName, const QString &label, SolarRoseInterface *rose,
        double &goodPercent, bool &scaleOn, Report *report = nullptr);

    // The brush of a "barva" text: no fill when empty; "#rgb...|aa" a solid colour with an
    // optional hexadecimal alpha; anything else the path of a picture made a texture. Only a
    // regular file is read as a picture: a device, a pipe or a folder could keep the run
    // waiting, and gives no fill. Why a text gives no fill, or no valid colour, is told in
    // *problem (left empty otherwise); so is an empty text, which gives no fill by design.
    static QBrush fill(const QString &text, QString *problem = nullptr);

    // The pairs of classes (ends above starts) that share values, in document order.
    static QList<Report::Overlap> overlaps(const QList<Report::Class> &classes);

    // The eight built-in classes, added through addInterval.
    static void addBuiltInClasses(SolarRoseInterface *rose);

private:
    ClassesDefinition() = delete;
};

#endif // CLASSESDEFINITION_H
