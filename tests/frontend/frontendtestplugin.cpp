// A plug-in with no interface: enough for the plug-in search to load it.
#include <QObject>
#include <QtPlugin>

class FrontendTestPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "helicart.test.frontendPlugin")
};

#include "frontendtestplugin.moc"
