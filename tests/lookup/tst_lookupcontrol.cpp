// The lookup component against the local test server: addresses and outcomes per source, bad
// answers, the time limit, pictures, cancel by name and the update download.

#include "lookup/LookupControl.h"
#include "support/TestWebServer.h"

#include <QNetworkReply>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace torvane;
Q_DECLARE_METATYPE(torvane::WebRoute)

namespace {

// Records a signal as "Name(arg,arg)" in events.
template <typename... Args>
void record(LookupControl *c, void (LookupControl::*signal)(Args...), const QString &name, QStringList *events)
{
    QObject::connect(c, signal, [=](Args... args) {
        const QStringList parts{QVariant(args).toString()...};
        events->append(sizeof...(Args) ? name + "(" + parts.join(',') + ")" : name);
    });
}

// Every signal of the component, in the order raised (the update text is left out).
struct Recorder {
    explicit Recorder(LookupControl *c)
    {
        record(c, &LookupControl::GotSite, "GotSite", &events);
        record(c, &LookupControl::SiteNotFound, "SiteNotFound", &events);
        record(c, &LookupControl::GotPage, "GotPage", &events);
        record(c, &LookupControl::PageNotFound, "PageNotFound", &events);
        record(c, &LookupControl::CallNotFound, "CallNotFound", &events);
        record(c, &LookupControl::GotPicture, "GotPicture", &events);
        record(c, &LookupControl::NoPic, "NoPic", &events);
        record(c, &LookupControl::LoginRequired, "LoginRequired", &events);
        QObject::connect(c, &LookupControl::UpdateFound, [this] { events << "UpdateFound"; });
        record(c, &LookupControl::UpdatesNotFound, "UpdatesNotFound", &events);
        record(c, &LookupControl::LatLon, "LatLon", &events);
        record(c, &LookupControl::LatLonNotFound, "LatLonNotFound", &events);
    }
    QStringList events;
};

const char *const kHostNames[] = {"eham", "qrz", "qrzcq", "callook", "hamcall", "maker"};

QByteArray html(const QByteArray &body)
{
    return "<html><body>" + body + "</body></html>";
}

}  // namespace

class TestLookupControl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestWebServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramValues m_values;
    HostTable m_hosts;
    std::unique_ptr<LookupControl> m_control;
    std::unique_ptr<Recorder> m_rec;

    void makeControl()
    {
        m_rec.reset();
        m_control = std::make_unique<LookupControl>(m_values, m_hosts);
        m_control->setPageTimeLimitMs(2000);
        m_rec = std::make_unique<Recorder>(m_control.get());
    }

