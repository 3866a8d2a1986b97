#pragma once
// Downloads that never wait: each started request ends in exactly one callback, within its
// time limit, with its body capped in size. Only http and https addresses are requested.

#include <QByteArray>
#include <QNetworkRequest>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;

namespace torvane {

/// Largest body any request accepts (bytes); a longer answer is a failure.
inline constexpr qint64 kMaxBodyBytes = 8 * 1024 * 1024;
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
/// the result is nullptr and done never runs.
QNetworkReply *startFetch(QNetworkAccessManager *manager, const QNetworkRequest &request,
                          int limitMs, QObject *context, FetchDone done);

/// Aborts a reply of startFetch that has not finished; its callback sees Cancelled.
void cancelFetch(QNetworkReply *reply);

}  // namespace torvane
