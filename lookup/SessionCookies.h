#pragma once
// The operator's sign-ins to the call-books: the cookies a source sets, sent with every request
// of the lookup components, and kept from run to run in a file only the operator can read.

#include <QNetworkCookieJar>
#include <QString>

namespace torvane {

/// The folder of the session files below the data folder (mode 0700).
QString sessionFolder(const QString &dataFolder);

class SessionCookies : public QNetworkCookieJar {
    Q_OBJECT
public:
    /// Reads the cookies kept in folder, if any.
    explicit SessionCookies(const QString &folder, QObject *parent = nullptr);
    /// Writes a change not yet saved.
    ~SessionCookies() override;

    /// Whether a cookie is held for url's host.
    bool holdsCookiesFor(const QUrl &url) const;
    /// Forgets every cookie and deletes the file that kept them.
    void signOut();
    QString filePath() const;

    bool insertCookie(const QNetworkCookie &cookie) override;
    bool deleteCookie(const QNetworkCookie &cookie) override;
    bool setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url) override;

private:
    void scheduleSave();
    void save() const;

    QString m_folder;
    bool m_savePending = false;
};

}  // namespace torvane
