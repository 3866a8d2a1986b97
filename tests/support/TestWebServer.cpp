#include "support/TestWebServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>
#include <utility>

namespace torvane {

namespace {

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;

QByteArray contentTypeFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"jpg" || suffix == u"jpeg")
        return "image/jpeg";
    return "text/html; charset=utf-8";
}

WebRoute notFound()
{
    return WebRoute::page("Not Found\n", "text/plain; charset=utf-8", 404);
}

}  // namespace

WebRoute WebRoute::page(const QByteArray &body, const QByteArray &contentType, int status)
{
    WebRoute r;
    r.body = body;
    r.contentType = contentType;
    r.status = status;
    return r;
}

WebRoute WebRoute::redirect(const QString &location, int status)
{
    WebRoute r = page("Moved\n", "text/plain; charset=utf-8", status);
    r.location = location.toUtf8();
    return r;
}

WebRoute WebRoute::large(qint64 size)
{
    return page(QByteArray(size, 'x'), "text/plain; charset=utf-8");
}

TestWebServer::TestWebServer(QObject *parent)
    : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TestWebServer::onNewConnection);
}

TestWebServer::~TestWebServer()
{
    // Sockets still open would report their closing to handlers that use our members.
    for (QTcpSocket *socket : m_server->findChildren<QTcpSocket *>())
        socket->disconnect(this);
    delete m_server;
}

bool TestWebServer::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 TestWebServer::port() const
{
    return m_server->serverPort();
}

QString TestWebServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void TestWebServer::setRoute(const QString &path, const WebRoute &route)
{
    m_routes.insert(QUrl::fromPercentEncoding(path.toUtf8()), route);
}

void TestWebServer::setPage(const QString &path, const QByteArray &body,
                            const QByteArray &contentType, int status)
{
    setRoute(path, WebRoute::page(body, contentType, status));
}

void TestWebServer::setHandler(Handler handler)
{
    m_handler = std::move(handler);
}

void TestWebServer::setFileRoot(const QString &folder)
{
    m_fileRoot = folder;
}

QList<WebRequest> TestWebServer::requests() const
{
    return m_log;
}

int TestWebServer::requestCount(const QString &path) const
{
    int n = 0;
    for (const WebRequest &r : m_log)
        n += r.path == path ? 1 : 0;
    return n;
}

void TestWebServer::clearRequests()
{
    m_log.clear();
}

void TestWebServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_pending.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

// Reads a GET's request line and headers; the program under test sends no bodies.
void TestWebServer::onReadyRead(QTcpSocket *socket)
{
    auto it = m_pending.find(socket);
    if (it == m_pending.end()) {
        socket->readAll();  // already answered: ignore whatever else arrives
        return;
    }
    QByteArray &buffer = it.value();
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0 && buffer.size() <= kMaxHeaderBytes)
        return;
    const QByteArray head = buffer.left(headerEnd);  // the buffer goes with its entry
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    m_pending.erase(it);
    if (headerEnd < 0 || requestLine.size() != 3) {
        send(socket, WebRoute::page("Bad Request\n", "text/plain", 400));
        return;
    }
    WebRequest request;
    request.target = QString::fromUtf8(requestLine.at(1));
    request.path = QUrl::fromPercentEncoding(request.target.section(u'?', 0, 0).toUtf8());
    for (const QByteArray &line : head.split('\n')) {
        if (line.toLower().startsWith("cookie:"))
            request.cookie = line.mid(7).trimmed();
    }
    m_log.append(request);
    emit requestReceived(request.target);
    answer(socket, request);
}

void TestWebServer::answer(QTcpSocket *socket, const WebRequest &request)
{
    WebRoute route = routeFor(request);
    route.delayMs += m_delays.value(request.path);
    if (route.delayMs <= 0) {
        send(socket, route);
        return;
    }
    // The socket is the timer's context: a client that gives up first cancels the answer.
    QTimer::singleShot(route.delayMs, socket, [this, socket, route] {
        if (socket->state() == QAbstractSocket::ConnectedState)
            send(socket, route);
    });
}

