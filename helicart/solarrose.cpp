#include "solarrose.h"

#include "measurementfile.h"

#include <QFile>
#include <QPluginLoader>

QPluginLoader pluginLoader;

int SolarRose::run(
    QFile *diagnostics, QString input, QString output, QString classes, int scaleMax, int scaleGrid)
{
    Q_UNUSED(output);
    Q_UNUSED(classes);
    Q_UNUSED(scaleMax);
    Q_UNUSED(scaleGrid);

    MeasurementFile file(input);
    if (!file.open()) {
        // Local 8-bit, so that a name with letters outside Latin-1 reaches the user intact.
        diagnostics->write(QStringLiteral("Can not open input file: %1.").arg(input).toLocal8Bit());
        return -5;
    }
    file.readHeader();
    const MeasurementFile::TimeRange timeRange = file.readTimeRange();
    Q_UNUSED(timeRange);
    for (int k = 0; k < file.parameterCount(); ++k)
        file.readColumn(k, MeasurementFile::MeasurementHandler());
    return 0;
}
