#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: canned answers per path, slow answers, large,
// chunked and cut-off bodies, redirects, and a log of the requests it received.
// Runs in the caller's thread on its event loop; every connection is closed after one answer.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace torvane {

/// One canned answer.
struct WebRoute {
    int status = 200;
    QByteArray body;
    /// Sent as Content-Type unless empty.
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray location;  ///< sent as Location unless empty
    QByteArray setCookie;  ///< sent as Set-Cookie unless empty
    /// The answer starts this many milliseconds after the request arrived (timer driven).
    int delayMs = 0;
    /// Send the body with Transfer-Encoding: chunked in pieces of chunkSize bytes,
    /// chunkIntervalMs apart.
    bool chunked = false;
    int chunkSize = 4096;
    int chunkIntervalMs = 0;
    /// When >= 0: announce the whole body, send only this many bytes of it, then close.
    qint64 closeAfterBytes = -1;
    /// When > 0: instead of body, this many bytes of "x", made as the client reads them.
    qint64 streamBytes = 0;
    /// Send the status line and headers but never the blank line that ends them.
    bool endlessHeaders = false;

    static WebRoute page(const QByteArray &body,
                         const QByteArray &contentType = "text/html; charset=utf-8", int status = 200);
    static WebRoute redirect(const QString &location, int status = 302);
    /// A body of size bytes ("x" repeated), as plain text.
    static WebRoute large(qint64 size);
};

/// One request as the server received it.
struct WebRequest {
    QString target;  ///< path and query as sent ("/db/W1AW?x=1"), still percent-encoded
    QString path;    ///< decoded path without the query
    QByteArray cookie;  ///< the Cookie header's value, empty without one
};

class TestWebServer : public QObject {
    Q_OBJECT

public:
    /// Returns the answer for a request, or nothing to fall through to the static routes.
    using Handler = std::function<std::optional<WebRoute>(const WebRequest &)>;

    explicit TestWebServer(QObject *parent = nullptr);
    ~TestWebServer() override;

    /// Listens on 127.0.0.1; port 0 picks a free one. False when the port is taken.
    bool listen(quint16 port = 0);
    quint16 port() const;
    /// "http://127.0.0.1:<port>", no trailing slash.
    QString baseUrl() const;
    /// Answer for a path, whatever the query; compared after percent-decoding.
    void setRoute(const QString &path, const WebRoute &route);
    void setPage(const QString &path, const QByteArray &body,
                 const QByteArray &contentType = "text/html; charset=utf-8", int status = 200);
    /// Answers to this path (query ignored) wait delayMs more, whatever serves them.
    void setDelay(const QString &path, int delayMs) { m_delays.insert(path, delayMs); }
    /// Consulted before the routes for every request.
    void setHandler(Handler handler);
    /// Requests that match no route are served from this folder (path -> file below it).
    /// Empty: unmatched requests get 404.
    void setFileRoot(const QString &folder);

    /// Every request received so far, oldest first.
    QList<WebRequest> requests() const;
    /// How many requests had this decoded path (query ignored).
    int requestCount(const QString &path) const;
    void clearRequests();
    /// Bytes of streamed bodies handed to the network so far.
    qint64 streamedBytes() const { return m_streamed; }

signals:
    /// A request arrived (before it is answered).
    void requestReceived(const QString &target);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const WebRequest &request);
    WebRoute routeFor(const WebRequest &request) const;
    std::optional<WebRoute> fileRoute(const WebRequest &request) const;
    void send(QTcpSocket *socket, const WebRoute &route);
    void sendChunks(QTcpSocket *socket, QByteArray rest, int chunkSize, int intervalMs, bool terminate);
    void stream(QTcpSocket *socket, qint64 bytes, bool chunked);
    static void finish(QTcpSocket *socket);

    QTcpServer *m_server = nullptr;
    QHash<QTcpSocket *, QByteArray> m_pending;  // bytes of requests not yet complete
    QHash<QString, WebRoute> m_routes;
    Handler m_handler;
    QString m_fileRoot;
    QList<WebRequest> m_log;
    QHash<QString, int> m_delays;
    qint64 m_streamed = 0;
};

}  // namespace torvane
