#include "support/TestWebServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace torvane {

namespace {

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
constexpr qint64 kMaxRequestBody = 16 * 1024 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 304: return "Not Modified";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 410: return "Gone";
    case 413: return "Content Too Large";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "Status";
    }
}

/// "path?query" with both parts percent-decoded, the form route keys are stored in.
QString routeKey(const QString &pathAndQuery)
{
    const qsizetype q = pathAndQuery.indexOf(u'?');
    const auto decode = [](const QString &part) {
        return QUrl::fromPercentEncoding(part.toUtf8());
    };
    if (q < 0)
        return decode(pathAndQuery);
    return decode(pathAndQuery.left(q)) + u'?' + decode(pathAndQuery.mid(q + 1));
}

QByteArray contentTypeFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix.isEmpty() || suffix == u"html" || suffix == u"htm")
        return "text/html; charset=utf-8";
    if (suffix == u"txt")
        return "text/plain; charset=utf-8";
    if (suffix == u"xml")
        return "text/xml; charset=utf-8";
    if (suffix == u"json")
        return "application/json";
    if (suffix == u"css")
        return "text/css; charset=utf-8";
    if (suffix == u"jpg" || suffix == u"jpeg")
        return "image/jpeg";
    if (suffix == u"gif")
        return "image/gif";
    if (suffix == u"png")
        return "image/png";
    if (suffix == u"bmp")
        return "image/bmp";
    return "application/octet-stream";
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
    r.addHeader("Location", location.toUtf8());
    return r;
}

WebRoute WebRoute::large(qint64 size)
{
    return page(QByteArray(size, 'x'), "text/plain; charset=utf-8");
}

QByteArray WebRequest::header(const QByteArray &name) const
{
    for (const auto &h : headers) {
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    }
    return {};
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
    m_clock.start();
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

QUrl TestWebServer::url(const QString &pathAndQuery) const
{
    return QUrl(baseUrl() + pathAndQuery);
}

void TestWebServer::setRoute(const QString &pathAndQuery, const WebRoute &route)
{
    m_routes.insert(routeKey(pathAndQuery), route);
}

void TestWebServer::setPage(const QString &pathAndQuery, const QByteArray &body,
                            const QByteArray &contentType, int status)
{
    setRoute(pathAndQuery, WebRoute::page(body, contentType, status));
}

void TestWebServer::setRedirect(const QString &pathAndQuery, const QString &location, int status)
{
    setRoute(pathAndQuery, WebRoute::redirect(location, status));
}

void TestWebServer::removeRoute(const QString &pathAndQuery)
{
    m_routes.remove(routeKey(pathAndQuery));
}

void TestWebServer::clearRoutes()
{
    m_routes.clear();
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
    if (headerEnd < 0) {
        if (buffer.size() > kMaxHeaderBytes) {
            m_pending.erase(it);
            send(socket, {}, WebRoute::page("Header too large\n", "text/plain", 431));
        }
        return;
    }

    WebRequest request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    qint64 bodyLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        request.headers.append(qMakePair(line.left(colon).trimmed(), line.mid(colon + 1).trimmed()));
    }
    bool lengthOk = true;
    const QByteArray lengthText = request.header("Content-Length");
    if (!lengthText.isEmpty())
        bodyLength = lengthText.toLongLong(&lengthOk);
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/") || !lengthOk
        || bodyLength < 0) {
        m_pending.erase(it);
        send(socket, {}, WebRoute::page("Bad Request\n", "text/plain", 400));
        return;
    }
    if (bodyLength > kMaxRequestBody) {
        m_pending.erase(it);
        send(socket, {}, WebRoute::page("Too large\n", "text/plain", 413));
        return;
    }
    if (buffer.size() - (headerEnd + 4) < bodyLength)
        return;  // wait for the rest of the body

    request.method = requestLine.at(0);
    request.target = QString::fromUtf8(requestLine.at(1));
    request.body = buffer.mid(headerEnd + 4, bodyLength);
    const qsizetype q = request.target.indexOf(u'?');
    request.path = QUrl::fromPercentEncoding(request.target.left(q < 0 ? request.target.size() : q).toUtf8());
    if (q >= 0)
        request.query = QUrl::fromPercentEncoding(request.target.mid(q + 1).toUtf8());
    request.received = QDateTime::currentDateTimeUtc();
    request.elapsedMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    m_pending.erase(it);

    m_log.append(request);
    emit requestReceived(request);
    answer(socket, request);
}

