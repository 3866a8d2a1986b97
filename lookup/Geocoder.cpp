#include "lookup/Geocoder.h"

#include "lookup/Fetch.h"
#include "lookup/Logging.h"

#include <QNetworkAccessManager>
#include <QUrl>

#include <pugixml.hpp>

namespace torvane {

Geocoder::Geocoder(const HostTable &hosts, QNetworkAccessManager *manager)
    : m_hosts(hosts), m_manager(manager)
{
    if (!m_manager) {
        m_manager = new QNetworkAccessManager;
        m_ownsManager = true;
    }
}

Geocoder::~Geocoder()
{
    if (m_ownsManager)
        delete m_manager;
}

QString Geocoder::requestAddress(const QString &host, const QString &address)
{
    QString part = address;
    part.replace(u' ', u'+');
    // Kept as written: what a browser sends unencoded in a query value; "+" stands for a blank.
    const QByteArray part8 = QUrl::toPercentEncoding(part, QByteArrayLiteral("+,/:;@!$'()*"));
    return host + QStringLiteral("/maps/api/geocode/xml?sensor=false&address=")
           + QString::fromLatin1(part8);
}

QString Geocoder::resultFromXml(const QByteArray &xml)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size())))
        return QString();
    try {
        const pugi::xpath_node status = doc.select_node("//status");
        if (!status || QString::fromUtf8(status.node().text().get()).trimmed().compare(
                           u"OK", Qt::CaseInsensitive) != 0)
            return QString();
        const pugi::xpath_node lat =
            doc.select_node("/GeocodeResponse/result/geometry/location/lat");
        const pugi::xpath_node lng =
            doc.select_node("/GeocodeResponse/result/geometry/location/lng");
        if (!lat || !lng)
            return QString();
        const QString latText = QString::fromUtf8(lat.node().text().get()).trimmed();
        const QString lngText = QString::fromUtf8(lng.node().text().get()).trimmed();
        if (latText.isEmpty() || lngText.isEmpty())
            return QString();
        return latText + QStringLiteral("*,") + lngText + u'*';
    } catch (const pugi::xpath_exception &) {
        return QString();
    }
}

void Geocoder::GeocodeAddress(const QString &address, QObject *context,
                              std::function<void(const QString &)> done)
{
    const QString host = m_hosts.host(QStringLiteral("geocoder"));
    const QUrl url = QUrl::fromEncoded(requestAddress(host, address).toUtf8());
    if (host.isEmpty() || !isWebAddress(url)) {
        done(QString());
        return;
    }
    startFetch(m_manager, makeRequest(url), m_limitMs, context,
               [done](const FetchResult &fetched) {
                   if (fetched.status != FetchResult::Ok) {
                       done(QString());
                       return;
                   }
                   const QString result = resultFromXml(fetched.body);
                   if (result.isEmpty())
                       qCWarning(lcLookup) << "geocoder answer without a position:"
                                           << fetched.body.left(200);
                   done(result);
               });
}

}  // namespace torvane
