#ifndef ROSEMAKERINTERFACE_H
#define ROSEMAKERINTERFACE_H

#include <QtPlugin>

class QObject;

// More charts at once: the plug-in's root instance is a single chart, handed out again until it
// is destroyed. A host that counts several charts from one pass over its data (one per group of
// the lines) asks a chart for new ones of its kind beside it.
//
// The operations are declared in a fixed order: hosts and plug-ins built elsewhere rely on it.
class RoseMakerInterface
{
public:
    virtual ~RoseMakerInterface() = default;

    // A new chart of the same kind, set as a fresh one is; the caller owns it. Null when none
    // can be made.
    virtual QObject *makeChart() = 0;
};

#define RoseMakerInterface_iid "helicart.roseMaker/1.0"
Q_DECLARE_INTERFACE(RoseMakerInterface, RoseMakerInterface_iid)

#endif // ROSEMAKERINTERFACE_H
