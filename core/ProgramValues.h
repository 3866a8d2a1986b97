#pragma once
// The program-wide settings and run-time values: made once in main() and handed to every
// window and component that reads or writes them.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

class QNetworkCookieJar;

namespace torvane {

struct ProgramValues {
    // Persisted in Torvane.cfg (line number in brackets).
    double OwnLatitude = 0;       ///< [1] degrees, north positive
    double OwnLongitude = 0;      ///< [2] degrees, east positive
    int16_t DefaultSource = 0;    ///< [3] 0 eHam, 1 QRZ, 2 QRZCQ, 3 Callook, 4 HamCall
    int32_t WindowLeft = 0;       ///< [4] twips
    int32_t WindowTop = 0;        ///< [5] twips
    int16_t UseMiles = 0;         ///< [6] 1 miles, anything else kilometres
    int16_t LanguageIndex = 0;    ///< [7] 0-6
    int32_t WindowWidth = 5200;   ///< [8] twips
    int16_t AlwaysOnTop = 0;      ///< [9] 1 topmost
    QString OwnCall;              ///< [10]
    int16_t PlainZero = 0;        ///< [11] 0: a typed 0 becomes the slashed zero
    bool WebMode = true;          ///< [12] optFrom(1) selected; false = local database
    QStringList CallHistory;      ///< [13..] most recent first

    // Run-time values.
    QString VersionText = QStringLiteral("Torvane  " TORVANE_VERSION);
    QString ReleaseText = QStringLiteral("Released 12-4-15");
    QString DataFolder;
    int16_t CurrentSource = 0;
    QString SourceUrl;
    QString SourceName;
    QString CurrentCall;
    double StationLatitude = 0;
    double StationLongitude = 0;
    int16_t LookupState = 0;
    int16_t LookupFailed = 0;
    QByteArray DownloadBuffer;
    QString UpdateText;
    QString DsstvSiteUrl;
    int16_t DsstvSiteCount = 0;   ///< sites in the last site list read
    QString MenuFontName;
    float MenuFontSize = 0;
    int32_t TwipsPerPixelX = 15;
    int32_t TwipsPerPixelY = 15;
    int32_t VirtualScreenWidth = 0;
    int32_t VirtualScreenHeight = 0;
    float AspectRatio = 0.7f;
    QStringList MapList;          ///< lstMap: usable map file names in the Maps folder
    QStringList LanguageText;     ///< items 1-73 of the loaded language file at 0-72
    bool FirstLookupPending = true;
    int16_t CurrentMapIndex = 0;  ///< index into MapList of the map shown in the map window
    /// The sign-in cookies every lookup component sends (owned by main(); none in tests).
    QNetworkCookieJar *Cookies = nullptr;
};

}  // namespace torvane
