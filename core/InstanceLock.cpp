#include "core/InstanceLock.h"

#include "core/DataFolder.h"

#include <QFileInfo>

namespace torvane {

QString InstanceLock::defaultPath()
{
    return dataFolderPath() + QStringLiteral("/Torvane.lock");
}

InstanceLock::InstanceLock(const QString &path)
    : m_path(path), m_lock(std::make_unique<QLockFile>(path))
{
    // Only a lock whose process has died is stale, however old it is.
    m_lock->setStaleLockTime(0);
}

bool InstanceLock::acquire()
{
    return m_lock->tryLock(0);
}

bool InstanceLock::heldByAnother() const
{
    return m_lock->error() == QLockFile::LockFailedError;
}

QString InstanceLock::problem() const
{
    const QFileInfo folder(QFileInfo(m_path).path());
    const QString reason = !folder.exists()       ? QStringLiteral("the folder does not exist")
                           : !folder.isWritable() ? QStringLiteral("the folder is not writable")
                                                  : QStringLiteral("the lock file cannot be written");
    return m_path + QStringLiteral(": ") + reason;
}

}  // namespace torvane
