#include "app/NoAnswerText.h"

#include <iterator>

namespace torvane {

namespace {

struct Texts {
    const char16_t *noAnswer;  // %1 the site, %2 the reason
    const char16_t *timeOut;
    const char16_t *noConnection;
    const char16_t *check;
};

// English, Spanish, German, French, Dutch, Polish, Japanese.
const Texts kTexts[] = {
    {u"%1 did not answer (%2)", u"time-out", u"no connection", u"Check the network or Hosts.cfg"},
    {u"%1 no respondi\u00f3 (%2)", u"tiempo agotado", u"sin conexi\u00f3n", u"Compruebe la red o Hosts.cfg"},
    {u"%1 antwortet nicht (%2)", u"Zeitlimit", u"keine Verbindung",
     u"Netzwerk oder Hosts.cfg pr\u00fcfen"},
    {u"%1 n'a pas r\u00e9pondu (%2)", u"d\u00e9lai d\u00e9pass\u00e9", u"pas de connexion",
     u"V\u00e9rifiez le r\u00e9seau ou Hosts.cfg"},
    {u"%1 gaf geen antwoord (%2)", u"time-out", u"geen verbinding", u"Controleer het netwerk of Hosts.cfg"},
    {u"%1 nie odpowiada (%2)", u"przekroczony czas", u"brak po\u0142\u0105czenia",
     u"Sprawd\u017a sie\u0107 lub Hosts.cfg"},
    {u"%1 \u5fdc\u7b54\u306a\u3057 (%2)", u"\u30bf\u30a4\u30e0\u30a2\u30a6\u30c8",
     u"\u63a5\u7d9a\u4e0d\u53ef", u"\u30cd\u30c3\u30c8\u30ef\u30fc\u30af\u304b Hosts.cfg \u3092\u78ba\u8a8d"},
};

const Texts &textsOf(int languageIndex)
{
    const bool known = languageIndex >= 0 && languageIndex < int(std::size(kTexts));
    return kTexts[known ? languageIndex : 0];
}

}  // namespace

QString noAnswerText(const QString &site, bool timedOut, int languageIndex)
{
    const Texts &t = textsOf(languageIndex);
    return QString::fromUtf16(t.noAnswer)
        .arg(site, QString::fromUtf16(timedOut ? t.timeOut : t.noConnection));
}

QString checkNetworkText(int languageIndex)
{
    return QString::fromUtf16(textsOf(languageIndex).check);
}

}  // namespace torvane
