#ifndef SOLARROSE_H
#define SOLARROSE_H

#include <QObject>
#include <QString>

class QFile;
class QPluginLoader;

// The process-wide loader of the chart plug-in: the entry routine loads it, the run asks it
// for a chart per parameter column. It outlives the entry routine and is never unloaded.
extern QPluginLoader pluginLoader;

// One run of the program: turns a measurement file into a rose per parameter column.
class SolarRose : public QObject
{
    Q_OBJECT

public:
    SolarRose() = default;

    // Reads input and renders its parameter columns. Returns 0 after a complete run and -5
    // (with a message on diagnostics) when input cannot be opened. scaleMax and scaleGrid
    // are -1 when not given.
    int run(QFile *diagnostics, QString input, QString output, QString classes, int scaleMax,
        int scaleGrid);
};

#endif // SOLARROSE_H
