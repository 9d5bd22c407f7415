// A plug-in that names the solar rose interface in its metadata but whose instance does not
// provide it: the run must not take it for a chart.
#include "solarroseinterface.h"

#include <QObject>

class PlainPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SolarRoseInterface_iid)
};

#include "plainplugin.moc"
