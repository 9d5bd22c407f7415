#ifndef TICKFIT_H
#define TICKFIT_H

#include <QObject>

#include "scaleadjustment.h"

// The scale plug-in. It holds no data: every operation works only on its arguments, and all
// of them may be called from several threads at once.
class Tickfit : public QObject, public ScaleAdjustment
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ScaleAdjustment_iid)
    Q_INTERFACES(ScaleAdjustment)

public:
    explicit Tickfit(QObject *parent = nullptr);

    // Rounds maximum up and minimum down in place and returns the number of grid intervals;
    // roundLinearScale is built on it.
    virtual int roundFloatScale(float &maximum, float &minimum);

    // Hosts built elsewhere rely on the order of these slots in the meta-object.
public slots:
    void roundLinearScale(
        double &minimumValue, double &maximumValue, int &gridCount, int &gridLength) override;
    void roundLogaritmicScale(
        double &minimumValue, double &maximumValue, int &gridCount, int &gridLength) override;
    void roundTimeScale(
        QDateTime &begin, QDateTime &end, int &gridCount, int &gridLength, QString &fmt) override;
    void roundDateTime(QDateTime &dt, int intervalLength, bool up) override;
    void positionOnLinearScale(int &position, int scaleLength, double value, double minimumValue,
        double maximumValue, bool ignoreLimits = false) override;
    void positionOnLogaritmicScale(int &position, int scaleLength, double value,
        double minimumValue, double maximumValue, bool ignoreLimits = false) override;
    void positionOnTimeScale(int &position, int scaleLength, QDateTime dt, QDateTime begin,
        QDateTime end, bool ignoreLimits = false) override;

private:
    Q_DISABLE_COPY(Tickfit)
};

#endif // TICKFIT_H
