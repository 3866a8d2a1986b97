#include "core/Sources.h"

namespace torvane {

namespace {

constexpr SourceFacts kSources[] = {
    {kSourceEHam, u"eHam.net", "eham", u"/", u"/callbook/", u"/", kEHamDomain,
     LoginRule::Always, u"", false, false, 0},
    {kSourceQrz, u"QRZ.com", "qrz", u"/db/", u"/db/", u"/", u"QRZ",
     LoginRule::PageMarker, u"Logout", false, false, 0},
    {kSourceQrzCq, u"QRZCQ.com", "qrzcq", u"/", u"/call/", u"/", u"QRZCQ",
     LoginRule::PageMarker, u"Logged in", true, true, 0},
    {kSourceCallook, u"CALLOOK.info", "callook", u"/", u"/", u"/", u"callook",
     LoginRule::Never, u"", true, false, 0},
    // HamCall's page fills its position fields a moment after the address.
    {kSourceHamCall, u"HamCall.net", "hamcall", u"/", u"/call?callsign=", u"/call", u"HamCall",
     LoginRule::PageMarker, u"Log Out", false, false, 500},
};

}  // namespace

const SourceFacts *sourceFacts(int16_t database)
{
    if (database < kSourceEHam || database > kSourceHamCall)
        return nullptr;
    return &kSources[database - 1];
}

bool isLoggedIn(const SourceFacts &source, const QString &pageText)
{
    switch (source.login) {
    case LoginRule::Always: return true;
    case LoginRule::Never: return false;
    case LoginRule::PageMarker: return pageText.contains(QStringView(source.loggedInMarker));
    }
    return false;
}

}  // namespace torvane
