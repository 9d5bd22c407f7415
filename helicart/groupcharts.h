#ifndef GROUPCHARTS_H
#define GROUPCHARTS_H

#include <QTime>

#include <functional>
#include <memory>
#include <vector>

class QObject;
class RoseMakerInterface;
class SolarRoseInterface;

// The charts of the groups of one column's lines (see Grouping), counted from the same pass as
// the column: a chart is made for a group when its first measurement comes, or when it is
// asked for.
class GroupCharts
{
public:
    // Sets up a chart made for group (texts, classes) before its first measurement.
    using Prepare = std::function<void(SolarRoseInterface *chart, QObject *instance, int group)>;

    // Charts made by maker, which stays the caller's.
    GroupCharts(RoseMakerInterface *maker, Prepare prepare);
    ~GroupCharts();
    GroupCharts(const GroupCharts &) = delete;
    GroupCharts &operator=(const GroupCharts &) = delete;

    void add(int group, const QTime &time, double value)
    {
        if (size_t(group) >= m_charts.size() || !m_charts[size_t(group)])
            make(group);
        if (SolarRoseInterface *rose = m_charts[size_t(group)])
            addTo(rose, time, value);
    }

    // The chart of group, made when there is none yet; null when none can be made.
    SolarRoseInterface *chart(int group);
    QObject *instance(int group) const;

private:
    void make(int group);
    static void addTo(SolarRoseInterface *chart, const QTime &time, double value);

    RoseMakerInterface *m_maker;
    Prepare m_prepare;
    std::vector<std::unique_ptr<QObject>> m_instances;
    std::vector<SolarRoseInterface *> m_charts;
};

#endif // GROUPCHARTS_H
