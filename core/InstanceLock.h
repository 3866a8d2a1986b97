#pragma once
// One running Torvane per user: a lock file in the user's runtime folder.

#include <QLockFile>
#include <QString>
#include <memory>

namespace torvane {

class InstanceLock {
public:
    /// Lock file in $XDG_RUNTIME_DIR (else the temporary folder).
    static QString defaultPath();

    explicit InstanceLock(const QString &path = defaultPath());
    /// True when this process now holds the lock; a lock left by a dead process is taken over.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace torvane
