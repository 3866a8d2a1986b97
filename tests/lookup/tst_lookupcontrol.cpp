// The lookup component against the local test server: addresses, outcomes per source, time
// limits, size cap, redirects, charsets, pictures, cancel by name and the update download.

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

// Every signal of the component as one line of text, in the order raised.
class Recorder {
public:
    explicit Recorder(ucLookUp *c)
    {
        auto add = [this](const QString &line) { events.append(line); };
        QObject::connect(c, &ucLookUp::GotSite, [add](const QString &t, bool in) {
            add(QStringLiteral("GotSite(%1,%2)").arg(t, in ? "in" : "out"));
        });
        QObject::connect(c, &ucLookUp::SiteNotFound, [add](const QString &m) { add("SiteNotFound(" + m + ")"); });
        QObject::connect(c, &ucLookUp::GotPage, [add](const QString &call, bool in) {
            add(QStringLiteral("GotPage(%1,%2)").arg(call, in ? "in" : "out"));
        });
        QObject::connect(c, &ucLookUp::PageNotFound, [add](const QString &s) { add("PageNotFound(" + s + ")"); });
        QObject::connect(c, &ucLookUp::CallNotFound, [add](const QString &s) { add("CallNotFound(" + s + ")"); });
        QObject::connect(c, &ucLookUp::GotPicture, [add](const QString &s) { add("GotPicture(" + s + ")"); });
        QObject::connect(c, &ucLookUp::NoPic, [add](const QString &s) { add("NoPic(" + s + ")"); });
        QObject::connect(c, &ucLookUp::LoginRequired, [add](const QString &s) { add("LoginRequired(" + s + ")"); });
        QObject::connect(c, &ucLookUp::UpdateFound, [add](const QString &) { add("UpdateFound"); });
        QObject::connect(c, &ucLookUp::UpdatesNotFound, [add] { add("UpdatesNotFound"); });
        QObject::connect(c, &ucLookUp::LatLon, [add](double lat, double lon) {
            add(QStringLiteral("LatLon(%1,%2)").arg(lat).arg(lon));
        });
        QObject::connect(c, &ucLookUp::LatLonNotFound, [add] { add("LatLonNotFound"); });
    }
    QStringList events;
};

const char *const kHostNames[] = {"eham", "qrz", "qrzcq", "callook", "hamcall", "qrzpictures", "maker"};

QByteArray html(const QByteArray &body)
{
    return "<html><body>" + body + "</body></html>";
}

}  // namespace

class TestLookupControl : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void requestAddress_data();
    void requestAddress();
    void pageOutcome_data();
    void pageOutcome();
    void siteOutcome_data();
    void siteOutcome();
    void timeLimit_data();
    void timeLimit();
    void badAnswer_data();
    void badAnswer();
    void pageCharset_data();
    void pageCharset();
    void latLon_data();
    void latLon();
    void picture_data();
    void picture();
    void secondPictureCancelsFirst();
    void twoCallsTwoPictures();
    void cancelByName();
    void samePageAgainWhileWaiting();
    void updateDownload_data();
    void updateDownload();
    void nameReaderRaisesEvents();
    void completeFile();
    void ownerGoneWhileWaiting();
    void redirectToFileRefused();

private:
    void makeControl();
    void drainDeletes();

    std::unique_ptr<TestWebServer> m_server;
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramValues m_values;
    HostTable m_hosts;
    std::unique_ptr<ucLookUp> m_control;
    std::unique_ptr<Recorder> m_rec;
};

void TestLookupControl::init()
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

void TestLookupControl::makeControl()
{
    m_rec.reset();
    m_control = std::make_unique<ucLookUp>(m_values, m_hosts);
    m_control->setPageTimeLimitMs(2000);
    m_rec = std::make_unique<Recorder>(m_control.get());
}

// Runs the deferred deletions and checks that no reply is left behind.
void TestLookupControl::drainDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(m_control->findChildren<QNetworkReply *>().size(), 0);
}