void TestWebServer::answer(QTcpSocket *socket, const WebRequest &request)
{
    const WebRoute route = routeFor(request);
    if (route.delayMs <= 0) {
        send(socket, request, route);
        return;
    }
    // The socket is the timer's context: a client that gives up first cancels the answer.
    QTimer::singleShot(route.delayMs, socket, [this, socket, request, route] {
        if (socket->state() == QAbstractSocket::ConnectedState)
            send(socket, request, route);
    });
}

WebRoute TestWebServer::routeFor(const WebRequest &request) const
{
    if (m_handler) {
        if (std::optional<WebRoute> r = m_handler(request))
            return *r;
    }
    const qsizetype q = request.target.indexOf(u'?');
    if (q >= 0) {
        const auto exact = m_routes.constFind(request.path + u'?' + request.query);
        if (exact != m_routes.constEnd())
            return *exact;
    }
    const auto byPath = m_routes.constFind(request.path);
    if (byPath != m_routes.constEnd())
        return *byPath;
    if (std::optional<WebRoute> file = fileRoute(request))
        return *file;
    return notFound();
}

std::optional<WebRoute> TestWebServer::fileRoute(const WebRequest &request) const
{
    if (m_fileRoot.isEmpty() || !request.path.startsWith(u'/'))
        return std::nullopt;
    QString relative = request.path.mid(1);
    if (relative.contains(u'\\') || relative.contains(QChar(0))
        || relative.split(u'/').contains(QStringLiteral("..")))
        return notFound();
    if (relative.isEmpty() || relative.endsWith(u'/'))
        relative += QStringLiteral("index.html");

    const QDir root(m_fileRoot);
    const QString canonicalRoot = root.canonicalPath();
    QStringList candidates;
    if (!request.query.isEmpty())
        candidates << relative + u'?' + request.query;  // a file for one exact query
    candidates << relative;
    for (const QString &candidate : std::as_const(candidates)) {
        const QFileInfo info(root.filePath(candidate));
        if (!info.isFile() || canonicalRoot.isEmpty()
            || !info.canonicalFilePath().startsWith(canonicalRoot + u'/'))
            continue;
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return WebRoute::page("Forbidden\n", "text/plain", 403);
        WebRoute route = WebRoute::page(file.readAll(), contentTypeFor(info.fileName()));

        // Optional "<file>.headers": "Name: value" lines; Status and Delay are instructions.
        QFile sidecar(info.filePath() + QStringLiteral(".headers"));
        if (sidecar.open(QIODevice::ReadOnly)) {
            for (const QByteArray &raw : sidecar.readAll().split('\n')) {
                const QByteArray line = raw.trimmed();
                const qsizetype colon = line.indexOf(':');
                if (line.isEmpty() || line.startsWith('#') || colon <= 0)
                    continue;
                const QByteArray name = line.left(colon).trimmed();
                const QByteArray value = line.mid(colon + 1).trimmed();
                if (name.compare("Status", Qt::CaseInsensitive) == 0)
                    route.status = value.toInt();
                else if (name.compare("Delay", Qt::CaseInsensitive) == 0)
                    route.delayMs = value.toInt();
                else if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
                    route.contentType = value;
                else
                    route.addHeader(name, value);
            }
        }
        return route;
    }
    return std::nullopt;
}

void TestWebServer::send(QTcpSocket *socket, const WebRequest &request, const WebRoute &route)
{
    const bool noBody = request.method == "HEAD" || route.status == 204 || route.status == 304;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' '
        + reasonPhrase(route.status) + "\r\n";
    if (!route.contentType.isEmpty())
        head += "Content-Type: " + route.contentType + "\r\n";
    for (const auto &h : route.headers)
        head += h.first + ": " + h.second + "\r\n";
    if (route.chunked && !noBody)
        head += "Transfer-Encoding: chunked\r\n";
    else
        head += "Content-Length: " + QByteArray::number(noBody ? 0 : route.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    if (noBody) {
        finish(socket);
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

void TestWebServer::finish(QTcpSocket *socket)
{
    // Closes once everything written so far has gone out.
    socket->disconnectFromHost();
}

}  // namespace torvane