private slots:
    void init()
    {
        m_server = std::make_unique<TestWebServer>();
        QVERIFY(m_server->listen());
        m_dir = std::make_unique<QTemporaryDir>();
        m_values = ProgramValues();
        m_values.DataFolder = m_dir->path();
        m_hosts = HostTable();
        for (const char *name : kHostNames)
            m_hosts.setHost(QLatin1String(name), m_server->baseUrl());
        makeControl();
    }

    // No reply may be left behind once the deferred deletions ran.
    void cleanup()
    {
        if (m_control && !QTest::currentTestFailed()) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(m_control->findChildren<QNetworkReply *>().size(), 0);
        }
        m_rec.reset();
        m_control.reset();
        m_server.reset();
    }

    void load_data()
    {
        QTest::addColumn<QString>("kind");    // site, page or latlon
        QTest::addColumn<int>("source");      // latlon: CurrentSource + 1
        QTest::addColumn<QString>("name");
        QTest::addColumn<WebRoute>("route");  // the answer to every request
        QTest::addColumn<QString>("target");  // of the first request; empty: nothing requested
        QTest::addColumn<bool>("loaded");     // a page arrived: its text and Complete.txt remain
        QTest::addColumn<QStringList>("events");  // latlon adds the stored latitude

        const WebRoute plain = WebRoute::page(html("<h1>W1AW</h1><p>HIRAM PERCY MAXIM</p>"));
        const WebRoute in = WebRoute::page(html("<a>Logout</a><h1>W1AW</h1>"));
        QTest::newRow("eHam is always logged in") << "page" << 1 << "W1AW2" << plain << "/callbook/W1AW" << true << QStringList{"GotPage(W1AW,true)"};
        QTest::newRow("QRZ logged in") << "page" << 2 << "W1AW2" << in << "/db/W1AW" << true << QStringList{"GotPage(W1AW,true)"};
        QTest::newRow("QRZ not logged in") << "page" << 2 << "W1AW2" << plain << "/db/W1AW" << true << QStringList{"LoginRequired(W1AW)"};
        QTest::newRow("QRZCQ not logged in still gives the page") << "page" << 3 << "W1AW2" << plain << "/call/W1AW" << true << QStringList{"GotPage(W1AW,false)"};
        QTest::newRow("Callook is never logged in") << "page" << 4 << "W1AW2" << WebRoute::page(html("Logout Log Out Logged in W1AW")) << "/W1AW" << true << QStringList{"GotPage(W1AW,false)"};
        QTest::newRow("HamCall logged in") << "page" << 5 << "W1AW2" << WebRoute::page(html("<a>Log Out</a> W1AW")) << "/call?callsign=W1AW" << true << QStringList{"GotPage(W1AW,true)"};
        QTest::newRow("query characters stay in the value") << "page" << 5 << "K1A&X=1#2" << plain << "/call?callsign=K1A%26X%3D1%23" << true << QStringList{"PageNotFound(K1A&X=1#)"};
        // Requested as 0, looked for as typed; the same bytes read as windows-1252 no longer match.
        const WebRoute slashed = WebRoute::page("<p>K\xC3\x98" "ABC</p>");
        QTest::newRow("slashed zero") << "page" << 1 << QString("K\u00D8ABC2") << slashed << "/callbook/K0ABC" << true << QStringList{QString("GotPage(K\u00D8ABC,true)")};
        QTest::newRow("empty call") << "page" << 2 << "2" << plain << "" << false << QStringList{"PageNotFound()"};
        WebRoute huge = WebRoute::page(in.body + QByteArray(kMaxPageBytes, ' '));
        huge.chunked = true;  // no length announced: the cap counts what arrives
        huge.chunkSize = 1 << 20;
        QTest::newRow("chunked page over 2 MB") << "page" << 2 << "W1AW2" << huge << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        QTest::newRow("page of 2 MB") << "page" << 2 << "W1AW2" << WebRoute::page(in.body + QByteArray(kMaxPageBytes - in.body.size(), ' ')) << "/db/W1AW" << true << QStringList{"GotPage(W1AW,true)"};
        WebRoute cut = WebRoute::page(in.body + QByteArray(1000, ' '));
        cut.closeAfterBytes = 200;
        QTest::newRow("body short of its length") << "page" << 2 << "W1AW2" << cut << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        QTest::newRow("redirect followed") << "page" << 2 << "W1AW2" << WebRoute::redirect("/moved/W1AW") << "/db/W1AW" << true << QStringList{"GotPage(W1AW,true)"};
        // This very file holds "W1AW" and "Logout": were the redirect followed, the page would be found.
        const QString local = QUrl::fromLocalFile(TORVANE_SOURCE_DIR "/tests/lookup/tst_lookupcontrol.cpp").toString();
        QTest::newRow("redirect to a local file refused") << "page" << 2 << "W1AW2" << WebRoute::redirect(local) << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        QTest::newRow("redirect to data: refused") << "page" << 2 << "W1AW2" << WebRoute::redirect("data:text/html,W1AW%20Logout") << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        QTest::newRow("redirect to ftp: refused") << "page" << 2 << "W1AW2" << WebRoute::redirect("ftp://127.0.0.1/db/W1AW") << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        QByteArray noise("\x89PNG\r\n\x1a\n");  // 1 MB of bytes that are no text at all
        for (quint32 x = 1; noise.size() < (1 << 20); x = x * 1103515245 + 12345)
            noise += char(x >> 24);
        QTest::newRow("binary body as HTML") << "page" << 2 << "W1AW2" << WebRoute::page(noise) << "/db/W1AW" << true << QStringList{"PageNotFound(W1AW)"};
        WebRoute hundred;  // made as it is read: the cap must end it long before its end
        hundred.streamBytes = 100 << 20;
        QTest::newRow("100 MB announced") << "page" << 2 << "W1AW2" << hundred << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        hundred.chunked = true;
        QTest::newRow("100 MB chunked") << "page" << 2 << "W1AW2" << hundred << "/db/W1AW" << false << QStringList{"PageNotFound(W1AW)"};
        WebRoute hanging;
        hanging.endlessHeaders = true;
        QTest::newRow("headers never finished") << "page" << 2 << "W1AW2" << hanging << "/db/W1AW" << false << QStringList{"CallNotFound(W1AW)"};

        QTest::newRow("site: eHam marker") << "site" << 1 << "" << WebRoute::page(html("Welcome to eHam.net")) << "/" << true << QStringList{"GotSite(,true)"};
        QTest::newRow("site: eHam marker in another case") << "site" << 1 << "" << WebRoute::page(html("EHAM.NET")) << "/" << true << QStringList{"SiteNotFound(eHam.net)"};
        QTest::newRow("site: HamCall logged in") << "site" << 5 << "" << WebRoute::page(html("HamCall Log Out")) << "/call" << true << QStringList{"GotSite(,true)"};
        QTest::newRow("site: error page with marker") << "site" << 2 << "" << WebRoute::page(html("QRZ"), "text/html", 500) << "/" << false << QStringList{"SiteNotFound(QRZ)"};
        QTest::newRow("site: no source") << "site" << 0 << "" << WebRoute::page(html("QRZ")) << "" << false << QStringList{"SiteNotFound()"};

        const WebRoute located = WebRoute::page(html("<div>W1AW</div><div>Latitude 41.5</div><div>Longitude -72.25</div><div>end</div>"));
        QTest::newRow("position found") << "latlon" << 1 << "w1aw4" << located << "/callbook/W1AW" << true << QStringList{"GotPage(W1AW,true)", "LatLon(41.5,-72.25)", "stored 41.5"};
        QTest::newRow("latitude 0: page but no position")
            << "latlon" << 1 << "w1aw4" << WebRoute::page(html("<div>W1AW</div><div>Latitude 0</div><div>Longitude -72.25</div><div>end</div>"))
            << "/callbook/W1AW" << true << QStringList{"GotPage(W1AW,true)", "stored 0"};
        QTest::newRow("position: page without the call") << "latlon" << 1 << "w1aw4" << WebRoute::page(html("<div>Latitude 41.5</div>")) << "/callbook/W1AW" << true << QStringList{"LoginRequired(W1AW)", "stored 99"};
        QTest::newRow("position: error") << "latlon" << 1 << "w1aw4" << WebRoute::page(located.body, "text/html", 503) << "/callbook/W1AW" << false << QStringList{"LatLonNotFound", "stored 99"};
        QTest::newRow("position: source out of range") << "latlon" << 6 << "w1aw4" << located << "" << false << QStringList{"LatLonNotFound", "stored 99"};

        // A body trickling in slowly does not extend the limit.
        WebRoute trickle = WebRoute::page(html("QRZ W1AW Logout") + QByteArray(4000, ' '));
        trickle.chunked = true;
        trickle.chunkSize = 100;
        trickle.chunkIntervalMs = 20;
        QTest::newRow("time-out: site") << "site" << 2 << "" << trickle << "/" << false << QStringList{"SiteNotFound(QRZ)"};
        QTest::newRow("time-out: page") << "page" << 2 << "W1AW2" << trickle << "/db/W1AW" << false << QStringList{"CallNotFound(W1AW)"};
        QTest::newRow("time-out: position") << "latlon" << 2 << "W1AW4" << trickle << "/db/W1AW" << false << QStringList{"LatLonNotFound", "stored 99"};
    }

    void load()
    {
        QFETCH(QString, kind);
        QFETCH(int, source);
        QFETCH(QString, name);
        QFETCH(WebRoute, route);
        QFETCH(QString, target);
        QFETCH(bool, loaded);
        QFETCH(QStringList, events);
        m_server->setPage("/moved/W1AW", html("W1AW Logout"));
        m_server->setHandler([route](const WebRequest &r) {
            return r.path == "/moved/W1AW" ? std::nullopt : std::optional<WebRoute>(route);
        });
        m_control->setPageTimeLimitMs(route.chunkIntervalMs > 0 || route.endlessHeaders ? 150 : 2000);  // 4000 bytes take 800 ms
        m_values.CurrentSource = int16_t(source - 1);
        m_values.StationLatitude = 99;
        m_control->setDatabase(kind == "latlon" ? 3 : int16_t(source));
        if (kind == "site")
            m_control->GetSite();
        else if (kind == "page")
            m_control->GetPage(name);
        else
            m_control->GetLatLon(name);
        // A request that goes out returns before its answer: nothing waits inside it.
        QCOMPARE(m_rec->events.isEmpty(), !target.isEmpty());
        const int count = int(events.size()) - (kind == "latlon" ? 1 : 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_rec->events.size(), count, 5000);
        if (kind == "latlon")
            m_rec->events << "stored " + QString::number(m_values.StationLatitude);
        QCOMPARE(m_rec->events, events);
        QCOMPARE(m_control->Database(), int16_t(source));
        const QList<WebRequest> log = m_server->requests();
        QCOMPARE(log.isEmpty() ? QString() : log.first().target, target);
        QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
        QVERIFY2(m_server->streamedBytes() < (16 << 20), qPrintable(QString::number(m_server->streamedBytes())));
        // A failed load leaves neither old text for the readers nor the ready-state file.
        QCOMPARE(m_control->PageText().isEmpty(), !loaded);
        QFile complete(m_values.DataFolder + "/Complete.txt");
        QCOMPARE(complete.open(QIODevice::ReadOnly) ? complete.readAll() : QByteArray("none"),
                 QByteArray(loaded ? "complete\r\n" : "none"));
    }

    void picture_data()
    {
        QTest::addColumn<QString>("address");  // relative: on the test server
        QTest::addColumn<WebRoute>("route");
        QTest::addColumn<QString>("event");
        QTest::addColumn<qint64>("bufferSize");

        QTest::newRow("picture") << "/w1aw.jpg" << WebRoute::page("JFIF....", "image/jpeg") << "GotPicture(W1AW)" << qint64(8);
        QTest::newRow("exactly 8 MB") << "/w1aw.jpg" << WebRoute::large(kMaxBodyBytes) << "GotPicture(W1AW)" << kMaxBodyBytes;
        QTest::newRow("one byte over 8 MB") << "/w1aw.jpg" << WebRoute::large(kMaxBodyBytes + 1) << "NoPic(W1AW)" << qint64(0);
        WebRoute stalled = WebRoute::page("JFIF", "image/jpeg");
        stalled.delayMs = 3000;
        QTest::newRow("server stalls") << "/w1aw.jpg" << stalled << "NoPic(W1AW)" << qint64(0);
        QTest::newRow("not a web address") << "file:///etc/passwd" << WebRoute() << "NoPic(W1AW)" << qint64(0);
        WebRoute drip = WebRoute::page(QByteArray(4000, 'j'), "image/jpeg");
        drip.chunked = true;  // never silent long enough to stall, never done within the limit
        drip.chunkSize = 100;
        drip.chunkIntervalMs = 50;
        QTest::newRow("server drips") << "/w1aw.jpg" << drip << "NoPic(W1AW)" << qint64(0);
    }

    void picture()
    {
        QFETCH(QString, address);
        QFETCH(WebRoute, route);
        QFETCH(QString, event);
        QFETCH(qint64, bufferSize);
        m_server->setRoute("/w1aw.jpg", route);
        m_control->setBackgroundStallLimitMs(200);
        m_control->setBackgroundTimeLimitMs(600);
        const QString full = address.startsWith('/') ? m_server->baseUrl() + address : address;
        m_control->GetPicture(full, "W1AW5");
        QTRY_COMPARE(m_rec->events.size(), 1);
        QCOMPARE(m_rec->events.first(), event);
        QCOMPARE(m_values.DownloadBuffer.size(), bufferSize);
        QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
        if (!address.startsWith('/'))
            QCOMPARE(m_server->requests().size(), 0);
    }

    // Cancel by name, and a second request under a pending name: the request it ends stays
    // silent. The slow picture "last" is asked for last and answers last.
    void cancelByName()
    {
        WebRoute slow = WebRoute::page("slow", "image/jpeg");
        slow.delayMs = 150;
        m_server->setRoute("/p.jpg", slow);
        m_server->setRoute("/db/W1AW", slow);
        m_server->setPage("/fast.jpg", "fast", "image/jpeg");
        // One name ends another: cancelling the shorter must leave the longer running.
        m_control->GetPicture(m_server->baseUrl() + "/p.jpg", "KW1AW5");
        m_control->GetPicture(m_server->baseUrl() + "/p.jpg", "W1AW5");
        QVERIFY(!m_control->CancelRequest("K1ABC5"));
        QVERIFY(m_control->CancelRequest("W1AW5"));
        QCOMPARE(m_control->PendingRequests(), QString(QChar(0)) + "KW1AW5" + QChar(0));
        QVERIFY(!m_control->CancelRequest("W1AW5"));
        m_control->setDatabase(2);
        m_control->GetPage("W1AW2");
        QVERIFY(m_control->CancelRequest("W1AW"));

        m_control->GetPicture(m_server->baseUrl() + "/p.jpg", "W1AW5");
        m_control->GetPicture(m_server->baseUrl() + "/fast.jpg", "W1AW5");
        QCOMPARE(m_control->PendingRequests(), QString(QChar(0)) + "KW1AW5" + QChar(0) + "W1AW5" + QChar(0));
        QTRY_COMPARE(m_rec->events.size(), 1);
        QCOMPARE(m_values.DownloadBuffer, QByteArray("fast"));
        m_control->GetPicture(m_server->baseUrl() + "/p.jpg", "LAST5");
        QTRY_COMPARE(m_rec->events.size(), 3);
        QCOMPARE(m_rec->events, (QStringList{"GotPicture(W1AW)", "GotPicture(KW1AW)", "GotPicture(LAST)"}));
        QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
    }

    // The same picture asked for again while it is on its way: one download answers.
    void samePictureAgain()
    {
        WebRoute slow = WebRoute::page("JFIF", "image/jpeg");
        slow.delayMs = 100;
        m_server->setRoute("/same.jpg", slow);
        m_control->GetPicture(m_server->baseUrl() + "/same.jpg", "W1AW5");
        QTRY_COMPARE(m_server->requestCount("/same.jpg"), 1);
        m_control->GetPicture(m_server->baseUrl() + "/same.jpg", "W1AW5");
        QTRY_COMPARE(m_rec->events, QStringList{"GotPicture(W1AW)"});
        QCOMPARE(m_server->requestCount("/same.jpg"), 1);
    }

    // A second request for the same call while the first waits replaces it: one outcome.
    // Pages of different calls each end in their own event, in the order they arrive.
    void pagesWhileOthersWait()
    {
        WebRoute slow = WebRoute::page(html("K0ABC Logout"));
        slow.delayMs = 150;
        m_server->setRoute("/db/K0ABC", slow);
        m_server->setPage("/db/W1AW", html("W1AW Logout"));
        m_control->setDatabase(2);
        m_control->GetPage("K0ABC2");
        m_control->GetPage("W1AW2");
        m_control->GetPage("W1AW2");
        QTRY_COMPARE(m_rec->events.size(), 2);
        QCOMPARE(m_rec->events, (QStringList{"GotPage(W1AW,true)", "GotPage(K0ABC,true)"}));
        QVERIFY(m_control->PageText().contains("K0ABC"));
        QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
    }

    // The raw update page is kept beside its text, which replaces the readers' page.
    void updateDownload_data()
    {
        QTest::addColumn<bool>("maker");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("event");
        QTest::newRow("found") << true << 200 << "UpdateFound";
        QTest::newRow("missing") << true << 404 << "UpdatesNotFound";
        QTest::newRow("no maker host") << false << 200 << "UpdatesNotFound";
    }

    void updateDownload()
    {
        QFETCH(bool, maker);
        QFETCH(int, status);
        QFETCH(QString, event);
        m_server->setPage("/", "<p>Torvane ver&nbsp;4.12</p>", "text/html; charset=utf-8", status);
        if (!maker) {
            m_hosts.setHost("maker", QString());
            makeControl();
        }
        m_control->CheckUpdates();
        QTRY_COMPARE(m_rec->events, QStringList{event});
        const bool found = event == "UpdateFound";
        QCOMPARE(m_control->PageText().trimmed(), found ? QString("Torvane ver 4.12") : QString());
        QCOMPARE(m_values.UpdateText.contains("Torvane ver&nbsp;4.12"), found);
        QCOMPARE(m_server->requests().size(), maker ? 1 : 0);
    }

    // QRZ's "Login is required" page: the page check and then the name reader say so.
    void nameReaderRaisesEvents()
    {
        m_server->setPage("/db/W1AW", html("<p>W1AW</p><p>Login is required</p>"));
        m_control->setDatabase(2);
        m_control->GetPage("W1AW2");
        QTRY_COMPARE(m_rec->events.size(), 1);
        QCOMPARE(m_control->cName("W1AW"), QString());
        QCOMPARE(m_rec->events, (QStringList{"LoginRequired(W1AW)", "LoginRequired(W1AW)"}));
    }
};

QTEST_GUILESS_MAIN(TestLookupControl)
#include "tst_lookupcontrol.moc"