void TestLookupControl::cleanup()
{
    if (m_control && !QTest::currentTestFailed())
        drainDeletes();
    m_rec.reset();
    m_control.reset();
    m_server.reset();
}

void TestLookupControl::requestAddress_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("name");  // empty: the site page
    QTest::addColumn<QString>("target");

    QTest::newRow("eHam page") << 1 << "W1AW2" << "/callbook/W1AW";
    QTest::newRow("QRZ page") << 2 << "W1AW2" << "/db/W1AW";
    QTest::newRow("QRZCQ page") << 3 << "W1AW2" << "/call/W1AW";
    QTest::newRow("Callook page") << 4 << "W1AW2" << "/W1AW";
    QTest::newRow("HamCall page") << 5 << "W1AW2" << "/call?callsign=W1AW";
    QTest::newRow("lower case is requested upper") << 2 << "w1aw2" << "/db/W1AW";
    QTest::newRow("slashed zero is requested as 0") << 2 << QString("K\u00D8ABC2") << "/db/K0ABC";
    QTest::newRow("query characters stay in the value") << 5 << "K1A&X=1#2" << "/call?callsign=K1A%26X%3D1%23";
    QTest::newRow("eHam site") << 1 << "" << "/";
    QTest::newRow("HamCall site") << 5 << "" << "/call";
}

void TestLookupControl::requestAddress()
{
    QFETCH(int, source);
    QFETCH(QString, name);
    QFETCH(QString, target);
    m_control->setDatabase(int16_t(source));
    if (name.isEmpty())
        m_control->GetSite();
    else
        m_control->GetPage(name);
    const QList<WebRequest> log = m_server->requests();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log.first().target, target);
    QCOMPARE(m_rec->events.size(), 1);
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
}

void TestLookupControl::pageOutcome_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("events");

    const QByteArray plain = html("<h1>W1AW</h1><p>HIRAM PERCY MAXIM</p>");
    QTest::newRow("eHam is always logged in") << 1 << "W1AW2" << plain << QStringList{"GotPage(W1AW,in)"};
    QTest::newRow("eHam without the call") << 1 << "W1AW2" << html("<p>nothing</p>") << QStringList{"PageNotFound(W1AW)"};
    QTest::newRow("QRZ logged in") << 2 << "W1AW2" << html("<a>Logout</a><h1>W1AW</h1>") << QStringList{"GotPage(W1AW,in)"};
    QTest::newRow("QRZ not logged in") << 2 << "W1AW2" << plain << QStringList{"LoginRequired(W1AW)"};
    QTest::newRow("QRZ login text in another case") << 2 << "W1AW2" << html("<a>LOGOUT</a>W1AW") << QStringList{"LoginRequired(W1AW)"};
    QTest::newRow("QRZ call typed lower: page checked as typed") << 2 << "w1aw2" << plain << QStringList{"PageNotFound(w1aw)"};
    QTest::newRow("QRZCQ not logged in still gives the page") << 3 << "W1AW2" << plain << QStringList{"GotPage(W1AW,out)"};
    QTest::newRow("QRZCQ logged in") << 3 << "W1AW2" << html("Logged in W1AW") << QStringList{"GotPage(W1AW,in)"};
    QTest::newRow("Callook is never logged in") << 4 << "W1AW2" << html("Logout Log Out Logged in W1AW") << QStringList{"GotPage(W1AW,out)"};
    QTest::newRow("HamCall logged in") << 5 << "W1AW2" << html("<a>Log Out</a> W1AW") << QStringList{"GotPage(W1AW,in)"};
    QTest::newRow("HamCall not logged in") << 5 << "W1AW2" << plain << QStringList{"LoginRequired(W1AW)"};
    QTest::newRow("HamCall no station") << 5 << "W1AW2" << html("no such call") << QStringList{"PageNotFound(W1AW)"};
    QTest::newRow("slashed zero looked for as typed")
        << 1 << QString("K\u00D8ABC2") << QByteArray("<p>K\xC3\x98" "ABC</p>") << QStringList{QString("GotPage(K\u00D8ABC,in)")};
    QTest::newRow("slashed zero typed, page has 0")
        << 1 << QString("K\u00D8ABC2") << QByteArray("<p>K0ABC</p>") << QStringList{QString("PageNotFound(K\u00D8ABC)")};
    QTest::newRow("empty call is no request") << 2 << "2" << plain << QStringList{"PageNotFound()"};
    QTest::newRow("source out of range") << 6 << "W1AW2" << plain << QStringList{"PageNotFound(W1AW)"};
}

