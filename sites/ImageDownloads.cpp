#include "sites/ImageDownloads.h"

#include "lookup/Fetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace torvane {

ImageDownloads::ImageDownloads(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ucLast15"));
    for (QNetworkAccessManager *&manager : m_network)
        manager = new QNetworkAccessManager(this);
}

void ImageDownloads::DownloadFile(const QString &url, const QString &key)
{
    if (!m_pending.AddPendingKey(key)) {
        // The newer request of a key replaces the older one, which ends without an event.
        if (QNetworkReply *older = m_replies.take(key))
            cancelFetch(older);
    }
    const QNetworkRequest request = makeRequest(QUrl(url));
    QNetworkReply *reply = startFetch(
        m_network[m_started++ % kManagers], request, m_timeLimitMs, this,
        [this, key](const FetchResult &result) {
            if (result.status == FetchResult::Cancelled)
                return;
            if (m_replies.value(key) == result.reply)
                m_replies.remove(key);
            if (result.status == FetchResult::Ok) {
                emit PictureReady(key, result.body);
                m_pending.RemovePendingKey(key);
            } else {
                m_pending.RemovePendingKey(key);
                emit NoImage(key);
            }
        },
        kMaxImageBytes);
    if (!reply) {
        m_pending.RemovePendingKey(key);
        emit NoImage(key);
        return;
    }
    m_replies.insert(key, reply);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, key](qint64 received, qint64 total) {
                emit Progress(key, total > 0 ? total : 0, received);
            });
}

void ImageDownloads::cancelAll()
{
    const auto replies = m_replies;
    m_replies.clear();
    for (const QPointer<QNetworkReply> &reply : replies) {
        if (reply)
            cancelFetch(reply);
    }
    m_pending = PendingKeys();
}

}  // namespace torvane
