// The maker's update page as the update check reads it: the body decoded (the first byte picks
// whether the header names UTF-8), HTML to text, the announced version compared with the
// program's and the message built from the language texts.

#include "FuzzSupport.h"
#include "lookup/Fetch.h"
#include "lookup/HtmlDecode.h"
#include "lookup/UpdateCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray type = data[0] & 1 ? "text/html; charset=utf-8" : "";
    const QString text = torvane::HTMLDecode(torvane::decodePageBytes(fuzz::bytes(data + 1, size - 1), type));
    torvane::ProgramValues values;
    values.LanguageText = QStringList(73, QStringLiteral("New version *** is out"));
    torvane::HostTable hosts;
    hosts.setHost(QStringLiteral("maker"), QStringLiteral("http://127.0.0.1:9"));
    bool asked = false, opened = false;
    torvane::UpdateCheck check(
        values, hosts,
        [&asked](const torvane::UpdateMessage &, std::function<void(int)> answered) {
            asked = true;
            answered(torvane::kAnswerYes);
        },
        [&opened](const QUrl &) { opened = true; });
    check.UpdateFound(text);
    FUZZ_CHECK(asked == check.announced() && opened == asked);
    return 0;
}
