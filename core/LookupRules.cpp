#include "core/LookupRules.h"

#include "core/Sources.h"
#include "core/TextUtil.h"

#include <QUrl>

namespace torvane {

namespace {

constexpr double kPanelWidth = 332;
constexpr double kPanelHeight = 189;
constexpr double kCentreX = 0.852 * kPanelWidth;
constexpr double kCentreY = 0.312 * kPanelHeight;

QString withoutLeadingDe(const QString &text)
{
    return text.startsWith(QStringLiteral("DE ")) ? text.mid(3) : text;
}

/// Cut before the first character whose 8-bit code is below "0" or above "z".
QString cutAtSeparator(const QString &text, bool keepSlashedZero)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (keepSlashedZero && c == kSlashedZero)
            continue;
        if (c < u'0' || c > u'z')
            return text.left(i);
    }
    return text;
}

}  // namespace

QChar typedCallChar(QChar typed, int plainZero)
{
    if (typed >= u'a' && typed <= u'z')
        return typed.toUpper();
    if (typed == u'0' && plainZero == 0)
        return kSlashedZero;
    return typed;
}

QString normaliseCall(const QString &text)
{
    const QString call = plainZeroes(text).toUpper();
    return cutAtSeparator(withoutLeadingDe(call), false);
}

QString pastedCall(const QString &clipboard, int plainZero)
{
    QString text = clipboard.toUpper();
    if (plainZero == 0)
        text.replace(u'0', kSlashedZero);
    return cutAtSeparator(withoutLeadingDe(text), true);
}

bool isSpecialCall(const QString &call)
{
    static const QStringList special = {QStringLiteral("N0CALL"), QStringLiteral("NOCALL"),
                                        QStringLiteral("BITEME"), QStringLiteral("B1TEME")};
    return special.contains(call.toUpper(), Qt::CaseInsensitive);
}

QStringList updatedHistory(QStringList history, const QString &call)
{
    if (!history.contains(call))
        history.prepend(call);
    if (history.size() > 8)
        history.removeAt(8);
    return history;
}

QString pictureAddress(const QString &pictureHost, const QString &call)
{
    const QString c = plainZeroes(call).toLower();
    if (c.isEmpty())
        return {};
    // A "?" or "#" in a call must not end the path.
    const auto encoded = [](const QString &part) {
        return QString::fromLatin1(QUrl::toPercentEncoding(part));
    };
    return pictureHost + u'/' + encoded(c.right(1)) + u'/' + encoded(c) + u'/' + encoded(c)
           + QStringLiteral(".jpg");
}

QByteArray pictureFormat(const QByteArray &head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return "png";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    return {};
}

QString statusText(int state, const QString &sourceName, const QString &loggedInText,
                   const QString &notLoggedInText, const QString &callookText,
                   const QString &qrzcqText)
{
    switch (state) {
    case 1: return sourceName + QStringLiteral("  (") + loggedInText + u')';
    case 2: return sourceName + QStringLiteral("  (") + notLoggedInText + u')';
    case 3: return QStringLiteral("QRZCQ (") + qrzcqText + u')';
    case 4: return QStringLiteral("Callook  (") + callookText + u')';
    default: return {};
    }
}

StatusLine statusLine(bool loggedIn, int currentSource, const QString &sourceName,
                      const QString &loggedInText, const QString &notLoggedInText,
                      const QString &callookText, const QString &qrzcqText)
{
    // QRZCQ shows its own text when not logged in; Callook has no login at all.
    const int16_t database = databaseIndex(currentSource);
    int state = loggedIn ? 1 : (database == kSourceQrzCq ? 3 : 2);
    if (database == kSourceCallook)
        state = 4;
    return {statusText(state, sourceName, loggedInText, notLoggedInText, callookText, qrzcqText),
            state};
}

QRectF defaultPictureBox()
{
    const double width = 0.265 * kPanelWidth;
    const double height = 0.349 * kPanelHeight;
    return QRectF(kCentreX - width / 2, kCentreY - height / 2, width, height);
}

QRectF fittedPictureBox(int width, int height, const QRectF &current)
{
    if (width <= 0 || height <= 0 || current.width() <= 0 || current.height() <= 0)
        return {};
    const double r = double(height) / width;
    // A picture wider than the 4:3 box fills its width, any other its height.
    const double k = r < 0.75 ? width / current.width() : height / current.height();
    const double w = width / k;
    const double h = height / k;
    return QRectF(kCentreX - w / 2, kCentreY - h / 2, w, h);
}

}  // namespace torvane
