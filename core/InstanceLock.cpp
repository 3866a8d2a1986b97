#include "core/InstanceLock.h"

#include <QDir>
#include <QStandardPaths>

namespace torvane {

QString InstanceLock::defaultPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/Torvane.lock");
}

InstanceLock::InstanceLock(const QString &path) : m_lock(std::make_unique<QLockFile>(path))
{
    // Only a lock whose process has died is stale, however old it is.
    m_lock->setStaleLockTime(0);
}

bool InstanceLock::acquire()
{
    return m_lock->tryLock(0);
}

}  // namespace torvane
