#pragma once
// Position of a postal address from the geocoding web service (XML answer).

#include "core/HostTable.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QNetworkAccessManager;
class QObject;

namespace torvane {

/// Time the geocoding request may take (ms): a dead service must not freeze the program.
inline constexpr int kGeocodeTimeLimitMs = 10000;

/// Asks the "geocoder" host of Hosts.cfg for an address's position, within a time limit.
class Geocoder {
public:
    /// manager may be shared with other users; without one the geocoder makes its own.
    explicit Geocoder(const HostTable &hosts, QNetworkAccessManager *manager = nullptr);
    ~Geocoder();
    Geocoder(const Geocoder &) = delete;
    Geocoder &operator=(const Geocoder &) = delete;

    /// Calls done once with "lat*,lng*" (for example "41.71*,-72.72*") of the first result, or
    /// with empty text when the service has no answer, no result, or answers with anything
    /// unreadable. Without a service (no host, bad address) done runs before this returns;
    /// otherwise later, and not at all when context is destroyed first.
    void GeocodeAddress(const QString &address, QObject *context,
                        std::function<void(const QString &)> done);

    void setTimeLimitMs(int ms) { m_limitMs = ms; }

    /// host + "/maps/api/geocode/xml?sensor=false&address=" + the address with every blank
    /// made "+". Characters that would end or split the query ("&", "#", "=", ...) and
    /// non-ASCII letters are percent-encoded; everything else stays as written.
    static QString requestAddress(const QString &host, const QString &address);

    /// The result text from the service's XML answer: status (first //status) OK in any case,
    /// then the first result's location lat and lng; empty otherwise.
    static QString resultFromXml(const QByteArray &xml);

private:
    HostTable m_hosts;
    QNetworkAccessManager *m_manager = nullptr;
    bool m_ownsManager = false;
    int m_limitMs = kGeocodeTimeLimitMs;
};

}  // namespace torvane
