#pragma once
// The downloads of a viewer: many pictures at once, each known by a key, each a fresh copy
// from the server, each ended within a time limit with exactly one event.

#include "sites/LastImages.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class QNetworkReply;

namespace torvane {

/// Downloads keyed by text (objectName "ucLast15" on the viewer).
class ImageDownloads : public QObject {
    Q_OBJECT
public:
    /// Time a picture may take from request to complete body (ms).
    static constexpr int kImageTimeLimitMs = 60000;
    /// Largest picture accepted (bytes).
    static constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

    explicit ImageDownloads(QObject *parent = nullptr);

    /// Starts the download of url known as key; an earlier download of the same key is
    /// cancelled first. An address that cannot be requested ends at once with NoImage.
    void DownloadFile(const QString &url, const QString &key);
    /// Cancels every download under way; none of them raises an event.
    void cancelAll();

    bool isPending(const QString &key) const { return m_pending.isPending(key); }
    int downloadsUnderWay() const { return int(m_replies.size()); }
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }

signals:
    /// The download key finished; its bytes are in picture. Still pending while raised.
    void PictureReady(const QString &key, const QByteArray &picture);
    /// The download key failed or timed out; no longer pending.
    void NoImage(const QString &key);
    /// bytesMax is 0 while the size is not known.
    void Progress(const QString &key, qint64 bytesMax, qint64 bytesDone);

private:
    /// A manager opens at most six connections to a host; five of them let all 30 pictures of
    /// a site load at once.
    static constexpr int kManagers = 5;
    QNetworkAccessManager *m_network[kManagers] = {};
    int m_started = 0;
    PendingKeys m_pending;
    QHash<QString, QPointer<QNetworkReply>> m_replies;
    int m_timeLimitMs = kImageTimeLimitMs;
};

}  // namespace torvane
