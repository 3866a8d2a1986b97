#pragma once
// The data folder ($XDG_DATA_HOME/Torvane, else ~/.local/share/Torvane) and what lives in it.

#include <QString>
#include <QStringList>

namespace torvane {

/// The user's data folder for Torvane; "/Torvane" alone when the base cannot be told.
QString dataFolderPath();

/// The shipped data/ folder that a fresh installation copies (the source tree's data/, or
/// ../share/torvane/data beside the program).
QString shippedDataFolder();

/// On first start, when `dataFolder` does not exist yet, creates it and copies the shipped files
/// into it. Never overwrites a file that exists. Returns false when the folder could not be made.
bool installShippedData(const QString &shippedFolder, const QString &dataFolder);

/// Creates the picture folders when they are missing.
void createPictureFolders(const QString &dataFolder);

/// The station picture cache folder (one folder, whatever case the callers spell it in).
QString pictureCacheFolder(const QString &dataFolder);

/// File names in <dataFolder>/Maps whose name without its last four characters ends in "Map".
QStringList listMapFiles(const QString &dataFolder);

}  // namespace torvane
