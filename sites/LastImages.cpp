#include "sites/LastImages.h"

#include "core/TextUtil.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace torvane {

namespace {
constexpr int kTrailerReach = 2000;  // bytes before the end the marker may start
constexpr double kNotch = 357.0 / 6;  // three rows of the strip in six notches
}

QString lastImageAddress(const QString &siteUrl, int n)
{
    return siteUrl.chopped(siteUrl.isEmpty() ? 0 : 1) + QString::number(n);
}

QString lastImagesFolder(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/images/Last15");
}

QString lastImageFile(const QString &dataFolder, int slot)
{
    return lastImagesFolder(dataFolder) + u'/' + QString::number(slot);
}

QString slotKey(int slot)
{
    return QString::number(slot) + u'-';
}

int slotOfKey(const QString &key)
{
    const QString number = key.section(u'-', 0, 0);
    bool ok = false;
    const int slot = number.toInt(&ok);
    return ok && slot >= 0 && slot < 100 ? slot : -1;
}

ReceivedImage splitReceivedImage(const QByteArray &download)
{
    ReceivedImage image;
    const qsizetype last = download.size() - 1;
    const qsizetype lowest = last > kTrailerReach ? last - kTrailerReach : 0;
    const qsizetype marker = last >= 3 ? download.lastIndexOf("***", last - 3) : -1;
    if (marker >= lowest && marker >= 0) {
        image.marked = true;
        image.picture = download.left(marker);
        image.trailer = fromCp1252(download.mid(marker + 3));
    } else {
        image.picture = download;
    }
    return image;
}

QString senderFromTrailer(const QString &trailer)
{
    const qsizetype colon = trailer.indexOf(u':');
    if (colon < 0)
        return {};
    QString sender = trailer.left(colon + 3).section(u'*', 0, 0);
    sender.replace(kSlashedZero, u'0');
    // "de" and "DE" go only as words of their own: VK2DEF keeps its letters.
    static const QRegularExpression de(QStringLiteral("(?<![A-Za-z0-9])de(?![A-Za-z0-9])"));
    static const QRegularExpression DE(QStringLiteral("(?<![A-Za-z0-9])DE(?![A-Za-z0-9])"));
    sender = trimBlanks(sender.remove(de));
    sender = trimBlanks(sender.remove(DE));
    const qsizetype jt65 = sender.indexOf(QLatin1String("JT65"));
    if (jt65 >= 0)
        sender.truncate(jt65 + 4);
    const auto end = std::find_if(sender.cbegin(), sender.cend(),
                                  [](QChar c) { return c.unicode() < 48 || c.unicode() >= 123; });
    sender.truncate(end - sender.cbegin());
    return sender;
}

bool PendingKeys::AddPendingKey(const QString &key)
{
    if (isPending(key))
        return false;
    m_keys += key + QChar(0);
    return true;
}

void PendingKeys::RemovePendingKey(const QString &key)
{
    m_keys.replace(QChar(0) + key + QChar(0), QString(QChar(0)));
}

bool PendingKeys::isPending(const QString &key) const
{
    return m_keys.contains(QChar(0) + key + QChar(0));
}

QString lastImagesCaption(const QString &call)
{
    // The template's "**" takes the numbers and its two question marks the call.
    return QStringLiteral("Images ** on ?\?'s site")
               .replace(QLatin1String("**"), QLatin1String("1-30"))
               .replace(QLatin1String("?\?"), call)
           + QStringLiteral("  --- Use Scroll Wheel ---");
}

QString centeredCaption(const QString &caption, int widthTwips)
{
    const QString text = caption.trimmed();
    const bool blank = text.contains(u' ');
    const double perChar = text.contains(u'!') ? (blank ? 1.5 : 1.4) : (blank ? 1.4 : 1.3);
    const long long estimated = std::llround(perChar * text.size());
    const long long available = std::llround(widthTwips / 61.2244);
    if (available - estimated > 1)
        return QString(int((available - estimated) / 2), u' ') + text;
    return text;
}

QString lastImagesInfoText(const QString &call, int siteCount)
{
    const QString n = QString::number(siteCount);
    return QStringList{
        QStringLiteral("      ") + call + QStringLiteral(" is one of about ") + n
            + QStringLiteral(" stations who receive"),
        QStringLiteral("  digital images and uploads the last 30 received to a"),
        QStringLiteral("  web-site. Click on an image to view it full size."),
        QString(),
        QStringLiteral("      Images were transmitted and received using a"),
        QStringLiteral("  free program, EasyPal: search the web for EasyPal."),
        QStringLiteral("  You can see the images from all ") + n + QStringLiteral(" stations using"),
        QStringLiteral("  the free program Vistaglen: search the web for Vistaglen."),
    }.join(QLatin1String("\r\n"));
}

double scrolledStripTop(double top, bool away)
{
    if (away)
        return top < -1 ? top + kNotch : top;
    return top > -356 ? top - kNotch : top;
}

QSize fullSizeWindowSize(const QSize &picture, const QSize &screen)
{
    if (picture.width() <= 0 || picture.height() <= 0)
        return {};
    if (picture.width() < 700 && picture.height() < 500) {
        const double ratio = double(picture.width()) / picture.height();
        if (500 * ratio > 700)
            return QSize(700, int(std::lround(700 / ratio)));
        return QSize(int(std::lround(500 * ratio)), 500);
    }
    return picture.boundedTo(screen.isValid() ? screen : picture);
}

int pannedEdge(int pointer, int span, int picture, int window)
{
    const int overhang = picture - window;
    if (overhang <= 0 || span <= 0)
        return 0;
    const int edge = int(std::lround(-double(overhang) * pointer / span));
    return std::clamp(edge, -overhang, 0);
}

}  // namespace torvane
