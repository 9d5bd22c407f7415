#include "rosecounts.h"

#include <algorithm>
#include <cmath>
#include <limits>

void RoseCounts::clearSectors()
{
    m_sectors.clear();
    m_records.clear();
    m_index = Index();
    m_missed = Missed();
    m_lowest = 0;
    m_highest = 0;
    ++m_generation;
}

void RoseCounts::insertSector(const Interval &key, const QList<Interval> &classes)
{
    Classes records;
    for (const Interval &interval : classes) {
        m_records.emplace_back();
        records.insert(interval, &m_records.back());
        const bool first = m_records.size() == 1;
        if (first || interval.lowLimit < m_lowest)
            m_lowest = interval.lowLimit;
        if (first || interval.highLimit > m_highest)
            m_highest = interval.highLimit;
    }
    m_sectors.insert(key, records);
    m_index = Index();
    ++m_generation;
}

bool RoseCounts::growing(const std::vector<Interval> &keys, size_t begin, size_t end)
{
    for (size_t i = begin + 1; i < end; ++i) {
        if (!(keys[i - 1] < keys[i]))
            return false;
    }
    return true;
}

void RoseCounts::buildIndex() const
{
    Index index;
    index.built = true;
    index.usable = true;
    for (auto sector = m_sectors.cbegin(); sector != m_sectors.cend(); ++sector) {
        index.sectors.push_back(sector.key());
        const size_t begin = index.classes.size();
        index.classBegin.push_back(begin);
        for (auto c = sector.value().cbegin(); c != sector.value().cend(); ++c) {
            index.classes.push_back(c.key());
            index.records.push_back(c.value());
        }
        index.usable = index.usable && growing(index.classes, begin, index.classes.size());
    }
    index.classBegin.push_back(index.classes.size());
    index.usable = index.usable && growing(index.sectors, 0, index.sectors.size());
    m_index = std::move(index);
}

namespace {

// The first key of [begin, end) that `after` holds for, where `after` is false for a first run
// of keys and true for the rest; hint is looked at first.
template <typename After>
size_t partitionPoint(
    const std::vector<Interval> &keys, size_t begin, size_t end, size_t hint, const After &after)
{
    if (hint >= begin && hint < end && after(keys[hint])
        && (hint == begin || !after(keys[hint - 1])))
        return hint;
    return size_t(
        std::partition_point(keys.cbegin() + qsizetype(begin), keys.cbegin() + qsizetype(end),
            [&after](const Interval &key) { return !after(key); })
        - keys.cbegin());
}

} // namespace

// The arrays hold the keys in the maps' order, and along that order both limits of the keys
// grow (every usable index is checked for it). The comparisons a lookup makes are then false
// for a first run of keys and true for the rest, so a search of the arrays stops at the key
// the search of the maps' tree stops at.
ClassCount *RoseCounts::find(double value, double direction) const
{
    if (!searchable())
        return findInMaps(value, direction);
    const size_t k = sectorIndex(direction);
    return k == noSector ? nullptr : findInSector(k, value);
}

bool RoseCounts::searchable() const
{
    if (!m_index.built)
        buildIndex();
    return m_index.usable;
}

size_t RoseCounts::sectorIndex(double direction) const
{
    const Interval probe = Interval::wrapped(
        direction, m_geometry.width + direction, m_geometry.rangeLow, m_geometry.rangeHigh);
    Interval sectorProbe;
    sectorProbe.lowLimit = -std::numeric_limits<double>::infinity();
    sectorProbe.highLimit = probe.lowLimit;
    // As the map's upperBound: the first sector the probe is less than.
    const std::vector<Interval> &sectors = m_index.sectors;
    const size_t k = partitionPoint(sectors, 0, sectors.size(), m_index.lastSector,
        [&sectorProbe](const Interval &key) { return sectorProbe < key; });
    if (k == sectors.size() || !(sectors[k].lowLimit < probe.highLimit))
        return noSector;
    m_index.lastSector = k;
    return k;
}

ClassCount *RoseCounts::findInSector(size_t sector, double value) const
{
    // As the map's find: the first class not less than the point, unless the point is less
    // than it.
    const Interval point(value, 0.0);
    const size_t begin = m_index.classBegin[sector];
    const size_t end = m_index.classBegin[sector + 1];
    const size_t c = partitionPoint(m_index.classes, begin, end, begin + m_index.lastClass,
        [&point](const Interval &key) { return !(key < point); });
    if (c == end || point < m_index.classes[c])
        return nullptr;
    m_index.lastClass = c - begin;
    return m_index.records[c];
}

ClassCount *RoseCounts::findInMaps(double value, double direction) const
{
    const Classes *classes = sectorInMaps(direction);
    if (!classes)
        return nullptr;
    // Class: a map lookup of the point (value, value). By the Interval ordering it finds the
    // class with lowLimit < value <= highLimit.
    const auto found = classes->find(Interval(value, 0.0));
    return found == classes->cend() ? nullptr : found.value();
}

const RoseCounts::Classes *RoseCounts::sectorInMaps(double direction) const
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
    return &sector.value();
}

bool RoseCounts::add(double value, double direction)
{
    // NaN compares false with every limit, so the ordered lookups would file it into the first
    // class.
    if (!std::isfinite(value) || !std::isfinite(direction))
        return false;
    if (!searchable()) {
        if (!sectorInMaps(direction))
            return false;
        if (count(findInMaps(value, direction)))
            return true;
        noteMissed(value);
        return false;
    }
    const size_t k = sectorIndex(direction);
    return k != noSector && addToSector(k, value);
}

bool RoseCounts::addToSector(size_t sector, double value)
{
    if (!std::isfinite(value))
        return false;
    if (count(findInSector(sector, value)))
        return true;
    noteMissed(value);
    return false;
}

void RoseCounts::noteMissed(double value)
{
    if (value <= m_lowest)
        ++m_missed.below;
    else if (value > m_highest)
        ++m_missed.above;
    else
        ++m_missed.between;
}

bool RoseCounts::count(ClassCount *record)
{
    if (!record)
        return false;
    ++record->count;
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
