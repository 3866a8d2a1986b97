// ZIPS.RAN over an arbitrary file: the zip code is the bytes up to the first LF (at most 8),
// the rest is the table.

#include "FuzzSupport.h"
#include "lookup/ZipTable.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [zip, table] = fuzz::splitHead(fuzz::bytes(data, size), 8);
    fuzz::writeFile(fuzz::scratch() + QStringLiteral("/ZIPS.RAN"), table);
    double latitude = std::nan(""), longitude = std::nan("");
    const bool found = torvane::ZipPosition(fuzz::scratch(), QString::fromLatin1(zip), latitude,
                                            longitude);
    // Both set on success, both untouched otherwise.
    FUZZ_CHECK(found == std::isfinite(latitude) && found == std::isfinite(longitude));
    return 0;
}
