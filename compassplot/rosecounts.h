#ifndef ROSECOUNTS_H
#define ROSECOUNTS_H

#include "classcount.h"
#include "interval.h"

#include <QList>
#include <QMap>

#include <deque>

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
    void setGeometry(const Geometry &geometry) { m_geometry = geometry; }

    // Forgets every sector and its records; the total stays.
    void clearSectors();
    // Adds the sector key with a fresh zeroed record per class of classes, replacing the
    // records of an equal key. A class listed twice keeps the record made last.
    void insertSector(const Interval &key, const QList<Interval> &classes);
    // The record a measurement belongs to, or null when it falls outside every sector or class.
    ClassCount *find(double value, double direction) const;
    // Counts the measurement into its record and the total; false (nothing counted) when it
    // has none. NaN and infinities have no place on the circle or the scale.
    bool add(double value, double direction);

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
    SectorMap m_sectors;
    std::deque<ClassCount> m_records;
    Geometry m_geometry;
    int m_total = 0;
};

#endif // ROSECOUNTS_H
