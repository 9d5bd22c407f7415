#include "pluginsearch.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

QString PluginSearch::applicationFolder(const QString &appDir)
{
    // By the name alone: QDir::cdUp would also ask the disk whether the parent exists.
    const QString name = QDir(appDir).dirName().toLower();
    if (name == QLatin1String("debug") || name == QLatin1String("release"))
        return QDir::cleanPath(appDir + QLatin1String("/.."));
    return QDir::cleanPath(appDir);
}

QStringList PluginSearch::candidateFolders(const Options &options)
{
    QStringList folders { QStringLiteral("."), QStringLiteral("plugins"),
        QStringLiteral("../plugins"), QStringLiteral("../external/plugins") };
    if (options.twoFoldersUp)
        folders << QStringLiteral("../../plugins");
    folders << QStringLiteral("../../external/plugins");
    return folders;
}

bool PluginSearch::loadPlugin(
    const QString &baseName, QPluginLoader *loader, const Options &options)
{
    const QString appDir = QCoreApplication::applicationDirPath();
    if (options.traceProgramFolder)
        qDebug() << appDir;
    return loadPluginFrom(appDir, baseName, loader, options);
}

bool PluginSearch::loadPluginFrom(
    const QString &appDir, const QString &baseName, QPluginLoader *loader, const Options &options)
{
    if (!loader)
        return false;
    const QString base = applicationFolder(appDir);
    const QStringList filter { baseName + QLatin1Char('*') };
    const QStringList folders = candidateFolders(options);
    for (int step = 0; step < folders.size() && !loader->isLoaded(); ++step) {
        QDir dir(base + QLatin1Char('/') + folders.at(step));
        if (!dir.exists())
            continue;
        dir.setNameFilters(filter);
        dir.setFilter(QDir::Files);
        dir.setSorting(QDir::Unsorted);
        const QFileInfoList files = dir.entryInfoList();
        const bool lastStep = step == folders.size() - 1;
        for (const QFileInfo &file : files) {
            loader->setFileName(file.absoluteFilePath());
            if (loader->load())
                break;
            if (options.reportLastFolder && lastStep)
                qDebug() << loader->errorString().toLocal8Bit().constData();
        }
    }
    return loader->isLoaded();
}
