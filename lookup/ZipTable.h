#pragma once
// Position of a US zip code from the shipped table ZIPS.RAN.

#include <QString>

namespace torvane {

/// Looks zip up in <dataFolder>/ZIPS.RAN. On success sets latitude (degrees, north positive) and
/// longitude (degrees, east positive; the table stores it west positive) and returns true; an
/// exact zip wins, else the prefix record of its first three characters. Otherwise, and for an
/// empty zip or a missing or unreadable table, leaves both untouched and returns false.
/// Never creates the file.
bool ZipPosition(const QString &dataFolder, const QString &zip, double &latitude, double &longitude);

}  // namespace torvane
