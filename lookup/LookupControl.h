#pragma once
// LookupControl: the invisible lookup component. Loads call-book pages from the five web sources,
// decides the login state, exposes the scraped station fields, downloads station pictures and
// the maker's update page in the background, and reports every outcome as a signal.

#include "core/HostTable.h"
#include "core/ProgramValues.h"
#include "lookup/PageScraper.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace torvane {

/// Largest body any request accepts (bytes); a longer answer is a failure.
inline constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;
/// Time a page load may take from request to complete body (ms).
inline constexpr int kPageTimeLimitMs = 10000;
/// Time a background download may go without receiving anything (ms).
inline constexpr int kBackgroundStallLimitMs = 30000;

/// A GET with a forced reload, redirects followed as long as they stay as safe (https is not
/// left for http), at most 10 of them.
QNetworkRequest makeRequest(const QUrl &url);

/// True for an absolute http or https address with a host.
bool isWebAddress(const QUrl &url);

/// Outcome of one blocking download.
struct FetchResult {
    enum Status {
        Ok,         ///< the whole body arrived with a success status
        Failed,     ///< bad address, network or HTTP error, body over the size cap
        TimedOut,   ///< the time limit passed first
        Cancelled,  ///< someone aborted the reply (cancel by name)
        Gone,       ///< the reply was destroyed under us (its manager went away)
    };
    Status status = Failed;
    QByteArray body;
    QByteArray contentType;  ///< the Content-Type header value as sent
};

/// Downloads url and waits for it in a nested event loop (the user interface keeps running; no
/// polling). limitMs bounds the whole transfer on the monotonic clock. started, when given,
/// receives the reply as soon as it exists, so that it can be cancelled by name.
FetchResult fetchBlocking(QNetworkAccessManager *manager, const QUrl &url, int limitMs,
                          const std::function<void(QNetworkReply *)> &started = {});

}  // namespace torvane

namespace torvane {

/// The lookup component. Requests return nothing: every request ends in exactly one outcome
/// signal (GetLatLon: GotPage then LatLon when a position is found), except a request cancelled
/// by name, which ends silently because whoever cancelled it owns the outcome.
/// Page loads block the caller in a nested event loop for at most the time limit; pictures and
/// the update page complete later.
class LookupControl : public QObject {
    Q_OBJECT

public:
    LookupControl(torvane::ProgramValues &values, const torvane::HostTable &hosts,
             QObject *parent = nullptr);
    ~LookupControl() override;

    /// Starts the background download of the maker's home page (name "Updates3").
    /// With no maker host nothing is requested and UpdatesNotFound is raised.
    void CheckUpdates();
    /// Loads name's call (name = call + kind digit) from source CurrentSource + 1, which also
    /// becomes Database, and reports the station's position.
    void GetLatLon(const QString &name);
    /// Loads the current source's site page: does it answer, and is the operator logged in.
    void GetSite();
    /// Loads name's call (name = call + kind digit) from the current source.
    void GetPage(const QString &name);
    /// Starts the background download of a picture under name (call + "5").
    void GetPicture(const QString &address, const QString &name);

    /// Source index: 1 eHam, 2 QRZ, 3 QRZCQ, 4 Callook, 5 HamCall.
    int16_t Database() const { return m_scraper.Database; }
    void setDatabase(int16_t source) { m_scraper.Database = source; }

    // Field readers over PageText; read in this order: cName, Add1, Add2, Ctry, the rest.
    /// Also raises CallNotFound or LoginRequired as the source's name rule says.
    QString cName(const QString &call);
    QString Add1() { return m_scraper.Add1(); }
    QString Add2() { return m_scraper.Add2(); }
    QString Ctry() { return m_scraper.Ctry(); }
    double Latitude() { return m_scraper.Latitude(); }
    double Longitude() { return m_scraper.Longitude(); }
    QString Class() { return m_scraper.Class(); }
    QString DateOfBirth() { return m_scraper.DateOfBirth(); }
    QString Grid() { return m_scraper.Grid(); }
    QString WebAddress() { return m_scraper.WebAddress(); }
    static QString HTMLDecode(const QString &markup);

    /// Plain text of the last page (CR LF line ends); empty before a load.
    QString PageText() const { return m_scraper.PageText; }
    int32_t Cursor() const { return m_scraper.Cursor; }
    /// Names of the requests in progress, each followed by NUL, the whole starting with NUL.
    QString PendingRequests() const { return m_pending; }

    /// Aborts the request registered under name (a page load's name is its call, a picture's
    /// is call + "5"). The cancelled request raises no event. False when none is pending.
    bool CancelRequest(const QString &name);

    /// Time limit of page loads (ms); 10 s unless a test shortens it.
    void setPageTimeLimitMs(int ms) { m_pageLimitMs = ms; }
    /// Stall limit of background downloads (ms).
    void setBackgroundStallLimitMs(int ms) { m_stallLimitMs = ms; }
    /// Background downloads are spread over this many connection pools of 6 connections per
    /// host each (default 5), so that many pictures load at once.
    void setBackgroundPools(int count);

    /// Site marker of a source (1 to 5), empty for any other index.
    static QString siteMarker(int16_t source);
    /// Whether a page of that source shows a logged-in operator.
    static bool isLoggedIn(int16_t source, const QString &pageText);

signals:
    void GotSite(const QString &siteText, bool loggedIn);
    void SiteNotFound(const QString &marker);
    void GotPage(const QString &call, bool loggedIn);
    void PageNotFound(const QString &call);
    void CallNotFound(const QString &call);
    void GotPicture(const QString &call);
    void NoPic(const QString &call);
    void LoginRequired(const QString &call);
    void UpdateFound(const QString &text);
    void UpdatesNotFound();
    void LatLon(double latitude, double longitude);
    void LatLonNotFound();

private:
    enum class LoadKind { Site, Page, LatLon };
    enum class LoadOutcome { Loaded, Failed, TimedOut, Cancelled, Gone };

    QString sourceAddress(int16_t source, bool sitePage, const QString &call,
                          bool encoded = true) const;
    LoadOutcome loadPage(const QString &address, const QString &key);
    void writeComplete() const;

    bool registerName(const QString &name);
    void removeName(const QString &name);
    void startBackground(const QString &address, const QString &name, bool update);
    void onBackgroundFinished(QNetworkReply *reply, const QString &name);
    QNetworkAccessManager *backgroundManager();

    torvane::ProgramValues &m_values;
    torvane::HostTable m_hosts;
    torvane::PageScraper m_scraper;
    QString m_pending = QString(QChar(0));
    QHash<QString, QPointer<QNetworkReply>> m_replies;  // by request name
    QNetworkAccessManager *m_pageManager = nullptr;
    QList<QNetworkAccessManager *> m_pools;
    int m_poolCount = 5;
    int m_pageLimitMs = torvane::kPageTimeLimitMs;
    int m_stallLimitMs = torvane::kBackgroundStallLimitMs;
};

}  // namespace torvane