void TestLookupControl::pageOutcome()
{
    QFETCH(int, source);
    QFETCH(QString, name);
    QFETCH(QByteArray, page);
    QFETCH(QStringList, events);
    m_server->setHandler([page](const WebRequest &) { return std::optional<WebRoute>(WebRoute::page(page)); });
    m_control->setDatabase(int16_t(source));
    m_control->GetPage(name);
    QCOMPARE(m_rec->events, events);
}

void TestLookupControl::siteOutcome_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("eHam marker") << 1 << 200 << html("Welcome to eHam.net") << QStringList{"GotSite(,in)"};
    QTest::newRow("eHam marker in another case") << 1 << 200 << html("EHAM.NET") << QStringList{"SiteNotFound(eHam.net)"};
    QTest::newRow("QRZ logged in") << 2 << 200 << html("QRZ Logout") << QStringList{"GotSite(,in)"};
    QTest::newRow("QRZ logged out") << 2 << 200 << html("QRZ Login") << QStringList{"GotSite(,out)"};
    QTest::newRow("QRZCQ") << 3 << 200 << html("QRZCQ - Logged in") << QStringList{"GotSite(,in)"};
    QTest::newRow("Callook") << 4 << 200 << html("callook.info") << QStringList{"GotSite(,out)"};
    QTest::newRow("HamCall") << 5 << 200 << html("HamCall Log Out") << QStringList{"GotSite(,in)"};
    QTest::newRow("marker missing") << 5 << 200 << html("Something else") << QStringList{"SiteNotFound(HamCall)"};
    QTest::newRow("server error page with marker") << 2 << 500 << html("QRZ") << QStringList{"SiteNotFound(QRZ)"};
    QTest::newRow("no source") << 0 << 200 << html("QRZ") << QStringList{"SiteNotFound()"};
}

void TestLookupControl::siteOutcome()
{
    QFETCH(int, source);
    QFETCH(int, status);
    QFETCH(QByteArray, page);
    QFETCH(QStringList, events);
    m_server->setHandler([=](const WebRequest &) {
        return std::optional<WebRoute>(WebRoute::page(page, "text/html", status));
    });
    m_control->setDatabase(int16_t(source));
    m_control->GetSite();
    QCOMPARE(m_rec->events, events);
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
}

void TestLookupControl::timeLimit_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("site") << "site" << QStringList{"SiteNotFound(QRZ)"};
    QTest::newRow("page") << "page" << QStringList{"CallNotFound(W1AW)"};
    QTest::newRow("position") << "latlon" << QStringList{"LatLonNotFound"};
}

// A server that answers after the limit: the load ends at the limit with the time-out event,
// and a body trickling in slowly does not extend it.
void TestLookupControl::timeLimit()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, events);
    WebRoute slow = WebRoute::page(html("QRZ W1AW Logout"));
    slow.delayMs = 3000;
    m_server->setRoute("/", slow);
    WebRoute trickle = WebRoute::page(html("QRZ W1AW Logout") + QByteArray(4000, ' '));
    trickle.chunked = true;
    trickle.chunkSize = 100;
    trickle.chunkIntervalMs = 20;
    m_server->setRoute("/db/W1AW", trickle);
    m_control->setPageTimeLimitMs(150);
    m_values.CurrentSource = 1;
    m_control->setDatabase(2);
    if (kind == "site")
        m_control->GetSite();
    else if (kind == "page")
        m_control->GetPage("W1AW2");
    else
        m_control->GetLatLon("W1AW4");
    QCOMPARE(m_rec->events, events);
    QCOMPARE(m_control->PageText(), QString());
    QVERIFY(!QFile::exists(m_values.DataFolder + "/Complete.txt"));
}

