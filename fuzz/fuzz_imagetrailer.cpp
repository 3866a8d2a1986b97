// A downloaded picture split at its trailer and the sender read from it: the picture is the
// download's start, the marker starts within the last 2,000 bytes, nothing is lost, and the
// sender holds only the characters a call may hold.

#include "FuzzSupport.h"
#include "core/TextUtil.h"
#include "sites/LastImages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace torvane;
    const QByteArray download = fuzz::bytes(data, size);
    const ReceivedImage image = splitReceivedImage(download);
    FUZZ_CHECK(download.startsWith(image.picture));
    if (!image.marked) {
        FUZZ_CHECK(image.picture == download && image.trailer.isEmpty());
        return 0;
    }
    FUZZ_CHECK(download.size() - image.picture.size() - 1 <= 2000);
    FUZZ_CHECK(image.picture + "***" + toCp1252(image.trailer) == download);
    const QString sender = senderFromTrailer(image.trailer);
    FUZZ_CHECK(sender.size() <= image.trailer.size());
    for (const QChar c : sender)
        FUZZ_CHECK(c.unicode() >= 48 && c.unicode() < 123);
    return 0;
}
