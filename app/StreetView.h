#pragma once
// The address that the satellite viewer opens for the shown station: a title (the call box
// text), "*", then the map host's place page at zoom 19 with the satellite layer.

#include <QString>

namespace torvane {

/// Which place the satellite view is asked for.
enum class StreetViewForm {
    Address,  ///< the station's address lines and country
    Position  ///< the station's latitude and longitude alone
};

/// Address line 2 without its trailing zip code: the run of characters at or below "9"
/// (digits, blanks, dashes, commas) at its end is dropped.
QString withoutTrailingZip(const QString &line);

/// Title + "*" + mapHost + "/maps/place/" + place + "/@" + lat + "," + lon + ",19z/data=!3m1!1e3".
/// callBoxText is the title; add1, add2 and country are the panel's captions; latitude and
/// longitude in degrees. For calls starting with K, A, N or W the zip code is dropped from add2.
QString StreetViewUrl(const QString &callBoxText, const QString &mapHost, const QString &add1,
                      const QString &add2, const QString &country, double latitude,
                      double longitude, StreetViewForm form);

}  // namespace torvane