void TestLookupControl::badAnswer_data()
{
    QTest::addColumn<QString>("host");  // empty: the test server
    QTest::addColumn<QString>("path");  // served at /db/W1AW
    QTest::addColumn<WebRoute>("route");
    QTest::addColumn<QStringList>("events");

    const QByteArray page = html("W1AW Logout");
    QTest::newRow("not found") << "" << "" << WebRoute::page(page, "text/html", 404) << QStringList{"PageNotFound(W1AW)"};
    QByteArray huge = page + QByteArray(kMaxBodyBytes, ' ');
    QTest::newRow("body over 8 MB") << "" << "" << WebRoute::page(huge) << QStringList{"PageNotFound(W1AW)"};
    WebRoute hugeChunked = WebRoute::page(huge);
    hugeChunked.chunked = true;
    hugeChunked.chunkSize = 1 << 20;
    QTest::newRow("chunked body over 8 MB") << "" << "" << hugeChunked << QStringList{"PageNotFound(W1AW)"};
    WebRoute cut = WebRoute::page(page + QByteArray(1000, ' '));
    cut.closeAfterBytes = 200;
    QTest::newRow("body short of its length") << "" << "" << cut << QStringList{"PageNotFound(W1AW)"};
    QTest::newRow("redirect followed") << "" << "/moved/W1AW" << WebRoute::redirect("/moved/W1AW")
                                       << QStringList{"GotPage(W1AW,in)"};
    QTest::newRow("ftp address") << "ftp://127.0.0.1" << "" << WebRoute::page(page) << QStringList{"PageNotFound(W1AW)"};
    QTest::newRow("file address") << "file:///tmp" << "" << WebRoute::page(page) << QStringList{"PageNotFound(W1AW)"};
    QTest::newRow("nobody listening") << "http://127.0.0.1:1" << "" << WebRoute::page(page) << QStringList{"PageNotFound(W1AW)"};
}

void TestLookupControl::badAnswer()
{
    QFETCH(QString, host);
    QFETCH(QString, path);
    QFETCH(WebRoute, route);
    QFETCH(QStringList, events);
    m_server->setRoute("/db/W1AW", route);
    if (!path.isEmpty())
        m_server->setPage(path, html("W1AW Logout"));
    if (!host.isEmpty()) {
        m_hosts.setHost("qrz", host);
        makeControl();
    }
    m_control->setDatabase(2);
    m_control->GetPage("W1AW2");
    QCOMPARE(m_rec->events, events);
    if (!host.isEmpty() && host.startsWith("http") == false)
        QCOMPARE(m_server->requests().size(), 0);
}

void TestLookupControl::pageCharset_data()
{
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");

    QTest::newRow("server says windows-1252") << QByteArray("text/html; charset=windows-1252")
                                              << QByteArray("<p>K0ABC Jos\xE9</p>") << QString("K0ABC Jos\u00E9");
    QTest::newRow("page says iso-8859-1") << QByteArray("text/html")
                                          << QByteArray("<meta charset=iso-8859-1><p>K0ABC \x93q\x94</p>")
                                          << QString("K0ABC \u201Cq\u201D");
    QTest::newRow("valid UTF-8 undeclared") << QByteArray("text/html") << QByteArray("<p>K0ABC Jos\xC3\xA9</p>")
                                            << QString("K0ABC Jos\u00E9");
    QTest::newRow("invalid UTF-8 undeclared") << QByteArray("text/html") << QByteArray("<p>K0ABC Jos\xE9</p>")
                                              << QString("K0ABC Jos\u00E9");
}

void TestLookupControl::pageCharset()
{
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    m_server->setPage("/callbook/K0ABC", body, contentType);
    m_control->setDatabase(1);
    m_control->GetPage("K0ABC2");
    QCOMPARE(m_rec->events, QStringList{"GotPage(K0ABC,in)"});
    QCOMPARE(m_control->PageText().trimmed(), text);
}

