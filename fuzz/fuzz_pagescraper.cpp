// Every source's field readers over a page, in the order a lookup reads them. The first byte
// picks the source (1 to 5), the bytes up to the first LF are the call (at most 12), the rest
// is the page body, turned into text as a page load does. As in LookupControl::GetPage and
// StationLookup: the page must hold the call; the name, the address lines and the country,
// then from the lookup's copy of the page the position, class, birth, grid and home page; the
// grid from the position when the page has none. And GetLatLon's position from a fresh page.

#include "FuzzSupport.h"
#include "core/Sources.h"
#include "core/TextUtil.h"
#include "geo/Geodesy.h"
#include "lookup/Fetch.h"
#include "lookup/PageScraper.h"

using torvane::PageScraper;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const auto [callBytes, body] = fuzz::splitHead(fuzz::bytes(data + 1, size - 1), 12);
    const QString call = QString::fromLatin1(callBytes).toUpper();
    PageScraper page;
    page.Database = int16_t(data[0] % 5 + 1);
    page.PageText = torvane::pageText(body);
    const torvane::SourceFacts *facts = torvane::sourceFacts(page.Database);
    FUZZ_CHECK(facts);
    torvane::isLoggedIn(*facts, page.PageText);

    PageScraper position = page;  // GetLatLon
    torvane::formatNumber(position.Latitude());
    torvane::formatNumber(position.Longitude());

    if (call.isEmpty() || !page.PageText.contains(call))
        return 0;
    PageScraper::NameEvent event = PageScraper::NameEvent::None;
    const QString name = page.cName(call, &event);
    FUZZ_CHECK(!name.isEmpty() || event != PageScraper::NameEvent::None);
    if (name.isEmpty())
        return 0;
    page.Add1();
    const QString add2 = page.Add2();
    page.Ctry();
    PageScraper rest = page;  // StationLookup's copy
    const double latitude = rest.Latitude();
    const double longitude = rest.Longitude();
    torvane::formatNumber(latitude);
    torvane::formatNumber(longitude);
    rest.Class();
    rest.DateOfBirth();
    const QString grid = rest.Grid();
    rest.WebAddress();
    if (grid.isEmpty() && latitude != 0 && longitude != 0)
        torvane::LatLonToGrid(latitude, longitude);
    // The zip code that a page without a position is placed by.
    FUZZ_CHECK(add2.mid(add2.lastIndexOf(u' ') + 1, 5).size() <= 5);
    return 0;
}
