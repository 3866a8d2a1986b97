#include "lookup/LookupControl.h"

#include "core/TextUtil.h"
#include "lookup/HtmlDecode.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>

using namespace torvane;

namespace {

// Set on a reply just before it is aborted by cancel-by-name, so that its end stays silent.
constexpr char kCancelledProperty[] = "torvaneCancelled";
// Set when a reply was aborted because its body grew past kMaxBodyBytes.
constexpr char kTooLargeProperty[] = "torvaneTooLarge";
// Marks the background download of the update page (the others are pictures).
constexpr char kUpdateProperty[] = "torvaneUpdate";

struct SourcePaths {
    const char *hostName;  // name in Hosts.cfg
    const char *pagePath;  // the call is appended
    const char *sitePath;
};

// Indexed by Database - 1.
constexpr SourcePaths kSources[] = {
    {"eham", "/callbook/", "/"},
    {"qrz", "/db/", "/"},
    {"qrzcq", "/call/", "/"},
    {"callook", "/", "/"},
    {"hamcall", "/call?callsign=", "/call"},
};

bool knownSource(int16_t source)
{
    return source >= kSourceEHam && source <= kSourceHamCall;
}

// Aborts a reply when its announced or received size passes the cap.
void capBodySize(QNetworkReply *reply)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply](qint64 received, qint64 total) {
                         if (received > kMaxBodyBytes || total > kMaxBodyBytes) {
                             reply->setProperty(kTooLargeProperty, true);
                             reply->abort();
                         }
                     });
}

// True when the reply ended with its whole body and a 2xx status.
bool succeeded(QNetworkReply *reply)
{
    if (reply->error() != QNetworkReply::NoError || reply->property(kTooLargeProperty).toBool())
        return false;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return status >= 200 && status < 300;
}

void cancelReply(QNetworkReply *reply)
{
    if (!reply || reply->isFinished())
        return;
    reply->setProperty(kCancelledProperty, true);
    reply->abort();
}

}  // namespace

namespace torvane {

QNetworkRequest makeRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

FetchResult fetchBlocking(QNetworkAccessManager *manager, const QUrl &url, int limitMs,
                          const std::function<void(QNetworkReply *)> &started)
{
    FetchResult result;
    if (!manager || !isWebAddress(url))
        return result;

    QNetworkReply *reply = manager->get(makeRequest(url));
    QPointer<QNetworkReply> guard(reply);
    capBodySize(reply);
    if (started)
        started(reply);

    bool timedOut = false;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        if (guard)
            guard->abort();
        loop.quit();
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (guard && !guard->isFinished()) {
        limit.start(std::max(0, limitMs));
        loop.exec();
    }
    limit.stop();

    if (!guard) {
        result.status = FetchResult::Gone;
        return result;
    }
    reply->deleteLater();
    if (reply->property(kCancelledProperty).toBool())
        result.status = FetchResult::Cancelled;
    else if (timedOut)
        result.status = FetchResult::TimedOut;
    else if (succeeded(reply)) {
        result.body = reply->readAll();
        result.contentType = reply->rawHeader("Content-Type");
        result.status = result.body.size() > kMaxBodyBytes ? FetchResult::Failed : FetchResult::Ok;
    }
    return result;
}

}  // namespace torvane

LookupControl::LookupControl(ProgramValues &values, const HostTable &hosts, QObject *parent)
    : QObject(parent), m_values(values), m_hosts(hosts),
      m_pageManager(new QNetworkAccessManager(this))
{
}

LookupControl::~LookupControl()
{
    // Requests still running end with the component and raise nothing.
    for (const QPointer<QNetworkReply> &reply : std::as_const(m_replies))
        if (reply)
            reply->disconnect(this);
}

QString LookupControl::siteMarker(int16_t source)
{
    switch (source) {
    case kSourceEHam: return QString::fromUtf16(kEHamDomain);
    case kSourceQrz: return QStringLiteral("QRZ");
    case kSourceQrzCq: return QStringLiteral("QRZCQ");
    case kSourceCallook: return QStringLiteral("callook");
    case kSourceHamCall: return QStringLiteral("HamCall");
    default: return QString();
    }
}

bool LookupControl::isLoggedIn(int16_t source, const QString &pageText)
{
    switch (source) {
    case kSourceEHam: return true;
    case kSourceQrz: return pageText.contains(u"Logout");
    case kSourceQrzCq: return pageText.contains(u"Logged in");
    case kSourceHamCall: return pageText.contains(u"Log Out");
    default: return false;  // Callook never logs in
    }
}

QString LookupControl::HTMLDecode(const QString &markup)
{
    return torvane::HTMLDecode(markup);
}

QString LookupControl::cName(const QString &call)
{
    PageScraper::NameEvent event = PageScraper::NameEvent::None;
    const QString name = m_scraper.cName(call, &event);
    if (event == PageScraper::NameEvent::CallNotFound)
        emit CallNotFound(call);
    else if (event == PageScraper::NameEvent::LoginRequired)
        emit LoginRequired(call);
    return name;
}

