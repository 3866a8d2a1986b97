#include "core/WholeFile.h"

#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace torvane {

QString writeWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile's commit renames its temporary file over the old one even when the last flush of
    // its buffer failed (on a full disk: an empty file for the old one), and it ignores a failed
    // sync; both are checked here, before the commit. The destructor removes the temporary file.
    QString reason;
    if (file.write(bytes) != bytes.size() || !file.flush())
        reason = file.errorString();
    else if (::fsync(file.handle()) != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (!file.commit())
        reason = file.errorString();
    if (!reason.isEmpty())
        file.cancelWriting();
    return reason;
}

}  // namespace torvane
