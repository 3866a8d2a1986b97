#pragma once
// The five web call-books and what the program knows of each, in one table. The settings
// number them from 0 (CurrentSource), the lookup component from 1 (its Database property).

#include <QString>
#include <cstdint>

namespace torvane {

/// Source indexes of the lookup component.
enum LookupSource : int16_t {
    kSourceEHam = 1,
    kSourceQrz = 2,
    kSourceQrzCq = 3,
    kSourceCallook = 4,
    kSourceHamCall = 5,
};

/// The domain names as the eHam and QRZCQ pages print them.
inline constexpr char16_t kEHamDomain[] = u"eHam.net";
inline constexpr char16_t kQrzCqDomain[] = u"QRZCQ.com";

/// How a source answers.
enum class LoginRule {
    Always,       ///< every page counts as logged in (eHam)
    Never,        ///< no page ever does (Callook)
    PageMarker,   ///< logged in when the page contains loggedInMarker
};

struct SourceFacts {
    LookupSource database;
    const char16_t *displayName;     ///< "QRZ.com": captions show the part before the first "."
    const char *hostName;            ///< name in Hosts.cfg
    const char16_t *startPath;       ///< appended to the host for SourceUrl when selected
    const char16_t *pagePath;        ///< the call is appended
    const char16_t *sitePath;        ///< the page that tells whether the source answers
    const char16_t *siteMarker;      ///< the site page must contain it
    LoginRule login;
    const char16_t *loggedInMarker;  ///< for LoginRule::PageMarker
    bool pageWithoutLogin;           ///< pages count as found even when not logged in
    bool keepsStoredAdd1;            ///< its first address line is not stored over the old one
    int fieldPauseMs;                ///< pause between the address and the other fields
};

/// The lookup component's index of a settings index: 1 to 5 for 0 to 4.
inline int16_t databaseIndex(int currentSource)
{
    return int16_t(currentSource + 1);
}
/// The facts of a source by the lookup component's index; nullptr outside 1 to 5.
const SourceFacts *sourceFacts(int16_t database);
/// The facts of a source by its settings index; nullptr outside 0 to 4.
inline const SourceFacts *sourceFactsOfSetting(int currentSource)
{
    return sourceFacts(databaseIndex(currentSource));
}
/// Whether a page of that source shows a logged-in operator.
bool isLoggedIn(const SourceFacts &source, const QString &pageText);

}  // namespace torvane
