// cty.dat as the program reads it (the data folder's copy is the operator's), then calls
// resolved against it and the result panel's entity line. The bytes up to the first LF (at
// most 16) are a call resolved besides a few fixed ones; the rest is the file.

#include "FuzzSupport.h"
#include "lookup/CountryFile.h"

#include <QDateTime>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [call, text] = fuzz::splitHead(fuzz::bytes(data, size), 16);
    const torvane::CountryFile countries = torvane::CountryFile::fromText(text);
    FUZZ_CHECK(countries.entityCount() > 0 || countries.isEmpty());
    const QDateTime now(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC);
    for (const QString &c : {QString::fromLatin1(call), QStringLiteral("W1AW"),
                             QStringLiteral("K1ABC/VE3"), QStringLiteral("VE3/K1ABC"),
                             QStringLiteral("K1ABC/P"), QStringLiteral("K1ABC/MM")}) {
        if (const std::optional<torvane::Entity> entity = countries.resolve(c))
            torvane::entityLine(*entity, now);
    }
    FUZZ_CHECK(!countries.resolve(QStringLiteral("K1ABC/MM")));
    return 0;
}
