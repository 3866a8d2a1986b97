#include "app/SignInText.h"

#include <iterator>

namespace torvane {

namespace {

struct Texts {
    const char16_t *menu;  // %1 the source
    const char16_t *hint;
    const char16_t *signOut;
};

// English, Spanish, German, French, Dutch, Polish, Japanese.
const Texts kTexts[] = {
    {u"Sign in to %1\u2026", u"Setup: Sign in", u"Sign out"},
    {u"Iniciar sesi\u00f3n en %1\u2026", u"Configuraci\u00f3n: Iniciar sesi\u00f3n", u"Cerrar sesi\u00f3n"},
    {u"Bei %1 anmelden\u2026", u"Einstellungen: Anmelden", u"Abmelden"},
    {u"Se connecter \u00e0 %1\u2026", u"Configuration : Se connecter", u"Se d\u00e9connecter"},
    {u"Aanmelden bij %1\u2026", u"Instellingen: Aanmelden", u"Afmelden"},
    {u"Zaloguj do %1\u2026", u"Ustawienia: Zaloguj", u"Wyloguj"},
    {u"%1 \u306b\u30b5\u30a4\u30f3\u30a4\u30f3\u2026", u"\u8a2d\u5b9a: \u30b5\u30a4\u30f3\u30a4\u30f3", u"\u30b5\u30a4\u30f3\u30a2\u30a6\u30c8"},
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

QString signOutText(int languageIndex)
{
    return QString::fromUtf16(textsOf(languageIndex).signOut);
}

QString signInHintText(int languageIndex)
{
    return QString::fromUtf16(textsOf(languageIndex).hint);
}

}  // namespace torvane
