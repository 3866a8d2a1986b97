// The local test web server: one brief check per feature the other tests rely on, through
// QNetworkAccessManager as the program's code uses it.

#include "support/TestWebServer.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using torvane::TestWebServer;
using torvane::WebRequest;
using torvane::WebRoute;

namespace {

struct Fetched {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray contentType;
};

Fetched fetch(QNetworkAccessManager &net, QNetworkRequest request)
{
    if (request.transferTimeout() == 0)
        request.setTransferTimeout(20000);  // a broken server fails the test instead of hanging it
    QNetworkReply *reply = net.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    reply->deleteLater();
    return {reply->error(), reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->isOpen() ? reply->readAll() : QByteArray(), reply->rawHeader("Content-Type")};
}

/// Raw bytes of the answer to a hand-written request.
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

void makeFiles(const QString &root)
{
    const QList<QPair<QString, QByteArray>> files = {
        {"db/K1ABC", "K1ABC"},
        {"db/K1ABC.headers", "# test\nContent-Type: text/html; charset=windows-1252\n"},
        {"geo/xml?address=x", "<x/>"},
        {"geo/xml", "<any/>"},
        {"index.html", "home"},
    };
    for (const auto &[name, bytes] : files) {
        QVERIFY(QDir().mkpath(QFileInfo(root + u'/' + name).path()));
        QFile file(root + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

}  // namespace

class TestTestWebServer : public QObject {
    Q_OBJECT

    TestWebServer *m_server = nullptr;
    QNetworkAccessManager *m_net = nullptr;
    Fetched get(const QString &pathAndQuery) { return fetch(*m_net, QNetworkRequest(m_server->url(pathAndQuery))); }

private slots:
    void init()
    {
        m_server = new TestWebServer(this);
        QVERIFY(m_server->listen());
        m_net = new QNetworkAccessManager(this);
    }
    void cleanup()
    {
        delete m_net;
        delete m_server;
    }

    // Routes, the handler in front of them, files below the file root, then 404.
    void answers_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        const QByteArray html = "text/html; charset=utf-8";
        QTest::newRow("page") << "/page" << 200 << QByteArray("plain") << html;
        QTest::newRow("exact query wins") << "/page?x=1" << 200 << QByteArray("query one") << html;
        QTest::newRow("other query falls back to the path") << "/page?x=2" << 200 << QByteArray("plain") << html;
        QTest::newRow("encoded query matches decoded key") << "/geo/q?address=1%20Main%20St" << 200
                                                           << QByteArray("<q/>") << QByteArray("text/xml");
        QTest::newRow("status") << "/error" << 500 << QByteArray("boom") << html;
        QTest::newRow("redirect followed") << "/old" << 200 << QByteArray("plain") << html;
        QTest::newRow("handler") << "/db/W1AW" << 200 << QByteArray("call W1AW") << html;
        QTest::newRow("handler falls through") << "/db/K1ABC" << 200 << QByteArray("K1ABC")
                                               << QByteArray("text/html; charset=windows-1252");
        QTest::newRow("file for one query") << "/geo/xml?address=x" << 200 << QByteArray("<x/>") << html;
        QTest::newRow("file for any other query") << "/geo/xml?address=y" << 200 << QByteArray("<any/>") << html;
        QTest::newRow("folder index") << "/" << 200 << QByteArray("home") << html;
        QTest::newRow("nothing there") << "/db/NOBODY" << 404 << QByteArray("Not Found\n")
                                       << QByteArray("text/plain; charset=utf-8");
    }
    void answers()
    {
        QFETCH(QString, request);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        m_server->setPage(QStringLiteral("/page"), "plain");
        m_server->setPage(QStringLiteral("/page?x=1"), "query one");
        m_server->setPage(QStringLiteral("/geo/q?address=1 Main St"), "<q/>", "text/xml");
        m_server->setPage(QStringLiteral("/error"), "boom", "text/html; charset=utf-8", 500);
        m_server->setPage(QStringLiteral("/db/W1AW"), "static");
        m_server->setRedirect(QStringLiteral("/old"), QStringLiteral("/page"));
        m_server->setHandler([](const WebRequest &r) -> std::optional<WebRoute> {
            if (r.path != u"/db/W1AW")
                return std::nullopt;
            return WebRoute::page("call " + r.path.mid(4).toUtf8());
        });
        QTemporaryDir root;
        makeFiles(root.path());
        m_server->setFileRoot(root.path());

        const Fetched f = get(request);
        QCOMPARE(f.status, status);
        QCOMPARE(f.body, body);
        QCOMPARE(f.contentType, contentType);
    }

    // A delayed answer waits on a timer: the server answers others meanwhile, and goes on after
    // a client gave up waiting.
    void delayedAnswer()
    {
        WebRoute slow = WebRoute::page("late");
        slow.delayMs = 400;
        m_server->setRoute(QStringLiteral("/slow"), slow);
        m_server->setPage(QStringLiteral("/fast"), "early");

        QStringList order;
        QNetworkReply *slowReply = m_net->get(QNetworkRequest(m_server->url(QStringLiteral("/slow"))));
        connect(slowReply, &QNetworkReply::finished, this, [&] { order << QStringLiteral("slow"); });
        QTRY_COMPARE(m_server->requestCount(QStringLiteral("/slow")), 1);
        QCOMPARE(get(QStringLiteral("/fast")).body, QByteArray("early"));
        QVERIFY(order.isEmpty());
        QTRY_COMPARE(order, QStringList{QStringLiteral("slow")});
        QCOMPARE(slowReply->readAll(), QByteArray("late"));
        slowReply->deleteLater();

        QNetworkRequest impatient(m_server->url(QStringLiteral("/slow")));
        impatient.setTransferTimeout(100);
        QVERIFY(fetch(*m_net, impatient).error != QNetworkReply::NoError);
        QTest::qWait(500);  // the delayed answer meets a closed connection
        QCOMPARE(get(QStringLiteral("/fast")).body, QByteArray("early"));
    }

    void largeAndChunkedBodies()
    {
        constexpr qint64 size = 3 * 1024 * 1024 + 7;
        m_server->setRoute(QStringLiteral("/big"), WebRoute::large(size));
        QCOMPARE(get(QStringLiteral("/big")).body.size(), size);

        WebRoute route = WebRoute::page(QByteArray("line\r\n").repeated(200));
        route.chunked = true;
        route.chunkSize = 100;
        route.chunkIntervalMs = 5;
        m_server->setRoute(QStringLiteral("/chunked"), route);
        const QByteArray answer = rawExchange(m_server->port(), "GET /chunked HTTP/1.1\r\n\r\n");
        QVERIFY(answer.contains("Transfer-Encoding: chunked\r\n"));
        QCOMPARE(get(QStringLiteral("/chunked")).body, route.body);
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

    void requestLog()
    {
        get(QStringLiteral("/a?call=W1AW%20x"));
        get(QStringLiteral("/a"));
        const QList<WebRequest> log = m_server->requests();
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0).target, QStringLiteral("/a?call=W1AW%20x"));
        QCOMPARE(log.at(0).path, QStringLiteral("/a"));
        QCOMPARE(log.at(0).query, QStringLiteral("call=W1AW x"));
        QCOMPARE(m_server->requestCount(QStringLiteral("/a")), 2);
        m_server->clearRequests();
        QVERIFY(m_server->requests().isEmpty());
    }

    // Nothing outside the file root is served.
    void dotDotPath()
    {
        QTemporaryDir parent;
        QVERIFY(QDir(parent.path()).mkdir(QStringLiteral("root")));
        QFile outside(parent.filePath(QStringLiteral("outside.txt")));
        QVERIFY(outside.open(QIODevice::WriteOnly) && outside.write("SECRET") == 6);
        outside.close();
        m_server->setFileRoot(parent.filePath(QStringLiteral("root")));
        for (const QByteArray path : {"/../outside.txt", "/%2e%2e/outside.txt"}) {
            const QByteArray answer = rawExchange(m_server->port(), "GET " + path + " HTTP/1.1\r\n\r\n");
            QVERIFY2(answer.startsWith("HTTP/1.1 404 "), answer.left(80).constData());
        }
    }

    void standaloneProgram()
    {
        QTemporaryDir root;
        makeFiles(root.path());
        QProcess server;
        server.start(QStringLiteral(TORVANE_TESTSERVER), {root.path()});
        QVERIFY(server.waitForStarted() && server.waitForReadyRead(20000));
        const quint16 port = server.readLine().trimmed().toUShort();
        const Fetched f = fetch(*m_net, QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/db/K1ABC").arg(port))));
        QCOMPARE(f.body, QByteArray("K1ABC"));
        QCOMPARE(f.contentType, QByteArray("text/html; charset=windows-1252"));
        server.kill();
        QVERIFY(server.waitForFinished());
    }
};

QTEST_GUILESS_MAIN(TestTestWebServer)
#include "tst_testwebserver.moc"
