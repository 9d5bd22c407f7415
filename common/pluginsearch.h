#ifndef PLUGINSEARCH_H
#define PLUGINSEARCH_H

#include <QString>
#include <QStringList>

class QPluginLoader;

// Plug-ins are found by a search of their own, not through Qt's library paths: a fixed list
// of folders relative to the program's folder, each searched for files whose names begin with
// the plug-in's base name.
class PluginSearch
{
public:
    // The program searches one folder more than the chart plug-in does ("../../plugins").
    enum Variant { Helicart, Compassplot };

    // The folder the search starts from: appDir, moved one level up when its own name is
    // "debug" or "release" (any case).
    static QString applicationFolder(const QString &appDir);

    // The candidate folders relative to the application folder, in search order.
    static QStringList candidateFolders(Variant variant);

    // Loads the first file matching baseName + "*" from the candidate folders of the running
    // program into loader. Returns whether the loader is loaded afterwards; an already loaded
    // loader is left as it is.
    static bool loadPlugin(
        const QString &baseName, QPluginLoader *loader, Variant variant = Helicart);

    // As loadPlugin, with an explicit program folder.
    static bool loadPluginFrom(
        const QString &appDir, const QString &baseName, QPluginLoader *loader, Variant variant);
};

#endif // PLUGINSEARCH_H
