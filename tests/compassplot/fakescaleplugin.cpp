// The stand-in scale as a plug-in that a chart can bind.

#include "fakescale.h"

#include <QObject>

class FakeScalePlugin : public QObject, public FakeScale
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ScaleAdjustment_iid)
    Q_INTERFACES(ScaleAdjustment)
};

#include "fakescaleplugin.moc"
