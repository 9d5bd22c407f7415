#ifndef ROSECOUNTS_H
#define ROSECOUNTS_H

#include "classcount.h"
#include "interval.h"

#include <QList>
#include <QMap>

#include <deque>
#include <vector>

// The counts of a rose: per direction sector a map of the value classes to the number of
// measurements counted into each, and the total the percentages are taken of. The count records
// are made when the sectors are built, so counting a measurement allocates nothing; they live
// until the sectors are cleared.
class RoseCounts
{
public:
    using Classes = QMap<Interval, ClassCount *>;
    using SectorMap = QMap<Interval, Classes>;

    // Where the sectors lie on the circle of directions: their width, and the window
    // [rangeLow, rangeHigh] that a direction is folded into.
    struct Geometry
    {
        double width = 0.0;
        double rangeLow = 0.0;
        double rangeHigh = 0.0;
    };

    RoseCounts() = default;
    RoseCounts(const RoseCounts &) = delete;
    RoseCounts &operator=(const RoseCounts &) = delete;

    const SectorMap &sectors() const { return m_sectors; }
    const Geometry &geometry() const { return m_geometry; }
    void setGeometry(const Geometry &geometry)
    {
        m_geometry = geometry;
        ++m_generation;
    }

    // Forgets every sector and its records; the total stays.
    void clearSectors();
    // Adds the sector key with a fresh zeroed record per class of classes, replacing the
    // records of an equal key. A class listed twice keeps the record made last.
    void insertSector(const Interval &key, const QList<Interval> &classes);
    // The record a measurement belongs to, or null when it falls outside every sector or class.
    ClassCount *find(double value, double direction) const;
    // The same lookup made on the maps themselves. find makes it on arrays of the same keys in
    // the same order, which is what every measurement pays for.
    ClassCount *findInMaps(double value, double direction) const;

    // find in two steps, for a caller that remembers where directions fall: the index of the
    // sector (in key order) direction falls into, or noSector; then the record of value in
    // that sector. Only while searchable holds; the index stays good until the generation
    // changes.
    static constexpr size_t noSector = size_t(-1);
    bool searchable() const;
    size_t sectorIndex(double direction) const;
    ClassCount *findInSector(size_t sector, double value) const;
    // Changes whenever the sectors or the geometry do.
    quint64 generation() const { return m_generation; }
    // Counts the measurement into its record and the total; false (nothing counted) when it
    // has none. NaN and infinities have no place on the circle or the scale.
    bool add(double value, double direction);
    // add for a measurement whose sector index is known (see sectorIndex).
    bool addToSector(size_t sector, double value);

    // Finite values that found their sector but no class in it, by where they lie: at or
    // below the lowest lower class limit, above the highest upper one, or between classes.
    struct Missed
    {
        qint64 below = 0;
        qint64 above = 0;
        qint64 between = 0;
    };
    const Missed &missed() const { return m_missed; }
    // The lowest lower and the highest upper limit of the classes of the sectors (0 and 0
    // without classes).
    double lowestLimit() const { return m_lowest; }
    double highestLimit() const { return m_highest; }

    // The count the percentages are relative to: the counted measurements, unless set.
    int total() const { return m_total; }
    void setTotal(int total) { m_total = total; }

    // Percentages are relative to the total (0 when it is 0).
    double percent(int count) const;
    // Sum of the percentages of all classes but the first (calm) one.
    double classesTotal(const Classes &classes) const;
    // classesTotal of the k-th sector; 0 when there is no such sector.
    double sectorTotal(int k) const;
    double maxSectorTotal() const;
    // Sum over all sectors of the percentage of the i-th class.
    double classTotal(int i) const;
    // The largest stacked share a scale has to hold: maxSectorTotal, or, when only first-class
    // values were counted (a solar rose of night values), the largest first-class share, so
    // that such a chart still gets a scale its bars fit on.
    double dataMaximum() const;
    // Number of classes of the first sector (0 without sectors).
    int classCount() const;

private:
    // The keys of the maps in their order, in arrays: the sectors, and the classes of sector k
    // from m_classBegin[k] on. Made at the first lookup after the maps change.
    struct Index
    {
        bool built = false;
        // False when the keys do not grow along their order (a limit that is not a number):
        // a binary search of the arrays could then go another way than the maps' own.
        bool usable = false;
        std::vector<Interval> sectors;
        std::vector<size_t> classBegin;
        std::vector<Interval> classes;
        std::vector<ClassCount *> records;
        // Where the last lookups ended: measurements in file order mostly stay in the sector,
        // and often in the class, of the one before.
        size_t lastSector = 0;
        size_t lastClass = 0;
    };
    void buildIndex() const;
    // The classes of the sector direction falls into, found in the maps; null for none.
    const Classes *sectorInMaps(double direction) const;
    // Counts one measurement into record and the total; false without a record.
    bool count(ClassCount *record);
    // Notes a finite value of a found sector that has no class for it.
    void noteMissed(double value);
    static bool growing(const std::vector<Interval> &keys, size_t begin, size_t end);

    SectorMap m_sectors;
    mutable Index m_index;
    std::deque<ClassCount> m_records;
    Geometry m_geometry;
    quint64 m_generation = 0;
    int m_total = 0;
    Missed m_missed;
    double m_lowest = 0;
    double m_highest = 0;
};

#endif // ROSECOUNTS_H
