#include "lookup/LookupControl.h"

#include "core/Sources.h"
#include "core/TextUtil.h"
#include "core/WholeFile.h"
#include "lookup/HtmlDecode.h"
#include "lookup/Logging.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace torvane {

namespace {

QString withoutKindDigit(const QString &name)
{
    return name.left(std::max<qsizetype>(0, name.size() - 1));
}

}  // namespace

LookupControl::LookupControl(ProgramValues &values, const HostTable &hosts, QObject *parent)
    : QObject(parent), m_values(values), m_hosts(hosts),
      m_pageManager(new QNetworkAccessManager(this))
{
    setObjectName(QStringLiteral("ucLookUp"));
    shareCookies(m_pageManager);
}

void LookupControl::shareCookies(QNetworkAccessManager *manager) const
{
    // One jar for every manager of the run: the manager would take it as its own child.
    QNetworkCookieJar *jar = m_values.Cookies;
    if (!jar)
        return;
    QObject *owner = jar->parent();
    manager->setCookieJar(jar);
    jar->setParent(owner);
}

LookupControl::~LookupControl()
{
    // Requests still running end with the component and raise nothing; a page still being
    // turned into text is finished by its worker and dropped.
    for (const QPointer<QNetworkReply> &reply : std::as_const(m_replies))
        if (reply)
            reply->disconnect(this);
    qDeleteAll(m_decodes);
}

QString LookupControl::siteMarker(int16_t source)
{
    const SourceFacts *facts = sourceFacts(source);
    return facts ? QString::fromUtf16(facts->siteMarker) : QString();
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
    const SourceFacts *facts = sourceFacts(source);
    if (!facts)
        return QString();
    const QString host = m_hosts.host(QLatin1String(facts->hostName));
    if (host.isEmpty())
        return QString();
    if (sitePage)
        return host + QString::fromUtf16(facts->sitePath);
    const QString plain = plainZeroes(call);
    return host + QString::fromUtf16(facts->pagePath)
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

// Registers name; a request already pending under it is cancelled and the new one takes its
// place in the list.
void LookupControl::cancelPending(const QString &name)
{
    if (!registerName(name)) {
        cancelFetch(m_replies.take(name));
        delete m_decodes.take(name);
    }
}

bool LookupControl::CancelRequest(const QString &name)
{
    if (QFutureWatcherBase *decode = m_decodes.take(name)) {
        delete decode;  // the worker finishes on its own; its text is dropped
        removeName(name);
        return true;
    }
    const QPointer<QNetworkReply> reply = m_replies.take(name);
    if (!reply || reply->isFinished())
        return false;
    removeName(name);
    cancelFetch(reply);
    return true;
}

void LookupControl::loadPage(const QString &address, const QString &key, LoadDone then)
{
    m_scraper.PageText.clear();
    m_scraper.Cursor = 0;
    const QDeadlineTimer deadline(m_pageLimitMs);
    QNetworkReply *reply = startFetch(
        m_pageManager, makeRequest(QUrl(address)), m_pageLimitMs, this,
        [this, key, then, deadline](const FetchResult &fetched) {
            pageLoaded(fetched, key, then, deadline);
        },
        kMaxPageBytes);
    if (!reply) {
        then(LoadOutcome::Failed);
        return;
    }
    m_replies.insert(key, reply);
}

void LookupControl::pageLoaded(const FetchResult &fetched, const QString &key,
                               const LoadDone &then, QDeadlineTimer deadline)
{
    if (fetched.status == FetchResult::Cancelled)
        return;  // whoever cancelled it owns the name and the outcome
    if (m_replies.value(key) == fetched.reply)
        m_replies.remove(key);
    m_scraper.PageText.clear();
    m_scraper.Cursor = 0;
    if (fetched.status == FetchResult::Ok) {
        decodePage(fetched, key, then, deadline);  // the name stays pending meanwhile
        return;
    }
    removeName(key);
    // Errors below 100 are the network's (refused, host not found, reset); HTTP answers are above.
    const QNetworkReply::NetworkError error = fetched.reply ? fetched.reply->error() : QNetworkReply::NoError;
    then(fetched.status == FetchResult::TimedOut ? LoadOutcome::TimedOut
         : error > QNetworkReply::NoError && error < QNetworkReply::ProxyConnectionRefusedError
             ? LoadOutcome::NoConnection
             : LoadOutcome::Failed);
}

// Turns the page into text in a worker thread, which holds nothing of the component; the load
// goes on here when the text is there, or ends as timed out when the page's time limit passes
// first, and the text that comes later is dropped.
void LookupControl::decodePage(const FetchResult &fetched, const QString &key,
                               const LoadDone &then, QDeadlineTimer deadline)
{
    auto *watcher = new QFutureWatcher<QString>(this);
    auto *limit = new QTimer(watcher);
    limit->setSingleShot(true);
    m_decodes.insert(key, watcher);
    const auto finish = [this, watcher, key, then](bool decoded) {
        watcher->disconnect();
        watcher->deleteLater();
        if (m_decodes.value(key) == watcher)
            m_decodes.remove(key);
        removeName(key);
        if (!decoded) {
            then(LoadOutcome::TimedOut);
            return;
        }
        writeComplete();
        m_scraper.PageText = watcher->result();
        m_scraper.Cursor = 0;
        then(LoadOutcome::Loaded);
    };
    connect(watcher, &QFutureWatcherBase::finished, watcher, [finish] { finish(true); });
    connect(limit, &QTimer::timeout, watcher, [finish] { finish(false); });
    limit->start(std::chrono::milliseconds(std::max<qint64>(0, deadline.remainingTime())));
    watcher->setFuture(QtConcurrent::run([body = fetched.body, type = fetched.contentType] {
        return pageText(body, type);
    }));
}

// Complete.txt records the ready state of the last page that loaded. It lives in the data
// folder: the program's own folder is not writable once installed.
void LookupControl::writeComplete() const
{
    if (m_values.DataFolder.isEmpty())
        return;
    const QString path = m_values.DataFolder + QStringLiteral("/Complete.txt");
    if (const QString error = writeWholeFile(path, "complete\r\n"); !error.isEmpty())
        qCWarning(lcLookup) << "cannot write" << path << error;
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
    cancelPending(marker);
    loadPage(address, marker, [this, source, marker](LoadOutcome outcome) {
        if (outcome != LoadOutcome::Loaded || !m_scraper.PageText.contains(marker))
            emit SiteNotFound(marker);
        else
            emit GotSite(QString(), isLoggedIn(*sourceFacts(source), m_scraper.PageText));
    });
}

void LookupControl::GetPage(const QString &name)
{
    m_scraper.PageText.clear();
    m_lastNoAnswer = NoAnswer::None;
    const QString call = withoutKindDigit(name);
    const QString requestCall = call.toUpper();
    const int16_t source = Database();
    const QString address = sourceAddress(source, false, requestCall);
    m_values.SourceUrl = sourceAddress(source, false, requestCall, false);
    if (address.isEmpty() || call.isEmpty()) {
        emit PageNotFound(call);
        return;
    }
    cancelPending(call);
    loadPage(address, call, [this, call, requestCall, source](LoadOutcome outcome) {
        m_lastNoAnswer = outcome == LoadOutcome::TimedOut       ? NoAnswer::TimedOut
                         : outcome == LoadOutcome::NoConnection ? NoAnswer::NoConnection
                                                                : NoAnswer::None;
        if (outcome == LoadOutcome::TimedOut) {
            emit CallNotFound(call);
            return;
        }
        // The page must name the call as the caller typed it (Ø stays Ø here).
        if (outcome != LoadOutcome::Loaded || !m_scraper.PageText.contains(call)) {
            emit PageNotFound(call);
            return;
        }
        const SourceFacts &facts = *sourceFacts(source);
        const bool loggedIn = isLoggedIn(facts, m_scraper.PageText);
        if (loggedIn || facts.pageWithoutLogin)
            emit GotPage(call, loggedIn);
        else
            emit LoginRequired(requestCall);
    });
}

void LookupControl::GetLatLon(const QString &name)
{
    m_scraper.PageText.clear();
    const QString requestCall = withoutKindDigit(name).toUpper();
    const int16_t source = databaseIndex(m_values.CurrentSource);
    setDatabase(source);
    const QString address = sourceAddress(source, false, requestCall);
    m_values.SourceUrl = sourceAddress(source, false, requestCall, false);
    if (address.isEmpty() || requestCall.isEmpty()) {
        emit LatLonNotFound();
        return;
    }
    cancelPending(requestCall);
    QPointer<LookupControl> self(this);
    loadPage(address, requestCall, [this, self, requestCall, source](LoadOutcome outcome) {
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
        emit GotPage(requestCall, isLoggedIn(*sourceFacts(source), m_scraper.PageText));
        if (!self)
            return;
        m_values.StationLatitude = latitude;
        m_values.StationLongitude = longitude;
        if (latitude != 0)
            emit LatLon(latitude, longitude);
    });
}

void LookupControl::GetPicture(const QString &address, const QString &name)
{
    // The same picture asked for again while it is on its way: that download answers both.
    const QPointer<QNetworkReply> running = m_replies.value(name);
    if (running && !running->isFinished() && running->request().url() == QUrl(address))
        return;
    cancelPending(name);
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
    cancelPending(name);
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
        shareCookies(m_pools.last());
        return m_pools.last();
    }
    QNetworkAccessManager *manager = m_pools.takeFirst();
    m_pools.append(manager);
    return manager;
}

