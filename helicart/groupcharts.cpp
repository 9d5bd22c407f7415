#include "groupcharts.h"

#include "rosemakerinterface.h"
#include "solarroseinterface.h"

#include <QObject>

GroupCharts::GroupCharts(RoseMakerInterface *maker, Prepare prepare)
    : m_maker(maker)
    , m_prepare(std::move(prepare))
{ }

GroupCharts::~GroupCharts() = default;

void GroupCharts::make(int group)
{
    if (size_t(group) >= m_charts.size()) {
        m_charts.resize(size_t(group) + 1, nullptr);
        m_instances.resize(size_t(group) + 1);
    }
    if (m_instances[size_t(group)])
        return; // made before, and no solar rose
    std::unique_ptr<QObject> instance(m_maker ? m_maker->makeChart() : nullptr);
    SolarRoseInterface *chart = qobject_cast<SolarRoseInterface *>(instance.get());
    m_instances[size_t(group)] = std::move(instance);
    m_charts[size_t(group)] = chart;
    if (chart && m_prepare)
        m_prepare(chart, m_instances[size_t(group)].get(), group);
}

void GroupCharts::addTo(SolarRoseInterface *chart, const QTime &time, double value)
{
    chart->addSolarMeasurement(time, value);
}

SolarRoseInterface *GroupCharts::chart(int group)
{
    if (group < 0)
        return nullptr;
    if (size_t(group) >= m_charts.size() || !m_instances[size_t(group)])
        make(group);
    return m_charts[size_t(group)];
}

QObject *GroupCharts::instance(int group) const
{
    return group >= 0 && size_t(group) < m_instances.size() ? m_instances[size_t(group)].get()
                                                            : nullptr;
}
