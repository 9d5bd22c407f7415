// A scale plug-in that answers the scale interface and leaves every value as it is.

#include "scaleadjustment.h"

#include <QObject>

class FakeScale : public QObject, public ScaleAdjustment
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ScaleAdjustment_iid)
    Q_INTERFACES(ScaleAdjustment)
public:
    void roundLinearScale(double &, double &, int &, int &) override { }
    void roundLogaritmicScale(double &, double &, int &, int &) override { }
    void roundTimeScale(QDateTime &, QDateTime &, int &, int &, QString &) override { }
    void roundDateTime(QDateTime &, int, bool) override { }
    void positionOnLinearScale(int &position, int, double, double, double, bool) override
    {
        position = -1;
    }
    void positionOnLogaritmicScale(int &position, int, double, double, double, bool) override
    {
        position = -1;
    }
    void positionOnTimeScale(int &position, int, QDateTime, QDateTime, QDateTime, bool) override
    {
        position = -1;
    }
};

#include "fakescale.moc"
