// A page body to the text the page readers read, as a page load does it: the charset from the
// Content-Type header or the markup, the bytes decoded, HTML to text with its nesting limit.
// The first byte picks the Content-Type header the page came with.

#include "FuzzSupport.h"
#include "lookup/Fetch.h"

#include <iterator>

namespace {
const char *const kContentTypes[] = {
    "",
    "text/html",
    "text/html; charset=utf-8",
    "text/html; charset=ISO-8859-1",
    "text/html;charset=\"windows-1250\"",
    "text/html; charset=shift_jis",
    "text/html; charset=utf-16le",
    "text/html; charset=x-no-such-charset",
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const char *type = kContentTypes[data[0] % std::size(kContentTypes)];
    const QString text = torvane::pageText(fuzz::bytes(data + 1, size - 1), type);
    // Lines end in CR LF: a lone LF never reaches the readers.
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        FUZZ_CHECK(i > 0 && text[i - 1] == u'\r');
    return 0;
}
