// FindSite over an arbitrary dsstvSites.dat: the call is the bytes up to the first LF (at most
// 8), the rest is the file.

#include "FuzzSupport.h"
#include "sites/SiteList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [call, file] = fuzz::splitHead(fuzz::bytes(data, size), 8);
    const QString path = fuzz::scratch() + QStringLiteral("/dsstvSites.dat");
    fuzz::writeFile(path, file);
    const torvane::SiteRecord site = torvane::FindSite(path, QString::fromLatin1(call));
    FUZZ_CHECK(site.number >= 0 && site.number <= file.size() / torvane::kSiteRecordBytes);
    FUZZ_CHECK(site.number > 0 || site.url.isEmpty());
    return 0;
}
