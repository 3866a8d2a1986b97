// A language file as the main window loads it, then the menus made from its texts. The first
// byte picks the language (and so the code page and the way lines are read); the rest is the
// file.

#include "FuzzSupport.h"
#include "ui/LanguageFile.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int index = data[0] % torvane::kLanguageCount;
    const QString folder = fuzz::scratch();
    QDir(folder).mkpath(QStringLiteral("Languages"));
    fuzz::writeFile(torvane::languageFilePath(folder, torvane::languageEntry(index)->fileName),
                    fuzz::bytes(data + 1, size - 1));
    const QStringList previous(torvane::kLanguageItemCount, QStringLiteral("P"));
    const torvane::LanguageLoad load =
        torvane::loadLanguage(folder, index, QStringLiteral("Torvane  4.11"), previous);
    FUZZ_CHECK(load.texts.size() == torvane::kLanguageItemCount);
    FUZZ_CHECK(load.loadError || load.itemsRead == torvane::kLanguageItemCount);
    FUZZ_CHECK(load.loadError != load.refreshCaptions);
    const torvane::MenuLists menus = torvane::fillMenuLists(load.texts, 0, index);
    // Every menu keeps its number of entries whatever the texts hold.
    FUZZ_CHECK(menus.ucMnuLanguage.count(u'|') == torvane::kLanguageCount - 1);
    FUZZ_CHECK(menus.ucMnuSetup.count(u'|') == 7);
    return 0;
}
