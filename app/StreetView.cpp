#include "app/StreetView.h"

#include "core/TextUtil.h"

namespace torvane {

namespace {

/// A position in decimal text with "." whatever the locale.
QString coordinateText(double degrees)
{
    QString text = formatNumber(degrees);
    text.replace(u',', u'.');
    return text;
}

/// One part of the place: trimmed, blanks as "+". Characters that would end the path or
/// start a query or fragment are percent-encoded, so "Apt #4" keeps the rest of the address.
QString placePart(const QString &caption)
{
    QString out;
    const QString trimmed = caption.trimmed();
    out.reserve(trimmed.size());
    for (const QChar c : trimmed) {
        switch (c.unicode()) {
        case u' ': out += u'+'; break;
        case u'%': out += QStringLiteral("%25"); break;
        case u'#': out += QStringLiteral("%23"); break;
        case u'?': out += QStringLiteral("%3F"); break;
        case u'/': out += QStringLiteral("%2F"); break;
        case u'\\': out += QStringLiteral("%5C"); break;
        case u'*': out += QStringLiteral("%2A"); break;
        default: out += c;
        }
    }
    return out;
}

bool dropsZip(const QString &callBoxText)
{
    if (callBoxText.isEmpty())
        return false;
    const QChar first = callBoxText.front().toUpper();
    return first == u'K' || first == u'A' || first == u'N' || first == u'W';
}

}  // namespace

QString withoutTrailingZip(const QString &line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1) <= u'9')
        --end;
    return line.left(end);
}

QString StreetViewUrl(const QString &callBoxText, const QString &mapHost, const QString &add1,
                      const QString &add2, const QString &country, double latitude,
                      double longitude, StreetViewForm form)
{
    const QString lat = coordinateText(latitude);
    const QString lon = coordinateText(longitude);
    QString place;
    if (form == StreetViewForm::Address) {
        const QString line2 = dropsZip(callBoxText) ? withoutTrailingZip(add2) : add2;
        place = placePart(add1) + QStringLiteral(",+") + placePart(line2) + QStringLiteral(",+")
                + placePart(country);
    } else {
        place = lat + u'+' + lon;
    }
    // The viewer takes everything before the first "*" as its title.
    QString title = callBoxText;
    title.remove(u'*');
    return title + u'*' + mapHost + QStringLiteral("/maps/place/") + place + QStringLiteral("/@") + lat
           + u',' + lon + QStringLiteral(",19z/data=!3m1!1e3");
}

}  // namespace torvane
