#include "lookup/ZipTable.h"

#include "core/TextUtil.h"

#include <QDir>
#include <QFile>

namespace torvane {

namespace {

constexpr qint64 kRecordLength = 17;  // bytes: zip 5, latitude 6, longitude 6

struct ZipRecord {
    QString zip;  // 5 characters
    QString lat;
    QString lon;  // west positive

    /// A prefix record ends its zip field in a character above the digit 9 ("061ZZ").
    bool isPrefix() const { return zip.size() == 5 && zip.at(4).unicode() >= 58; }
};

/// Record number (1-based); empty zip field when it cannot be read.
ZipRecord readRecord(QFile &file, qint64 number)
{
    ZipRecord r;
    if (!file.seek((number - 1) * kRecordLength))
        return r;
    const QByteArray bytes = file.read(kRecordLength);
    if (bytes.size() != kRecordLength)
        return r;
    const QString text = fromCp1252(bytes);
    r.zip = text.left(5);
    r.lat = text.mid(5, 6);
    r.lon = text.mid(11, 6);
    return r;
}

bool samePrefix(const QString &zip, const QString &field)
{
    return zip.size() >= 3 && QStringView(zip).left(3).compare(QStringView(field).left(3), Qt::CaseInsensitive) == 0;
}

}  // namespace

bool ZipPosition(const QString &dataFolder, const QString &zip, double &latitude, double &longitude)
{
    if (zip.isEmpty())
        return false;
    // ReadOnly: a missing table stays missing instead of appearing as an empty file.
    QFile file(QDir(dataFolder).filePath(QStringLiteral("ZIPS.RAN")));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 count = file.size() / kRecordLength;

    // Binary search on the zip field. A matching prefix record is only remembered: the exact
    // zips of its prefix sort before it, and an exact zip is the better position.
    ZipRecord found;
    ZipRecord prefix;
    for (qint64 lo = 1, hi = count; lo <= hi;) {
        const qint64 mid = lo + (hi - lo) / 2;
        const ZipRecord r = readRecord(file, mid);
        if (r.zip.isEmpty())
            return false;
        if (r.isPrefix() && samePrefix(zip, r.zip))
            prefix = r;
        const int order = zip.compare(r.zip, Qt::CaseInsensitive);
        if (order == 0) {
            found = r;
            break;
        }
        if (order < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }

    // A missing zip: its prefix record sorts after every zip of the prefix, so the search above
    // may have ended among those zips without touching it. Look for it on the first three
    // characters alone.
    if (found.zip.isEmpty() && prefix.zip.isEmpty() && zip.size() >= 3) {
        const QStringView head = QStringView(zip).left(3);
        for (qint64 lo = 1, hi = count; lo <= hi;) {
            const qint64 mid = lo + (hi - lo) / 2;
            const ZipRecord r = readRecord(file, mid);
            if (r.zip.isEmpty())
                return false;
            const int order = head.compare(QStringView(r.zip).left(3), Qt::CaseInsensitive);
            if (order == 0 && r.isPrefix()) {
                prefix = r;
                break;
            }
            if (order < 0)
                hi = mid - 1;
            else
                lo = mid + 1;  // equal head, exact zip: the prefix record comes after it
        }
    }
    if (found.zip.isEmpty())
        found = prefix;
    if (found.zip.isEmpty())
        return false;
    latitude = leadingNumber(found.lat);
    longitude = -leadingNumber(found.lon);
    return true;
}

}  // namespace torvane
