#pragma once
// dsstvSites.dat: the receiving sites of digital images, one 66-byte record per station
// (call 6 bytes, last-images address 60 bytes), sorted by call.

#include <QString>

namespace torvane {

inline constexpr int kSiteRecordBytes = 66;

struct SiteRecord {
    int number = 0;  ///< record number from 1; 0 when the call has no site
    QString url;     ///< the site's address, trimmed
};

/// Binary search for call (compared without regard to case) in the site file.
SiteRecord FindSite(const QString &file, const QString &call);

}  // namespace torvane
