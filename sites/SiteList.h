#pragma once
// dsstvSites.dat: the receiving sites of digital images, one 66-byte record per station
// (call 6 bytes, last-images address 60 bytes), sorted by call.

#include <QByteArray>
#include <QString>

namespace torvane {

inline constexpr int kSiteRecordBytes = 66;
inline constexpr int kSiteCallBytes = 6;

struct SiteRecord {
    int number = 0;  ///< record number from 1; 0 when the call has no site
    QString url;     ///< the site's address, trimmed
};

/// Binary search for call (compared without regard to case) in the site file.
SiteRecord FindSite(const QString &file, const QString &call);

/// The site records read from the maker's update text.
struct SiteList {
    QByteArray records;  ///< the whole content of dsstvSites.dat
    int siteCount = 0;   ///< the sites the text announces: its lines after the marker, halved
    int skipped = 0;     ///< pairs whose address is not an http or https address
};

/// The part of text after the first "/////5" line marker, read as pairs of lines: a line with
/// the call sign before its first "*", then the line with the site's address. Calls are cut to
/// 6 characters and addresses to 60; a pair whose address is not http or https is skipped.
/// A text without the marker gives no records.
SiteList siteListFromUpdateText(const QString &text);

/// Replaces file with the records of text. The new list is written beside the old one and
/// renamed over it, so a failure keeps the old list. Returns the number of sites the text
/// announces, or -1 with *error set when the file could not be written.
int RebuildSiteList(const QString &updateText, const QString &file, QString *error = nullptr);

}  // namespace torvane
