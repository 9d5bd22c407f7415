#ifndef ROSETALLYINTERFACE_H
#define ROSETALLYINTERFACE_H

#include <QList>
#include <QString>
#include <QtPlugin>

// What a chart counted, cell by cell, and what it left out: for a host that accounts for every
// measurement it handed over (a file of counts that add up, a word about values that lie in no
// class). A chart offers it beside WindRoseInterface; the counts are those of the measurements
// added since the sectors were last built, as the table data show them.
//
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class RoseTallyInterface
{
public:
    struct Sector
    {
        QString label; // as in the table
        QString from; // where the sector starts and ends: a time of day "hh:mm" on a solar
        QString to; // rose, an angle in degrees on a wind rose
    };
    struct Class
    {
        double low; // the class (low, high]
        double high;
    };
    struct Tally
    {
        QList<Sector> sectors; // in table order
        QList<Class> classes; // in table order, the first class included
        QList<qint64> counts; // sector-major: the count of sector s and class c at
                              // s * classes.size() + c
        qint64 total = 0; // what the percentages are taken of (the count of all data lines,
                          // when the host set it)
        // Finite values counted into no class: at or below the lowest class limit, above the
        // highest, in a gap between classes.
        qint64 below = 0;
        qint64 above = 0;
        qint64 between = 0;
        double lowest = 0; // the lowest lower and the highest upper class limit
        double highest = 0;
    };

    virtual ~RoseTallyInterface() = default;

    // Fills *tally. False for a null pointer.
    virtual bool getTally(Tally *tally) = 0;
    // Index (in table order) of the class a value would be counted into; -1 for none.
    virtual int classOf(double value) = 0;
};

#define RoseTallyInterface_iid "helicart.roseTally/1.0"
Q_DECLARE_INTERFACE(RoseTallyInterface, RoseTallyInterface_iid)

#endif // ROSETALLYINTERFACE_H
