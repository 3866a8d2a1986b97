#include "app/SignInText.h"

#include <iterator>

namespace torvane {

namespace {

struct Texts {
    const char16_t *menu;  // %1 the source
    const char16_t *hint;
};

// English, Spanish, German, French, Dutch, Polish, Japanese.
const Texts kTexts[] = {
    {u"Sign in to %1\u2026", u"Setup: Sign in"},
    {u"Iniciar sesi\u00f3n en %1\u2026", u"Configuraci\u00f3n: Iniciar sesi\u00f3n"},
    {u"Bei %1 anmelden\u2026", u"Einstellungen: Anmelden"},
    {u"Se connecter \u00e0 %1\u2026", u"Configuration : Se connecter"},
    {u"Aanmelden bij %1\u2026", u"Instellingen: Aanmelden"},
    {u"Zaloguj do %1\u2026", u"Ustawienia: Zaloguj"},
    {u"%1 \u306b\u30b5\u30a4\u30f3\u30a4\u30f3\u2026", u"\u8a2d\u5b9a: \u30b5\u30a4\u30f3\u30a4\u30f3"},
};

const Texts &textsOf(int languageIndex)
{
    const bool known = languageIndex >= 0 && languageIndex < int(std::size(kTexts));
    return kTexts[known ? languageIndex : 0];
}

}  // namespace

QString signInMenuText(const QString &sourceName, int languageIndex)
{
    return QString::fromUtf16(textsOf(languageIndex).menu).arg(sourceName);
}

QString signInHintText(int languageIndex)
{
    return QString::fromUtf16(textsOf(languageIndex).hint);
}

}  // namespace torvane
