// The local test web server, exercised through QNetworkAccessManager as the program's code will.

#include "support/TestWebServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using torvane::TestWebServer;
using torvane::WebRequest;
using torvane::WebRoute;

namespace {

struct Fetched {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QUrl finalUrl;
    QNetworkReply *reply = nullptr;  // valid until the next event loop pass (deleteLater)
    QByteArray header(const QByteArray &name) const { return reply ? reply->rawHeader(name) : QByteArray(); }
};

void waitFor(QNetworkReply *reply)
{
    if (reply->isFinished())
        return;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

/// Raw bytes of the answer to one hand-written request.
QByteArray rawExchange(quint16 port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    QEventLoop loop;
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    loop.exec();
    return answer + socket.readAll();
}

}  // namespace

class TestTestWebServer : public QObject {
    Q_OBJECT

private:
    TestWebServer *m_server = nullptr;
    QNetworkAccessManager *m_net = nullptr;

    Fetched fetch(QNetworkRequest request, const QByteArray &verb = "GET", const QByteArray &body = {})
    {
        if (request.transferTimeout() == 0)
            request.setTransferTimeout(20000);  // a broken server fails the test instead of hanging it
        QNetworkReply *reply = m_net->sendCustomRequest(request, verb, body);
        waitFor(reply);
        Fetched f;
        f.error = reply->error();
        f.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        f.body = reply->isOpen() ? reply->readAll() : QByteArray();
        f.finalUrl = reply->url();
        f.reply = reply;
        reply->deleteLater();
        return f;
    }
    Fetched get(const QString &pathAndQuery) { return fetch(QNetworkRequest(m_server->url(pathAndQuery))); }

private slots:
    void init()
    {
        m_server = new TestWebServer(this);
        QVERIFY(m_server->listen());
        QVERIFY(m_server->port() != 0);
        m_net = new QNetworkAccessManager(this);
    }

    void cleanup()
    {
        delete m_net;
        delete m_server;
    }

    void answers_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");

        const QByteArray html = "text/html; charset=utf-8";
        QTest::newRow("page") << "/page" << 200 << QByteArray("<p>hello</p>") << html;
        QTest::newRow("exact query wins") << "/page?x=1" << 200 << QByteArray("query one") << html;
        QTest::newRow("other query falls back to the path") << "/page?x=2" << 200 << QByteArray("<p>hello</p>") << html;
        QTest::newRow("percent-encoded query matches decoded key")
            << "/geo/xml?address=1%20Main%20St" << 200 << QByteArray("<status>OK</status>")
            << QByteArray("text/xml; charset=utf-8");
        QTest::newRow("8-bit charset") << "/latin" << 200 << QByteArray("\xe9t\xe9")
                                       << QByteArray("text/html; charset=windows-1252");
        QTest::newRow("server error") << "/error" << 500 << QByteArray("boom") << html;
        QTest::newRow("unknown path") << "/nothing" << 404 << QByteArray("Not Found\n")
                                      << QByteArray("text/plain; charset=utf-8");
    }

    void answers()
    {
        QFETCH(QString, request);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);

        m_server->setPage(QStringLiteral("/page"), "<p>hello</p>");
        m_server->setPage(QStringLiteral("/page?x=1"), "query one");
        m_server->setPage(QStringLiteral("/geo/xml?address=1 Main St"), "<status>OK</status>",
                          "text/xml; charset=utf-8");
        m_server->setPage(QStringLiteral("/latin"), "\xe9t\xe9", "text/html; charset=windows-1252");
        m_server->setPage(QStringLiteral("/error"), "boom", "text/html; charset=utf-8", 500);