void TestLookupControl::latLon_data()
{
    QTest::addColumn<int>("currentSource");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<double>("latitude");

    const QByteArray located = html("<div>W1AW</div><div>Latitude 41.5</div><div>Longitude -72.25</div><div>end</div>");
    QTest::newRow("position found") << 0 << 200 << located << QStringList{"GotPage(W1AW,in)", "LatLon(41.5,-72.25)"} << 41.5;
    QTest::newRow("latitude 0: page but no position")
        << 0 << 200 << html("<div>W1AW</div><div>Latitude 0</div><div>Longitude -72.25</div><div>end</div>")
        << QStringList{"GotPage(W1AW,in)"} << 0.0;
    QTest::newRow("no position on the page") << 0 << 200 << html("<div>W1AW</div>") << QStringList{"GotPage(W1AW,in)"} << 0.0;
    QTest::newRow("page without the call") << 0 << 200 << html("<div>Latitude 41.5</div>")
                                           << QStringList{"LoginRequired(W1AW)"} << 99.0;
    QTest::newRow("QRZ not logged in") << 1 << 200 << html("<div>W1AW</div>") << QStringList{"GotPage(W1AW,out)"} << 0.0;
    QTest::newRow("error") << 0 << 503 << located << QStringList{"LatLonNotFound"} << 99.0;
    QTest::newRow("source out of range") << 5 << 200 << located << QStringList{"LatLonNotFound"} << 99.0;
}

void TestLookupControl::latLon()
{
    QFETCH(int, currentSource);
    QFETCH(int, status);
    QFETCH(QByteArray, page);
    QFETCH(QStringList, events);
    QFETCH(double, latitude);
    m_server->setHandler([=](const WebRequest &) {
        return std::optional<WebRoute>(WebRoute::page(page, "text/html", status));
    });
    m_values.CurrentSource = int16_t(currentSource);
    m_values.StationLatitude = 99;
    m_control->setDatabase(3);
    m_control->GetLatLon("w1aw4");
    QCOMPARE(m_rec->events, events);
    QCOMPARE(m_control->Database(), int16_t(currentSource + 1));
    QCOMPARE(m_values.StationLatitude, latitude);
}

void TestLookupControl::picture_data()
{
    QTest::addColumn<QString>("address");  // relative: on the test server
    QTest::addColumn<WebRoute>("route");
    QTest::addColumn<QString>("event");
    QTest::addColumn<qint64>("bufferSize");

    QTest::newRow("picture") << "/w/w1aw/w1aw.jpg" << WebRoute::page("JFIF....", "image/jpeg") << "GotPicture(W1AW)" << qint64(8);
    QTest::newRow("missing") << "/w/w1aw/w1aw.jpg" << WebRoute::page("no", "text/plain", 404) << "NoPic(W1AW)" << qint64(0);
    QTest::newRow("exactly 8 MB") << "/w/w1aw/w1aw.jpg" << WebRoute::large(kMaxBodyBytes) << "GotPicture(W1AW)" << kMaxBodyBytes;
    QTest::newRow("one byte over 8 MB") << "/w/w1aw/w1aw.jpg" << WebRoute::large(kMaxBodyBytes + 1) << "NoPic(W1AW)" << qint64(0);
    WebRoute stalled = WebRoute::page("JFIF", "image/jpeg");
    stalled.delayMs = 3000;
    QTest::newRow("server stalls") << "/w/w1aw/w1aw.jpg" << stalled << "NoPic(W1AW)" << qint64(0);
    QTest::newRow("not a web address") << "file:///etc/passwd" << WebRoute() << "NoPic(W1AW)" << qint64(0);
    QTest::newRow("no address") << "" << WebRoute() << "NoPic(W1AW)" << qint64(0);
}