// The address of a source's site page, or of call's page. The request uses the call
// percent-encoded, so that a "?" or "&" in it cannot change the query; SourceUrl keeps it as
// typed. Empty for an unknown source or host.
QString LookupControl::sourceAddress(int16_t source, bool sitePage, const QString &call,
                                bool encoded) const
{
    if (!knownSource(source))
        return QString();
    const SourcePaths &paths = kSources[source - 1];
    const QString host = m_hosts.host(QLatin1String(paths.hostName));
    if (host.isEmpty())
        return QString();
    if (sitePage)
        return host + QLatin1String(paths.sitePath);
    const QString plain = plainZeroes(call);
    return host + QLatin1String(paths.pagePath)
           + (encoded ? QString::fromLatin1(QUrl::toPercentEncoding(plain)) : plain);
}

bool LookupControl::registerName(const QString &name)
{
    const QString key = QChar(0) + name + QChar(0);
    if (m_pending.contains(key))
        return false;
    m_pending += name + QChar(0);
    return true;
}

void LookupControl::removeName(const QString &name)
{
    m_pending.replace(QChar(0) + name + QChar(0), QString(QChar(0)));
}

bool LookupControl::CancelRequest(const QString &name)
{
    const QPointer<QNetworkReply> reply = m_replies.take(name);
    if (!reply || reply->isFinished())
        return false;
    removeName(name);
    cancelReply(reply);
    return true;
}

LookupControl::LoadOutcome LookupControl::loadPage(const QString &address, const QString &key)
{
    m_scraper.PageText.clear();
    m_scraper.Cursor = 0;
    QPointer<LookupControl> self(this);
    QNetworkReply *mine = nullptr;
    const FetchResult fetched =
        fetchBlocking(m_pageManager, QUrl(address), m_pageLimitMs, [&](QNetworkReply *reply) {
            mine = reply;
            m_replies.insert(key, reply);
        });
    if (!self)
        return LoadOutcome::Gone;
    if (mine && m_replies.value(key) == mine)
        m_replies.remove(key);

    switch (fetched.status) {
    case FetchResult::Gone: return LoadOutcome::Gone;
    case FetchResult::Cancelled: return LoadOutcome::Cancelled;
    case FetchResult::TimedOut: return LoadOutcome::TimedOut;
    case FetchResult::Failed: return LoadOutcome::Failed;
    case FetchResult::Ok: break;
    }
    writeComplete();
    m_scraper.PageText = torvane::HTMLDecode(decodePageBytes(fetched.body, fetched.contentType));
    return LoadOutcome::Loaded;
}