        const Fetched f = get(request);
        QCOMPARE(f.status, status);
        QCOMPARE(f.body, body);
        QCOMPARE(f.header("Content-Type"), contentType);
    }

    void extraHeadersAndRemovedRoute()
    {
        WebRoute route = WebRoute::page("x");
        route.addHeader("X-Test", "yes");
        route.addHeader("Cache-Control", "no-store");
        m_server->setRoute(QStringLiteral("/h"), route);
        Fetched f = get(QStringLiteral("/h"));
        QCOMPARE(f.header("X-Test"), QByteArray("yes"));
        QCOMPARE(f.header("Cache-Control"), QByteArray("no-store"));

        m_server->removeRoute(QStringLiteral("/h"));
        QCOMPARE(get(QStringLiteral("/h")).status, 404);
    }

    void redirects_data()
    {
        QTest::addColumn<bool>("follow");
        QTest::addColumn<int>("status");
        QTest::newRow("followed") << true << 302;
        QTest::newRow("followed, permanent") << true << 301;
        QTest::newRow("manual") << false << 302;
    }

    void redirects()
    {
        QFETCH(bool, follow);
        QFETCH(int, status);
        m_server->setPage(QStringLiteral("/new"), "arrived");
        m_server->setRedirect(QStringLiteral("/old"), QStringLiteral("/new"), status);

        QNetworkRequest request(m_server->url(QStringLiteral("/old")));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             follow ? QNetworkRequest::NoLessSafeRedirectPolicy
                                    : QNetworkRequest::ManualRedirectPolicy);
        const Fetched f = fetch(request);
        if (follow) {
            QCOMPARE(f.status, 200);
            QCOMPARE(f.body, QByteArray("arrived"));
            QCOMPARE(f.finalUrl, m_server->url(QStringLiteral("/new")));
            QCOMPARE(m_server->requestCount(QStringLiteral("/new")), 1);
        } else {
            QCOMPARE(f.status, status);
            QCOMPARE(f.header("Location"), QByteArray("/new"));
            QCOMPARE(m_server->requestCount(QStringLiteral("/new")), 0);
        }
        QCOMPARE(m_server->requestCount(QStringLiteral("/old")), 1);
    }

    // A slow answer outlasts the client's time limit; the client gives up and the server goes on.
    void delayBeyondTimeLimit()
    {
        WebRoute slow = WebRoute::page("late");
        slow.delayMs = 5000;
        m_server->setRoute(QStringLiteral("/slow"), slow);
        m_server->setPage(QStringLiteral("/page"), "fine");

        QNetworkRequest request(m_server->url(QStringLiteral("/slow")));
        request.setTransferTimeout(200);
        const Fetched f = fetch(request);
        QVERIFY2(f.error == QNetworkReply::OperationCanceledError || f.error == QNetworkReply::TimeoutError,
                 qPrintable(QString::number(f.error)));
        QVERIFY(f.body.isEmpty());
        QCOMPARE(get(QStringLiteral("/page")).body, QByteArray("fine"));
    }

    // While a delayed answer waits, the server keeps answering others: its wait is a timer.
    void delayDoesNotBlock()
    {
        WebRoute slow = WebRoute::page("late");
        slow.delayMs = 400;
        m_server->setRoute(QStringLiteral("/slow"), slow);
        m_server->setPage(QStringLiteral("/fast"), "early");

        QElapsedTimer clock;
        clock.start();
        QStringList order;
        QNetworkReply *slowReply = m_net->get(QNetworkRequest(m_server->url(QStringLiteral("/slow"))));
        connect(slowReply, &QNetworkReply::finished, this, [&] { order << QStringLiteral("slow"); });
        QTRY_COMPARE(m_server->requestCount(QStringLiteral("/slow")), 1);
        QNetworkReply *fastReply = m_net->get(QNetworkRequest(m_server->url(QStringLiteral("/fast"))));
        connect(fastReply, &QNetworkReply::finished, this, [&] { order << QStringLiteral("fast"); });
        waitFor(slowReply);
        waitFor(fastReply);
        QCOMPARE(order, (QStringList{QStringLiteral("fast"), QStringLiteral("slow")}));
        QCOMPARE(slowReply->readAll(), QByteArray("late"));
        QVERIFY(clock.elapsed() >= 400);  // never earlier than the delay
        slowReply->deleteLater();
        fastReply->deleteLater();
    }

    void largeBody()
    {
        constexpr qint64 size = 3 * 1024 * 1024 + 7;
        m_server->setRoute(QStringLiteral("/big"), WebRoute::large(size));
        const Fetched f = get(QStringLiteral("/big"));
        QCOMPARE(f.error, QNetworkReply::NoError);
        QCOMPARE(f.header("Content-Length"), QByteArray::number(size));
        QCOMPARE(f.body.size(), size);
    }

    void chunked_data()
    {
        QTest::addColumn<int>("chunkSize");
        QTest::addColumn<int>("intervalMs");
        QTest::newRow("one chunk") << 100000 << 0;
        QTest::newRow("small chunks") << 7 << 0;
        QTest::newRow("chunks apart in time") << 300 << 20;
    }

    void chunked()
    {
        QFETCH(int, chunkSize);
        QFETCH(int, intervalMs);
        QByteArray body;
        for (int i = 0; i < 200; ++i)
            body += "line " + QByteArray::number(i) + "\r\n";
        WebRoute route = WebRoute::page(body);
        route.chunked = true;
        route.chunkSize = chunkSize;
        route.chunkIntervalMs = intervalMs;
        m_server->setRoute(QStringLiteral("/chunked"), route);

        const Fetched f = get(QStringLiteral("/chunked"));
        QCOMPARE(f.error, QNetworkReply::NoError);
        QCOMPARE(f.body, body);
        QCOMPARE(f.header("Transfer-Encoding"), QByteArray("chunked"));
        QVERIFY(f.header("Content-Length").isEmpty());
    }

    void closedMidBody()
    {
        WebRoute route = WebRoute::large(10000);
        route.closeAfterBytes = 1000;
        m_server->setRoute(QStringLiteral("/cut"), route);

        const Fetched f = get(QStringLiteral("/cut"));
        QVERIFY2(f.error != QNetworkReply::NoError, "a cut-off body must not look complete");
        QVERIFY(f.body.size() <= 1000);
    }

    // Read raw: Qt's client accepts a chunked body cut off at a chunk boundary as complete.
    void closedMidChunkedBody()
    {
        WebRoute route = WebRoute::large(10000);
        route.closeAfterBytes = 1000;
        route.chunked = true;
        route.chunkSize = 100;
        m_server->setRoute(QStringLiteral("/cut"), route);

        const QByteArray answer = rawExchange(m_server->port(), "GET /cut HTTP/1.1\r\n\r\n");
        const qsizetype bodyStart = answer.indexOf("\r\n\r\n") + 4;
        QVERIFY(answer.contains("Transfer-Encoding: chunked\r\n"));
        QCOMPARE(answer.mid(bodyStart), QByteArray("64\r\n" + QByteArray(100, 'x') + "\r\n").repeated(10));
    }

    void requestLog()
    {
        m_server->setPage(QStringLiteral("/a"), "a");
        get(QStringLiteral("/a?call=W1AW"));
        QNetworkRequest post(m_server->url(QStringLiteral("/form")));
        post.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-www-form-urlencoded"));
        post.setRawHeader("X-Client", "tst");
        fetch(post, "POST", "user=me&pass=x");
        get(QStringLiteral("/a"));

        const QList<WebRequest> log = m_server->requests();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.at(0).method, QByteArray("GET"));
        QCOMPARE(log.at(0).path, QStringLiteral("/a"));
        QCOMPARE(log.at(0).query, QStringLiteral("call=W1AW"));
        QCOMPARE(log.at(0).target, QStringLiteral("/a?call=W1AW"));
        QCOMPARE(log.at(1).method, QByteArray("POST"));
        QCOMPARE(log.at(1).body, QByteArray("user=me&pass=x"));
        QCOMPARE(log.at(1).header("x-client"), QByteArray("tst"));
        QCOMPARE(log.at(2).query, QString());
        for (qsizetype i = 1; i < log.size(); ++i) {
            QVERIFY(log.at(i).elapsedMs >= log.at(i - 1).elapsedMs);
            QVERIFY(log.at(i).received >= log.at(i - 1).received);
        }
        QVERIFY(log.at(0).received.isValid());
        QCOMPARE(m_server->requestCount(QStringLiteral("/a")), 2);

        m_server->clearRequests();
        QVERIFY(m_server->requests().isEmpty());
    }

    void handlerBeforeRoutes()
    {
        m_server->setPage(QStringLiteral("/db/W1AW"), "static");
        m_server->setPage(QStringLiteral("/other"), "other");
        m_server->setHandler([](const WebRequest &r) -> std::optional<WebRoute> {
            if (!r.path.startsWith(QStringLiteral("/db/")))
                return std::nullopt;
            return WebRoute::page("call " + r.path.mid(4).toUtf8());
        });
        QCOMPARE(get(QStringLiteral("/db/W1AW")).body, QByteArray("call W1AW"));
        QCOMPARE(get(QStringLiteral("/db/K1ABC")).body, QByteArray("call K1ABC"));
        QCOMPARE(get(QStringLiteral("/other")).body, QByteArray("other"));
    }

    void files_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");

        QTest::newRow("no suffix is a page") << "/db/W1AW" << 200 << QByteArray("<b>W1AW</b>")
                                            << QByteArray("text/html; charset=utf-8");
        QTest::newRow("headers file") << "/db/K1ABC" << 200 << QByteArray("K1ABC")
                                      << QByteArray("text/html; charset=windows-1252");
        QTest::newRow("file for one query") << "/geo/xml?address=x" << 200 << QByteArray("<x/>")
                                            << QByteArray("text/html; charset=utf-8");
        QTest::newRow("any other query, type from headers file") << "/geo/xml?address=y" << 200 << QByteArray("<any/>")
                                         << QByteArray("text/xml; charset=utf-8");
        QTest::newRow("folder index") << "/" << 200 << QByteArray("home")
                                      << QByteArray("text/html; charset=utf-8");
        QTest::newRow("status from headers file") << "/gone.txt" << 410 << QByteArray("gone")
                                                  << QByteArray("text/plain; charset=utf-8");
        QTest::newRow("picture") << "/pic.jpg" << 200 << QByteArray("\xff\xd8\xff")
                                 << QByteArray("image/jpeg");
        QTest::newRow("missing file") << "/db/NOBODY" << 404 << QByteArray("Not Found\n")
                                      << QByteArray("text/plain; charset=utf-8");
        QTest::newRow("folder without index") << "/db/" << 404 << QByteArray("Not Found\n")
                                              << QByteArray("text/plain; charset=utf-8");
    }

    void files()
    {
        QFETCH(QString, request);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);

        QTemporaryDir root;
        QVERIFY(root.isValid());
        makeFiles(root.path());
        m_server->setFileRoot(root.path());

        const Fetched f = get(request);
        QCOMPARE(f.status, status);
        QCOMPARE(f.body, body);
        QCOMPARE(f.header("Content-Type"), contentType);
        if (request == u"/db/K1ABC")
            QCOMPARE(f.header("X-From"), QByteArray("file"));
    }

    // Requests written by hand: what a client library would never send.
    void rawRequests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::newRow("dot-dot path") << QByteArray("GET /../outside.txt HTTP/1.1\r\n\r\n")
                                      << QByteArray("HTTP/1.1 404 ");
        QTest::newRow("encoded dot-dot path") << QByteArray("GET /db/%2e%2e/%2E%2E/outside.txt HTTP/1.1\r\n\r\n")
                                              << QByteArray("HTTP/1.1 404 ");
        QTest::newRow("garbage request line") << QByteArray("HELLO\r\n\r\n") << QByteArray("HTTP/1.1 400 ");
        QTest::newRow("bad Content-Length") << QByteArray("POST /a HTTP/1.1\r\nContent-Length: x\r\n\r\n")
                                            << QByteArray("HTTP/1.1 400 ");
        QTest::newRow("header too long") << QByteArray("GET /a HTTP/1.1\r\nX: " + QByteArray(70000, 'a'))
                                         << QByteArray("HTTP/1.1 431 ");
        QTest::newRow("HEAD has no body") << QByteArray("HEAD /db/W1AW HTTP/1.1\r\n\r\n")
                                          << QByteArray("HTTP/1.1 200 OK\r\n");
    }

    void rawRequests()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, statusLine);
        QTemporaryDir parent;
        QVERIFY(parent.isValid());
        const QString root = parent.filePath(QStringLiteral("root"));
        QVERIFY(QDir().mkpath(root));
        makeFiles(root);
        QFile outside(parent.filePath(QStringLiteral("outside.txt")));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.write("SECRET");
        outside.close();
        m_server->setFileRoot(root);

        const QByteArray answer = rawExchange(m_server->port(), request);
        QVERIFY2(answer.startsWith(statusLine), answer.left(80).constData());
        QVERIFY(!answer.contains("SECRET"));
        if (request.startsWith("HEAD")) {
            QVERIFY(answer.endsWith("\r\n\r\n"));
            QVERIFY(answer.contains("Content-Length: 0\r\n"));
        }
    }

    void standaloneProgram()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        makeFiles(root.path());
        QProcess server;
        server.start(QStringLiteral(TORVANE_TESTSERVER), {root.path()});
        QVERIFY(server.waitForStarted());
        QVERIFY(server.waitForReadyRead(20000));
        bool ok = false;
        const quint16 port = server.readLine().trimmed().toUShort(&ok);
        QVERIFY(ok && port != 0);

        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1/db/K1ABC").arg(port)));
        const Fetched f = fetch(request);
        QCOMPARE(f.status, 200);
        QCOMPARE(f.body, QByteArray("K1ABC"));
        QCOMPARE(f.header("Content-Type"), QByteArray("text/html; charset=windows-1252"));

        server.kill();
        QVERIFY(server.waitForFinished());
    }

private:
    static void makeFiles(const QString &root)
    {
        const QList<QPair<QString, QByteArray>> files = {
            {QStringLiteral("db/W1AW"), "<b>W1AW</b>"},
            {QStringLiteral("db/K1ABC"), "K1ABC"},
            {QStringLiteral("db/K1ABC.headers"), "# test\nContent-Type: text/html; charset=windows-1252\nX-From: file\n"},
            {QStringLiteral("geo/xml?address=x"), "<x/>"},
            {QStringLiteral("geo/xml"), "<any/>"},
            {QStringLiteral("geo/xml.headers"), "Content-Type: text/xml; charset=utf-8\n"},
            {QStringLiteral("index.html"), "home"},
            {QStringLiteral("gone.txt"), "gone"},
            {QStringLiteral("gone.txt.headers"), "Status: 410\n"},
            {QStringLiteral("pic.jpg"), "\xff\xd8\xff"},
        };
        for (const auto &[name, bytes] : files) {
            const QString path = root + u'/' + name;
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
    }
};

QTEST_GUILESS_MAIN(TestTestWebServer)
#include "tst_testwebserver.moc"
