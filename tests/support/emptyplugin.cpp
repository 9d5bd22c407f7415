// A loadable plug-in whose root object answers no interface: the plug-in searches find it,
// the scale binding must turn it down.

#include <QObject>
#include <QtPlugin>

class EmptyPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "helicart.test.emptyPlugin")
};

#include "emptyplugin.moc"
