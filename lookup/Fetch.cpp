#include "lookup/Fetch.h"

#include "lookup/Logging.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace torvane {

namespace {

constexpr char kCancelledProperty[] = "torvaneCancelled";
constexpr char kTimedOutProperty[] = "torvaneTimedOut";
constexpr char kTooLargeProperty[] = "torvaneTooLarge";

// Aborts a reply when its announced or received size passes the cap.
void capBodySize(QNetworkReply *reply)
{
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply](qint64 received, qint64 total) {
                         if (received > kMaxBodyBytes || total > kMaxBodyBytes) {
                             reply->setProperty(kTooLargeProperty, true);
                             reply->abort();
                         }
                     });
}

FetchResult resultOf(QNetworkReply *reply)
{
    FetchResult result;
    result.reply = reply;
    if (reply->property(kCancelledProperty).toBool()) {
        result.status = FetchResult::Cancelled;
        return result;
    }
    if (reply->property(kTimedOutProperty).toBool()) {
        qCWarning(lcLookup) << "time limit passed:" << reply->url().toString();
        result.status = FetchResult::TimedOut;
        return result;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError || reply->property(kTooLargeProperty).toBool()
        || status < 200 || status >= 300) {
        qCWarning(lcLookup) << "request failed:" << reply->url().toString() << "HTTP" << status
                            << (reply->property(kTooLargeProperty).toBool()
                                    ? QStringLiteral("body too large")
                                    : reply->errorString());
        return result;
    }
    result.body = reply->readAll();
    result.contentType = reply->rawHeader("Content-Type");
    result.status = result.body.size() > kMaxBodyBytes ? FetchResult::Failed : FetchResult::Ok;
    return result;
}

}  // namespace

QNetworkRequest makeRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

bool isWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

QNetworkReply *startFetch(QNetworkAccessManager *manager, const QNetworkRequest &request,
                          int limitMs, QObject *context, FetchDone done)
{
    if (!manager || !isWebAddress(request.url())) {
        qCWarning(lcLookup) << "not a web address:" << request.url().toString();
        return nullptr;
    }
    QNetworkReply *reply = manager->get(request);
    capBodySize(reply);
    if (limitMs > 0) {
        auto *limit = new QTimer(reply);
        limit->setSingleShot(true);
        QObject::connect(limit, &QTimer::timeout, reply, [reply] {
            reply->setProperty(kTimedOutProperty, true);
            reply->abort();
        });
        limit->start(limitMs);
    }
    // The reply goes on every path, whether or not the context still wants the outcome.
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply, done = std::move(done)] { done(resultOf(reply)); });
    return reply;
}

void cancelFetch(QNetworkReply *reply)
{
    if (!reply || reply->isFinished())
        return;
    reply->setProperty(kCancelledProperty, true);
    reply->abort();
}

}  // namespace torvane