WebRoute TestWebServer::routeFor(const WebRequest &request) const
{
    if (m_handler) {
        if (std::optional<WebRoute> r = m_handler(request))
            return *r;
    }
    const auto byPath = m_routes.constFind(request.path);
    if (byPath != m_routes.constEnd())
        return *byPath;
    if (std::optional<WebRoute> file = fileRoute(request))
        return *file;
    return notFound();
}

// A file below the root, never one outside it.
std::optional<WebRoute> TestWebServer::fileRoute(const WebRequest &request) const
{
    if (m_fileRoot.isEmpty() || !request.path.startsWith(u'/'))
        return std::nullopt;
    QString relative = request.path.mid(1);
    if (relative.isEmpty() || relative.endsWith(u'/'))
        relative += QStringLiteral("index.html");
    const QString canonicalRoot = QDir(m_fileRoot).canonicalPath();
    const QFileInfo info(QDir(m_fileRoot).filePath(relative));
    if (!info.isFile() || canonicalRoot.isEmpty()
        || !info.canonicalFilePath().startsWith(canonicalRoot + u'/'))
        return std::nullopt;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return notFound();
    return WebRoute::page(file.readAll(), contentTypeFor(info.fileName()));
}

void TestWebServer::send(QTcpSocket *socket, const WebRoute &route)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + " Status\r\n";
    if (!route.contentType.isEmpty())
        head += "Content-Type: " + route.contentType + "\r\n";
    if (!route.location.isEmpty())
        head += "Location: " + route.location + "\r\n";
    if (!route.setCookie.isEmpty())
        head += "Set-Cookie: " + route.setCookie + "\r\n";
    if (route.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    else
        head += "Content-Length: " + QByteArray::number(route.streamBytes > 0 ? route.streamBytes : route.body.size()) + "\r\n";
    head += "Connection: close\r\n";
    socket->write(route.endlessHeaders ? head : head + "\r\n");
    if (route.endlessHeaders)
        return;
    if (route.streamBytes > 0) {
        stream(socket, route.streamBytes, route.chunked);
        return;
    }

    const bool cut = route.closeAfterBytes >= 0 && route.closeAfterBytes < route.body.size();
    const QByteArray body = cut ? route.body.left(route.closeAfterBytes) : route.body;
    if (route.chunked) {
        sendChunks(socket, body, qMax(1, route.chunkSize), route.chunkIntervalMs, !cut);
        return;
    }
    socket->write(body);
    finish(socket);
}

void TestWebServer::sendChunks(QTcpSocket *socket, QByteArray rest, int chunkSize, int intervalMs,
                               bool terminate)
{
    do {
        const QByteArray chunk = rest.left(chunkSize);
        rest.remove(0, chunk.size());
        if (!chunk.isEmpty())
            socket->write(QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n");
        if (rest.isEmpty()) {
            if (terminate)
                socket->write("0\r\n\r\n");
            finish(socket);
            return;
        }
    } while (intervalMs <= 0);
    QTimer::singleShot(intervalMs, socket, [this, socket, rest, chunkSize, intervalMs, terminate] {
        if (socket->state() == QAbstractSocket::ConnectedState)
            sendChunks(socket, rest, chunkSize, intervalMs, terminate);
    });
}

// Keeps 256 KB queued on the socket until the body is out or the client hangs up.
void TestWebServer::stream(QTcpSocket *socket, qint64 bytes, bool chunked)
{
    auto left = std::make_shared<qint64>(bytes);
    const auto feed = [this, socket, left, chunked] {
        while (*left > 0 && socket->bytesToWrite() < (1 << 18)) {
            const QByteArray piece(qMin<qint64>(*left, 65536), 'x');
            socket->write(chunked ? QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n" : piece);
            *left -= piece.size();
            m_streamed += piece.size();
        }
        if (*left == 0) {
            *left = -1;
            socket->write(chunked ? "0\r\n\r\n" : "");
            finish(socket);
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, feed);
    feed();
}

void TestWebServer::finish(QTcpSocket *socket)
{
    // Closes once everything written so far has gone out.
    socket->disconnectFromHost();
}

}  // namespace torvane
