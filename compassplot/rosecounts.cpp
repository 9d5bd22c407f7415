#include "rosecounts.h"

#include <cmath>
#include <limits>

void RoseCounts::clearSectors()
{
    m_sectors.clear();
    m_records.clear();
}

void RoseCounts::insertSector(const Interval &key, const QList<Interval> &classes)
{
    Classes records;
    for (const Interval &interval : classes) {
        m_records.emplace_back();
        records.insert(interval, &m_records.back());
    }
    m_sectors.insert(key, records);
}

ClassCount *RoseCounts::find(double value, double direction) const
{
    const Interval probe = Interval::wrapped(
        direction, m_geometry.width + direction, m_geometry.rangeLow, m_geometry.rangeHigh);

    // Sector: the first one whose upper limit lies above the probe's folded lower limit. In
    // any map of Intervals both limits grow along the key order, so this is a binary search:
    // a key of unbounded lower limit is less than exactly the sectors ending above it.
    Interval sectorProbe;
    sectorProbe.lowLimit = -std::numeric_limits<double>::infinity();
    sectorProbe.highLimit = probe.lowLimit;
    const auto sector = m_sectors.upperBound(sectorProbe);
    if (sector == m_sectors.cend() || !(sector.key().lowLimit < probe.highLimit))
        return nullptr;

    // Class: a map lookup of the point (value, value). By the Interval ordering it finds the
    // class with lowLimit < value <= highLimit.
    const Classes &classes = sector.value();
    const auto found = classes.find(Interval(value, 0.0));
    return found == classes.cend() ? nullptr : found.value();
}

bool RoseCounts::add(double value, double direction)
{
    // NaN compares false with every limit, so the ordered lookups would file it into the first
    // class.
    if (!std::isfinite(value) || !std::isfinite(direction))
        return false;
    ClassCount *count = find(value, direction);
    if (!count)
        return false;
    ++count->count;
    ++m_total;
    return true;
}

double RoseCounts::percent(int count) const
{
    return m_total > 0 ? count * 100.0 / m_total : 0.0;
}

double RoseCounts::classesTotal(const Classes &classes) const
{
    // The first (calm) class has no direction and stays out of the sector's length.
    double total = 0.0;
    bool first = true;
    for (const ClassCount *count : classes) {
        if (!first)
            total += percent(count->count);
        first = false;
    }
    return total;
}

double RoseCounts::sectorTotal(int k) const
{
    if (k < 0 || k >= m_sectors.size())
        return 0.0;
    return classesTotal(std::next(m_sectors.cbegin(), k).value());
}

double RoseCounts::maxSectorTotal() const
{
    double largest = 0.0;
    for (const Classes &classes : m_sectors)
        largest = qMax(largest, classesTotal(classes));
    return largest;
}

double RoseCounts::classTotal(int i) const
{
    double total = 0.0;
    if (i < 0)
        return total;
    for (const Classes &classes : m_sectors) {
        if (i < classes.size())
            total += percent(std::next(classes.cbegin(), i).value()->count);
    }
    return total;
}

double RoseCounts::dataMaximum() const
{
    const double stacked = maxSectorTotal();
    if (stacked > 0)
        return stacked;
    double largest = 0.0;
    for (const Classes &classes : m_sectors) {
        if (!classes.isEmpty())
            largest = qMax(largest, percent(classes.first()->count));
    }
    return largest;
}

int RoseCounts::classCount() const
{
    return m_sectors.isEmpty() ? 0 : int(m_sectors.cbegin().value().size());
}
