#pragma once
// One running Torvane per data folder: a lock file in the data folder it protects, so that two
// data folders (two operators, or a test) can run side by side and one data folder is
// protected across login sessions.

#include <QLockFile>
#include <QString>
#include <memory>

namespace torvane {

class InstanceLock {
public:
    /// Torvane.lock in the data folder.
    static QString defaultPath();

    explicit InstanceLock(const QString &path = defaultPath());
    /// True when this process now holds the lock; a lock left by a dead process is taken over.
    bool acquire();
    /// After acquire() failed: true when another running Torvane holds the lock, false when
    /// the lock file could not be written at all (see problem()).
    bool heldByAnother() const;
    /// What went wrong when the lock could not be written: "<path>: <reason>".
    QString problem() const;

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace torvane
