// The geocoding service's XML answer to the position text a lookup stores.

#include "FuzzSupport.h"
#include "lookup/Geocoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString result = torvane::Geocoder::resultFromXml(fuzz::bytes(data, size));
    // Empty, or "lat*,lng*": the lookup splits it at the comma.
    if (!result.isEmpty())
        FUZZ_CHECK(result.endsWith(u'*') && result.contains(QStringLiteral("*,")));
    return 0;
}
