#pragma once
// LookupControl: the invisible lookup component (objectName "ucLookUp"). Loads call-book pages
// from the five web sources, decides the login state, exposes the scraped station fields,
// downloads station pictures and the maker's update page in the background, and reports every
// outcome as a signal.

#include "core/HostTable.h"
#include "core/ProgramValues.h"
#include "lookup/Fetch.h"
#include "lookup/PageScraper.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

class QFutureWatcherBase;
class QNetworkAccessManager;
class QNetworkReply;

namespace torvane {

/// The lookup component. Requests return at once and nothing: every request ends in exactly
/// one outcome signal (GetLatLon: GotPage then LatLon when a position is found), except a
/// request cancelled by name, which ends silently because whoever cancelled it owns the
/// outcome. Page loads end within the page time limit, their HTML turned into text in a worker
/// thread; pictures and the update page within the stall limit.
class LookupControl : public QObject {
    Q_OBJECT

public:
    LookupControl(ProgramValues &values, const HostTable &hosts, QObject *parent = nullptr);
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
    /// Starts the background download of a picture under name (call + "5"). The same address
    /// asked for again under a name still on its way keeps that download.
    void GetPicture(const QString &address, const QString &name);

    /// Source index: 1 eHam, 2 QRZ, 3 QRZCQ, 4 Callook, 5 HamCall.
    int16_t Database() const { return m_scraper.Database; }
    void setDatabase(int16_t source) { m_scraper.Database = source; }

    // Field readers over PageText, valid in the handler of the event that delivered the page;
    // read in this order: cName, Add1, Add2, Ctry, the rest.
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

    /// The page and the readers' cursor as they are now: a lookup keeps this copy to read the
    /// remaining fields later, whatever the component loads meanwhile.
    PageScraper scraper() const { return m_scraper; }

    /// Plain text of the last page (CR LF line ends); empty before a load.
    QString PageText() const { return m_scraper.PageText; }
    int32_t Cursor() const { return m_scraper.Cursor; }
    /// Names of the requests in progress, each followed by NUL, the whole starting with NUL.
    QString PendingRequests() const { return m_pending; }

    /// Why the last GetPage gave PageNotFound or CallNotFound, when the site gave no answer at
    /// all: it let the time limit pass, or no connection could be made (refused, host not
    /// found, reset). None when it answered (a page without the station, an HTTP error).
    enum class NoAnswer { None, TimedOut, NoConnection };
    NoAnswer lastPageNoAnswer() const { return m_lastNoAnswer; }

    /// Aborts the request registered under name (a page load's name is its call, a picture's
    /// is call + "5"). The cancelled request raises no event. False when none is pending.
    bool CancelRequest(const QString &name);

    /// Time limit of page loads (ms); 10 s unless a test shortens it.
    void setPageTimeLimitMs(int ms) { m_pageLimitMs = ms; }
    /// Stall limit of background downloads (ms).
    void setBackgroundStallLimitMs(int ms) { m_stallLimitMs = ms; }
    /// Time a background download may take from request to complete body (ms).
    void setBackgroundTimeLimitMs(int ms) { m_backgroundLimitMs = ms; }
    /// Background downloads are spread over this many connection pools of 6 connections per
    /// host each (default 5), so that many pictures load at once.
    void setBackgroundPools(int count);

    /// Site marker of a source (1 to 5), empty for any other index.
    static QString siteMarker(int16_t source);

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
    enum class LoadOutcome { Loaded, Failed, TimedOut, NoConnection };
    using LoadDone = std::function<void(LoadOutcome)>;

    QString sourceAddress(int16_t source, bool sitePage, const QString &call,
                          bool encoded = true) const;
    /// Starts a page load under key; then runs with the outcome (PageText filled when Loaded),
    /// unless the load is cancelled by name.
    void loadPage(const QString &address, const QString &key, LoadDone then);
    void pageLoaded(const FetchResult &fetched, const QString &key, const LoadDone &then,
                    QDeadlineTimer deadline);
    void decodePage(const FetchResult &fetched, const QString &key, const LoadDone &then,
                    QDeadlineTimer deadline);
    void writeComplete() const;

    bool registerName(const QString &name);
    void removeName(const QString &name);
    void cancelPending(const QString &name);
    void startBackground(const QString &address, const QString &name, bool update);
    void backgroundFinished(const FetchResult &fetched, const QString &name, bool update);
    QNetworkAccessManager *backgroundManager();
    void shareCookies(QNetworkAccessManager *manager) const;

    ProgramValues &m_values;
    NoAnswer m_lastNoAnswer = NoAnswer::None;
    HostTable m_hosts;
    PageScraper m_scraper;
    QString m_pending = QString(QChar(0));
    QHash<QString, QPointer<QNetworkReply>> m_replies;  // by request name
    QHash<QString, QFutureWatcherBase *> m_decodes;     // pages being turned into text, by name
    QNetworkAccessManager *m_pageManager = nullptr;
    QList<QNetworkAccessManager *> m_pools;
    int m_poolCount = 5;
    int m_pageLimitMs = kPageTimeLimitMs;
    int m_stallLimitMs = kBackgroundStallLimitMs;
    int m_backgroundLimitMs = kBackgroundTimeLimitMs;
};

}  // namespace torvane
