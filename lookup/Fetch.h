#pragma once
// Downloads that never wait: each started request ends in exactly one callback, within its
// time limit, with its body capped in size. Only http and https addresses are requested.
// And a page's bytes as text, by the charset that its header or its markup declares.

#include <QByteArray>
#include <QByteArrayView>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;

namespace torvane {

/// Largest body a request accepts unless it sets its own cap (bytes); a longer answer is a
/// failure.
inline constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;
/// Largest page a page load accepts (bytes): HTML to text of a longer one costs too much time
/// and memory.
inline constexpr qint64 kMaxPageBytes = 2 * 1024 * 1024;
/// Time a page load may take from request to complete body (ms).
inline constexpr int kPageTimeLimitMs = 10000;
/// Time a background download may go without receiving anything (ms).
inline constexpr int kBackgroundStallLimitMs = 30000;
/// Time a background download may take from request to complete body (ms): a host that drips
/// a few bytes now and then must not hold a connection for ever.
inline constexpr int kBackgroundTimeLimitMs = 120000;

/// A GET with a forced reload, redirects followed as long as they stay as safe (https is not
/// left for http), at most 10 of them.
QNetworkRequest makeRequest(const QUrl &url);

/// True for an absolute http or https address with a host.
bool isWebAddress(const QUrl &url);

/// Outcome of one download.
struct FetchResult {
    enum Status {
        Ok,         ///< the whole body arrived with a success status
        Failed,     ///< network or HTTP error, body over the size cap, transfer stalled
        TimedOut,   ///< the time limit passed first
        Cancelled,  ///< aborted with cancelFetch
    };
    Status status = Failed;
    QByteArray body;         ///< only for Ok
    QByteArray contentType;  ///< the Content-Type header value as sent
    QNetworkReply *reply = nullptr;  ///< the finished reply, deleted after the callback
};

using FetchDone = std::function<void(const FetchResult &)>;

/// Starts request and returns its reply; done runs once from the event loop when it ends,
/// never from inside this call. limitMs (> 0) bounds the whole transfer. done does not run
/// when context is destroyed first. A request whose address is not a web address is not sent:
/// the result is nullptr and done never runs. A body longer than maxBytes is a failure.
QNetworkReply *startFetch(QNetworkAccessManager *manager, const QNetworkRequest &request,
                          int limitMs, QObject *context, FetchDone done,
                          qint64 maxBytes = kMaxBodyBytes);

/// Aborts a reply of startFetch that has not finished; its callback sees Cancelled.
void cancelFetch(QNetworkReply *reply);

/// The charset label that markup declares in a <meta charset> or http-equiv content value
/// near its start (the first 4 KB), lower case; empty when there is none.
QByteArray declaredCharset(QByteArrayView markup);

/// The charset parameter of a Content-Type header value, lower case; empty when absent.
QByteArray contentTypeCharset(QByteArrayView contentType);

/// Page bytes as text. The encoding is taken from a byte-order mark, else from the charset of
/// the Content-Type header value (may be empty), else from the page's own <meta> declaration,
/// else UTF-8 when the bytes are valid UTF-8, else Windows-1252. Labels of Latin-1 and ASCII
/// mean Windows-1252, as browsers read them; an unknown label is passed over.
QString decodePageBytes(const QByteArray &bytes, QByteArrayView contentType = {});

/// What a page load makes of the body it received: the bytes decoded as decodePageBytes
/// decodes them, then HTML to text, the text the page readers read.
QString pageText(const QByteArray &bytes, QByteArrayView contentType = {});

}  // namespace torvane
