// MASTER.SCP as the call completion reads it, and the completions of a typed text. The bytes
// up to the first LF (at most 12) are what was typed; the rest is the file.

#include "FuzzSupport.h"
#include "lookup/CallCompletion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto [typedBytes, text] = fuzz::splitHead(fuzz::bytes(data, size), 12);
    torvane::CallCompletion completion;
    completion.setActiveCalls(text);
    completion.setLocalCalls({QStringLiteral("W1AW"), QStringLiteral("k0abc ")});
    completion.addLocalCalls({QStringLiteral("PA3XYZ")});
    const QString typed = QString::fromLatin1(typedBytes);
    const QStringList calls = completion.complete(typed);
    FUZZ_CHECK(calls.size() <= 20);
    const QString key = typed.trimmed().toUpper().replace(QChar(0xD8), u'0');
    for (const QString &call : calls)
        FUZZ_CHECK(call.contains(key) && calls.count(call) == 1);
    return 0;
}
