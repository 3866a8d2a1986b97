#pragma once
// Signing in to a call-book: its sign-in page in the embedded browser, whose profile keeps the
// session in the data folder. Every cookie the browser holds for the call-books goes into the
// lookup components' jar, so their requests come from the signed-in operator.

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QLabel;
class QNetworkCookieJar;
class QPushButton;
class QWebEngineProfile;
class QWebEngineView;

namespace torvane {

class SessionCookies;

/// Readies the embedded browser; before the application object is made. Its sandbox cannot
/// run as root: only then is it turned off.
void prepareEmbeddedBrowser();

/// The browser profile of the run: cookies and storage kept in the data folder's session folder.
QWebEngineProfile *sessionProfile(const QString &dataFolder);

/// The sign-in window (objectName "frmSignIn"). Deletes itself when closed.
class SignInWindow : public QWidget {
    Q_OBJECT
public:
    /// hosts: the addresses of the call-books whose cookies go into jar.
    SignInWindow(const QString &dataFolder, const QUrl &signInPage, const QStringList &hosts,
                 SessionCookies *jar, QWidget *parent = nullptr);
    ~SignInWindow() override;

    QWebEngineView *webSignIn = nullptr;
    QPushButton *cmdSignOut = nullptr;
    QLabel *lblAddress = nullptr;

public slots:
    /// Forgets the session everywhere: the browser's cookies, the jar and its file.
    void signOut();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool isCallBookHost(const QString &domain) const;

    QWebEngineProfile *m_profile;
    QStringList m_hosts;
    QPointer<SessionCookies> m_jar;
};

}  // namespace torvane
