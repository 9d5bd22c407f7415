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
    // What a search does beyond the common folders.
    struct Options
    {
        // Also search "../../plugins" (between "../external/plugins" and
        // "../../external/plugins").
        bool twoFoldersUp = false;
        // Write the program's folder to Qt's debug stream before searching.
        bool traceProgramFolder = false;
        // Write to Qt's debug stream why a file of the last folder did not load.
        bool reportLastFolder = false;
    };

    // The folder the search starts from: appDir, moved one level up when its own name is
    // "debug" or "release" (any case).
    static QString applicationFolder(const QString &appDir);

    // The candidate folders relative to the application folder, in search order.
    static QStringList candidateFolders(const Options &options);

    // Loads the first file matching baseName + "*" from the candidate folders of the running
    // program into loader. Returns whether the loader is loaded afterwards; an already loaded
    // loader is left as it is.
    static bool loadPlugin(const QString &baseName, QPluginLoader *loader, const Options &options);

    // As loadPlugin, with an explicit program folder.
    static bool loadPluginFrom(const QString &appDir, const QString &baseName,
        QPluginLoader *loader, const Options &options);
};

#endif // PLUGINSEARCH_H