void TestLookupControl::picture()
{
    QFETCH(QString, address);
    QFETCH(WebRoute, route);
    QFETCH(QString, event);
    QFETCH(qint64, bufferSize);
    m_server->setRoute("/w/w1aw/w1aw.jpg", route);
    m_control->setBackgroundStallLimitMs(200);
    const QString full = address.startsWith('/') ? m_server->baseUrl() + address : address;
    m_control->GetPicture(full, "W1AW5");
    QTRY_COMPARE(m_rec->events.size(), 1);
    QCOMPARE(m_rec->events.first(), event);
    QCOMPARE(m_values.DownloadBuffer.size(), bufferSize);
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
    if (!address.startsWith('/'))
        QCOMPARE(m_server->requests().size(), 0);
}

void TestLookupControl::secondPictureCancelsFirst()
{
    WebRoute slow = WebRoute::page("first", "image/jpeg");
    slow.delayMs = 300;
    m_server->setRoute("/first.jpg", slow);
    m_server->setPage("/second.jpg", "second", "image/jpeg");
    m_control->GetPicture(m_server->baseUrl() + "/first.jpg", "W1AW5");
    m_control->GetPicture(m_server->baseUrl() + "/second.jpg", "W1AW5");
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)) + "W1AW5" + QChar(0));
    QTRY_COMPARE(m_rec->events.size(), 1);
    QTest::qWait(400);  // past the first answer: it must stay silent
    QCOMPARE(m_rec->events, QStringList{"GotPicture(W1AW)"});
    QCOMPARE(m_values.DownloadBuffer, QByteArray("second"));
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
}

void TestLookupControl::twoCallsTwoPictures()
{
    m_server->setPage("/a.jpg", "AAAA", "image/jpeg");
    WebRoute slow = WebRoute::page("BBBB", "image/jpeg");
    slow.delayMs = 100;
    m_server->setRoute("/b.jpg", slow);
    QStringList buffers;
    connect(m_control.get(), &ucLookUp::GotPicture, this,
            [&](const QString &call) { buffers << call + "=" + m_values.DownloadBuffer; });
    m_control->GetPicture(m_server->baseUrl() + "/b.jpg", "K1B5");
    m_control->GetPicture(m_server->baseUrl() + "/a.jpg", "K1A5");
    QTRY_COMPARE(buffers.size(), 2);
    QCOMPARE(buffers, (QStringList{"K1A=AAAA", "K1B=BBBB"}));
}

void TestLookupControl::cancelByName()
{
    WebRoute slow = WebRoute::page("JFIF", "image/jpeg");
    slow.delayMs = 200;
    m_server->setRoute("/p.jpg", slow);
    m_server->setRoute("/db/W1AW", slow);
    m_control->GetPicture(m_server->baseUrl() + "/p.jpg", "W1AW5");
    QVERIFY(!m_control->CancelRequest("K1ABC5"));
    QVERIFY(m_control->CancelRequest("W1AW5"));
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
    QVERIFY(!m_control->CancelRequest("W1AW5"));

    // A page load cancelled while it waits ends silently.
    QTimer::singleShot(30, m_control.get(), [this] { QVERIFY(m_control->CancelRequest("W1AW")); });
    m_control->setDatabase(2);
    m_control->GetPage("W1AW2");
    QTest::qWait(300);
    QCOMPARE(m_rec->events, QStringList());
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
}

// A second request for the same call while the first waits replaces it: one outcome, and the
// text of the newer page.
void TestLookupControl::samePageAgainWhileWaiting()
{
    int served = 0;
    m_server->setHandler([&](const WebRequest &) {
        WebRoute r = WebRoute::page(html(++served == 1 ? "W1AW old Logout" : "W1AW new Logout"));
        r.delayMs = served == 1 ? 300 : 0;
        return std::optional<WebRoute>(r);
    });
    m_control->setDatabase(2);
    QTimer::singleShot(30, m_control.get(), [this] { m_control->GetPage("W1AW2"); });
    m_control->GetPage("W1AW2");
    QCOMPARE(m_rec->events, QStringList{"GotPage(W1AW,in)"});
    QVERIFY(m_control->PageText().contains("new"));
    QCOMPARE(m_control->PendingRequests(), QString(QChar(0)));
}

