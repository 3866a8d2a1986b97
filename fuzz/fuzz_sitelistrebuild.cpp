// The site list rebuilt from an arbitrary update text (the input, as Windows-1252): whole
// 66-byte records of http or https addresses only, never more than the pairs the text holds,
// and every call of a sorted list found again at its address.

#include "FuzzSupport.h"
#include "core/TextUtil.h"
#include "sites/SiteList.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace torvane;
    const QString text = fromCp1252(fuzz::bytes(data, size));
    const QString path = fuzz::scratch() + QStringLiteral("/dsstvSites.dat");
    fuzz::writeFile(path, "old list");
    const int count = RebuildSiteList(text, path);
    QFile file(path);
    FUZZ_CHECK(count >= 0 && file.open(QIODevice::ReadOnly));
    const QByteArray records = file.readAll();
    FUZZ_CHECK(records.size() % kSiteRecordBytes == 0);
    FUZZ_CHECK(records.size() / kSiteRecordBytes <= count);
    QString previous;
    bool sorted = true;
    for (qsizetype at = 0; at < records.size(); at += kSiteRecordBytes) {
        const QString call = trimBlanks(fromCp1252(records.mid(at, kSiteCallBytes))).toUpper();
        const QString url = trimBlanks(fromCp1252(records.mid(at + kSiteCallBytes, kSiteRecordBytes - kSiteCallBytes)));
        const QString scheme = QUrl(url).scheme().toLower();
        FUZZ_CHECK(scheme == QLatin1String("http") || scheme == QLatin1String("https"));
        // Only calls of plain letters and digits sort the same padded and trimmed.
        static const QRegularExpression plain(QStringLiteral("^[0-9A-Z/]+$"));
        sorted = sorted && previous < call && plain.match(call).hasMatch();
        previous = call;
    }
    for (qsizetype at = 0; sorted && at < records.size(); at += kSiteRecordBytes) {
        const QString call = trimBlanks(fromCp1252(records.mid(at, kSiteCallBytes)));
        FUZZ_CHECK(FindSite(path, call).number == at / kSiteRecordBytes + 1);
    }
    return 0;
}
