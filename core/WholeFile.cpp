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
    // A disk that fills up part way takes a first write in part, with no error; the next one
    // tells why.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += n;
    }
    QString reason;
    if (written != bytes.size() || !file.flush())
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