// Complete.txt records the ready state of the last page that loaded. It lives in the data
// folder: the program's own folder is not writable once installed.
void LookupControl::writeComplete() const
{
    if (m_values.DataFolder.isEmpty())
        return;
    QSaveFile file(m_values.DataFolder + QStringLiteral("/Complete.txt"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write("complete\r\n");
        file.commit();
    }
}

void LookupControl::GetSite()
{
    m_scraper.PageText.clear();
    const int16_t source = Database();
    const QString marker = siteMarker(source);
    const QString address = sourceAddress(source, true, QString());
    m_values.SourceUrl = address;
    if (address.isEmpty()) {
        emit SiteNotFound(marker);
        return;
    }
    if (!registerName(marker))
        cancelReply(m_replies.value(marker));

    const LoadOutcome outcome = loadPage(address, marker);
    if (outcome == LoadOutcome::Gone || outcome == LoadOutcome::Cancelled)
        return;
    removeName(marker);
    if (outcome != LoadOutcome::Loaded || !m_scraper.PageText.contains(marker))
        emit SiteNotFound(marker);
    else
        emit GotSite(QString(), isLoggedIn(source, m_scraper.PageText));
}

void LookupControl::GetPage(const QString &name)
{
    m_scraper.PageText.clear();
    const QString call = name.left(std::max<qsizetype>(0, name.size() - 1));
    const QString requestCall = call.toUpper();
    const int16_t source = Database();
    const QString address = sourceAddress(source, false, requestCall);
    m_values.SourceUrl = sourceAddress(source, false, requestCall, false);
    if (address.isEmpty() || call.isEmpty()) {
        emit PageNotFound(call);
        return;
    }
    if (!registerName(call))
        cancelReply(m_replies.value(call));

    const LoadOutcome outcome = loadPage(address, call);
    if (outcome == LoadOutcome::Gone || outcome == LoadOutcome::Cancelled)
        return;
    removeName(call);
    if (outcome == LoadOutcome::TimedOut) {
        emit CallNotFound(call);
        return;
    }
    // The page must name the call as the caller typed it (Ø stays Ø here).
    if (outcome != LoadOutcome::Loaded || !m_scraper.PageText.contains(call)) {
        emit PageNotFound(call);
        return;
    }
    const bool loggedIn = isLoggedIn(source, m_scraper.PageText);
    if (loggedIn || source == kSourceQrzCq || source == kSourceCallook)
        emit GotPage(call, loggedIn);
    else
        emit LoginRequired(requestCall);
}

void LookupControl::GetLatLon(const QString &name)
{
    m_scraper.PageText.clear();
    const QString requestCall = name.left(std::max<qsizetype>(0, name.size() - 1)).toUpper();
    const int16_t source = static_cast<int16_t>(m_values.CurrentSource + 1);
    setDatabase(source);
    const QString address = sourceAddress(source, false, requestCall);
    m_values.SourceUrl = sourceAddress(source, false, requestCall, false);
    if (address.isEmpty() || requestCall.isEmpty()) {
        emit LatLonNotFound();
        return;
    }
    if (!registerName(requestCall))
        cancelReply(m_replies.value(requestCall));

    const LoadOutcome outcome = loadPage(address, requestCall);
    if (outcome == LoadOutcome::Gone || outcome == LoadOutcome::Cancelled)
        return;
    removeName(requestCall);
    // A page that did not load (error or time-out) is a failed position lookup.
    if (outcome != LoadOutcome::Loaded) {
        emit LatLonNotFound();
        return;
    }
    if (!m_scraper.PageText.contains(requestCall)) {
        emit LoginRequired(requestCall);
        return;
    }
    // Read the position before GotPage: its handler may start another load.
    const double latitude = Latitude();
    const double longitude = Longitude();
    QPointer<LookupControl> self(this);
    emit GotPage(requestCall, isLoggedIn(source, m_scraper.PageText));
    if (!self)
        return;
    m_values.StationLatitude = latitude;
    m_values.StationLongitude = longitude;
    if (latitude != 0)
        emit LatLon(latitude, longitude);
}

void LookupControl::GetPicture(const QString &address, const QString &name)
{
    if (!registerName(name))
        cancelReply(m_replies.value(name));
    startBackground(address, name, false);
}

void LookupControl::CheckUpdates()
{
    const QString maker = m_hosts.host(QStringLiteral("maker"));
    if (maker.isEmpty()) {
        emit UpdatesNotFound();
        return;
    }
    m_values.SourceUrl = maker + u'/';
    const QString name = QStringLiteral("Updates3");
    if (!registerName(name))
        cancelReply(m_replies.value(name));
    startBackground(m_values.SourceUrl, name, true);
}

void LookupControl::setBackgroundPools(int count)
{
    m_poolCount = std::max(1, count);
}

// Qt opens at most 6 connections per host and manager; background downloads are spread over
// several managers so that a burst of pictures does not queue behind six slow answers.
QNetworkAccessManager *LookupControl::backgroundManager()
{
    if (m_pools.size() < m_poolCount) {
        m_pools.append(new QNetworkAccessManager(this));
        return m_pools.last();
    }
    QNetworkAccessManager *manager = m_pools.takeFirst();
    m_pools.append(manager);
    return manager;
}

void LookupControl::startBackground(const QString &address, const QString &name, bool update)
{
    const QUrl url(address);
    if (!isWebAddress(url)) {
        m_replies.remove(name);
        removeName(name);
        if (update)
            emit UpdatesNotFound();
        else
            emit NoPic(name.left(std::max<qsizetype>(0, name.size() - 1)));
        return;
    }
    QNetworkRequest request = makeRequest(url);
    request.setTransferTimeout(m_stallLimitMs);
    QNetworkReply *reply = backgroundManager()->get(request);
    capBodySize(reply);
    reply->setProperty(kUpdateProperty, update);
    m_replies.insert(name, reply);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, name] { onBackgroundFinished(reply, name); });
}

void LookupControl::onBackgroundFinished(QNetworkReply *reply, const QString &name)
{
    reply->deleteLater();
    if (reply->property(kCancelledProperty).toBool())
        return;  // whoever cancelled it owns the name and the outcome
    if (m_replies.value(name) == reply)
        m_replies.remove(name);
    removeName(name);

    const bool update = reply->property(kUpdateProperty).toBool();
    const QString call = name.left(std::max<qsizetype>(0, name.size() - 1));
    if (!succeeded(reply)) {
        if (update)
            emit UpdatesNotFound();
        else
            emit NoPic(call);
        return;
    }
    m_values.DownloadBuffer = reply->readAll();
    if (update) {
        m_values.UpdateText = decodePageBytes(m_values.DownloadBuffer, reply->rawHeader("Content-Type"));
        m_scraper.PageText = torvane::HTMLDecode(m_values.UpdateText);
        m_scraper.Cursor = 0;
        emit UpdateFound(m_scraper.PageText);
    } else {
        emit GotPicture(call);
    }
}
