#include "sites/SiteList.h"

#include "core/TextUtil.h"

#include <QFile>

namespace torvane {

SiteRecord FindSite(const QString &file, const QString &call)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const qint64 count = f.size() / kSiteRecordBytes;
    const QString key = call.toUpper();
    qint64 lo = 1, hi = count;
    while (lo <= hi) {
        const qint64 mid = (lo + hi) / 2;
        if (!f.seek((mid - 1) * kSiteRecordBytes))
            return {};
        const QByteArray record = f.read(kSiteRecordBytes);
        if (record.size() != kSiteRecordBytes)
            return {};
        const QString field = fromCp1252(record.left(6)).toUpper();
        if (trimBlanks(field) == key)
            return {int(mid), trimBlanks(fromCp1252(record.mid(6)))};
        if (field < key)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return {};
}

}  // namespace torvane
