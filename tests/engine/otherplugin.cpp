// A loadable plug-in whose root object does not answer the scale interface.

#include <QObject>
#include <QtPlugin>

class OtherPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "orvela.somethingElse/1.0")
};

#include "otherplugin.moc"
