#include "core/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace torvane {

QString dataFolderPath()
{
    // GenericDataLocation is $XDG_DATA_HOME, else ~/.local/share.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Torvane");
}

QString shippedDataFolder()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/torvane/data");
    if (QFileInfo(beside).isDir())
        return QDir::cleanPath(beside);
    return QStringLiteral(TORVANE_SHIPPED_DATA);
}

static bool copyTree(const QString &from, const QString &to)
{
    bool ok = QDir().mkpath(to);
    const QDir source(from);
    const auto entries = source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir())
            ok = copyTree(entry.filePath(), target) && ok;
        else if (!QFileInfo::exists(target))
            ok = QFile::copy(entry.filePath(), target) && ok;
    }
    return ok;
}

bool installShippedData(const QString &shippedFolder, const QString &dataFolder)
{
    if (QFileInfo(dataFolder).isDir())
        return true;
    if (!QDir().mkpath(dataFolder))
        return false;
    if (QFileInfo(shippedFolder).isDir())
        copyTree(shippedFolder, dataFolder);
    return true;
}

QString pictureCacheFolder(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/qrzimages");
}

void createPictureFolders(const QString &dataFolder)
{
    QDir().mkpath(dataFolder + QStringLiteral("/images"));
    QDir().mkpath(pictureCacheFolder(dataFolder));
}

QStringList listMapFiles(const QString &dataFolder)
{
    QStringList maps;
    const QDir dir(dataFolder + QStringLiteral("/Maps"));
    // Sorted by name without regard to case, as the listing of the original file system gives.
    const QStringList files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : files) {
        if (file.size() > 4 && file.chopped(4).endsWith(QStringLiteral("Map"), Qt::CaseSensitive))
            maps.append(file);
    }
    return maps;
}

}  // namespace torvane
