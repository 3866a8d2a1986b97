#include "sites/SiteList.h"

#include "core/TextUtil.h"
#include "core/WholeFile.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

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
        const QString field = fromCp1252(record.left(kSiteCallBytes)).toUpper();
        if (trimBlanks(field) == key)
            return {int(mid), trimBlanks(fromCp1252(record.mid(kSiteCallBytes)))};
        if (field < key)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return {};
}

namespace {

QByteArray blankPadded(const QString &text, int width)
{
    QByteArray bytes = toCp1252(text).left(width);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

bool isSiteAddress(const QString &address)
{
    const QUrl url(trimBlanks(address), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
           && !url.host().isEmpty();
}

}  // namespace

SiteList siteListFromUpdateText(const QString &text)
{
    SiteList list;
    const qsizetype marker = text.indexOf(QLatin1String("/////5"));
    if (marker < 0)
        return list;
    const QStringList lines = text.mid(marker + 6).split(QLatin1String("\r\n"));
    const int highest = int(lines.size()) - 1;
    list.siteCount = highest / 2;
    for (int i = 1; i + 1 <= highest; i += 2) {
        const QString call = lines[i].section(u'*', 0, 0);
        QString address = lines[i + 1];
        address.remove(u'\r');
        if (!isSiteAddress(address)) {
            ++list.skipped;
            continue;
        }
        list.records += blankPadded(call, kSiteCallBytes)
                        + blankPadded(address, kSiteRecordBytes - kSiteCallBytes);
    }
    return list;
}

int RebuildSiteList(const QString &updateText, const QString &file, QString *error)
{
    const SiteList list = siteListFromUpdateText(updateText);
    const QString problem = writeWholeFile(file, list.records);
    if (error)
        *error = problem;
    return problem.isEmpty() ? list.siteCount : -1;
}

}  // namespace torvane