void TestLookupControl::updateDownload_data()
{
    QTest::addColumn<bool>("maker");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("pageText");

    QTest::newRow("found") << true << 200 << QStringList{"UpdateFound"} << "Torvane ver 4.12";
    QTest::newRow("missing") << true << 404 << QStringList{"UpdatesNotFound"} << "";
    QTest::newRow("no maker host") << false << 200 << QStringList{"UpdatesNotFound"} << "";
}

void TestLookupControl::updateDownload()
{
    QFETCH(bool, maker);
    QFETCH(int, status);
    QFETCH(QStringList, events);
    QFETCH(QString, pageText);
    m_server->setPage("/", "<html><body><p>Torvane ver&nbsp;4.12</p></body></html>",
                      "text/html; charset=utf-8", status);
    if (!maker) {
        m_hosts.setHost("maker", QString());
        makeControl();
    }
    m_control->CheckUpdates();
    QTRY_COMPARE(m_rec->events.size(), 1);
    QCOMPARE(m_rec->events, events);
    QCOMPARE(m_control->PageText().trimmed(), pageText);
    if (maker) {
        QCOMPARE(m_values.SourceUrl, m_server->baseUrl() + "/");
        QCOMPARE(m_server->requestCount("/"), 1);
    } else {
        QCOMPARE(m_server->requests().size(), 0);
    }
    if (status == 200 && maker)
        QVERIFY(m_values.UpdateText.contains("Torvane ver&nbsp;4.12"));
}

void TestLookupControl::nameReaderRaisesEvents()
{
    m_server->setPage("/db/W1AW", html("<p>W1AW</p><p>Login is required</p>"));
    m_control->setDatabase(2);
    m_control->GetPage("W1AW2");
    QCOMPARE(m_control->cName("W1AW"), QString());
    QCOMPARE(m_rec->events, (QStringList{"LoginRequired(W1AW)", "LoginRequired(W1AW)"}));

    m_rec->events.clear();
    m_server->setPage("/db/W1AW", html("<p>W1AW produced no results Logout</p>"));
    m_control->GetPage("W1AW2");
    QCOMPARE(m_control->cName("W1AW"), QString());
    QCOMPARE(m_rec->events, (QStringList{"GotPage(W1AW,in)", "CallNotFound(W1AW)"}));
}

void TestLookupControl::completeFile()
{
    m_server->setPage("/", html("QRZ"));
    m_control->setDatabase(2);
    m_control->GetSite();
    QFile file(m_values.DataFolder + "/Complete.txt");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("complete\r\n"));
}

// The owning window closes while a page load waits: the load ends without touching the
// destroyed component.
void TestLookupControl::ownerGoneWhileWaiting()
{
    WebRoute slow = WebRoute::page(html("W1AW Logout"));
    slow.delayMs = 300;
    m_server->setRoute("/db/W1AW", slow);
    auto *control = new ucLookUp(m_values, m_hosts);
    control->setDatabase(2);
    bool raised = false;
    connect(control, &ucLookUp::GotPage, this, [&] { raised = true; });
    connect(control, &ucLookUp::PageNotFound, this, [&] { raised = true; });
    QTimer::singleShot(30, this, [control] { delete control; });
    control->GetPage("W1AW2");
    QVERIFY(!raised);
}

// A server may not send the component to a local file.
void TestLookupControl::redirectToFileRefused()
{
    QFile local(m_values.DataFolder + "/W1AW.html");
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.write(html("W1AW Logout"));
    local.close();
    m_server->setRedirect("/db/W1AW", QUrl::fromLocalFile(local.fileName()).toString());
    m_control->setDatabase(2);
    m_control->GetPage("W1AW2");
    QCOMPARE(m_rec->events, QStringList{"PageNotFound(W1AW)"});
    QCOMPARE(m_control->PageText(), QString());
}

QTEST_GUILESS_MAIN(TestLookupControl)
#include "tst_lookupcontrol.moc"