void LookupControl::startBackground(const QString &address, const QString &name, bool update)
{
    QNetworkRequest request = makeRequest(QUrl(address));
    request.setTransferTimeout(m_stallLimitMs);
    // The update page is turned into text here, in the window's thread: a page's size at most.
    QNetworkReply *reply = startFetch(backgroundManager(), request, m_backgroundLimitMs, this,
                                      [this, name, update](const FetchResult &fetched) {
                                          backgroundFinished(fetched, name, update);
                                      },
                                      update ? kMaxPageBytes : kMaxBodyBytes);
    if (!reply) {
        m_replies.remove(name);
        removeName(name);
        if (update)
            emit UpdatesNotFound();
        else
            emit NoPic(withoutKindDigit(name));
        return;
    }
    m_replies.insert(name, reply);
}

void LookupControl::backgroundFinished(const FetchResult &fetched, const QString &name,
                                       bool update)
{
    if (fetched.status == FetchResult::Cancelled)
        return;  // whoever cancelled it owns the name and the outcome
    if (m_replies.value(name) == fetched.reply)
        m_replies.remove(name);
    removeName(name);

    if (fetched.status != FetchResult::Ok) {
        if (update)
            emit UpdatesNotFound();
        else
            emit NoPic(withoutKindDigit(name));
        return;
    }
    m_values.DownloadBuffer = fetched.body;
    if (update) {
        m_values.UpdateText = decodePageBytes(fetched.body, fetched.contentType);
        m_scraper.PageText = torvane::HTMLDecode(m_values.UpdateText);
        m_scraper.Cursor = 0;
        emit UpdateFound(m_scraper.PageText);
    } else {
        emit GotPicture(withoutKindDigit(name));
    }
}

}  // namespace torvane
