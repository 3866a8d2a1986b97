#include "windows/SignInWindow.h"

#include "lookup/SessionCookies.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QShortcut>
#include <QLabel>
#include <QNetworkCookie>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <unistd.h>

namespace torvane {

void prepareEmbeddedBrowser()
{
    // The browser shares the windows' OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

QWebEngineProfile *sessionProfile(const QString &dataFolder)
{
    static QPointer<QWebEngineProfile> profile;
    if (profile)
        return profile;
    const QString folder = sessionFolder(dataFolder);
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    profile = new QWebEngineProfile(QStringLiteral("Torvane"), qApp);
    profile->setPersistentStoragePath(folder + QStringLiteral("/browser"));
    profile->setCachePath(folder + QStringLiteral("/browser-cache"));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
    return profile;
}

SignInWindow::SignInWindow(const QString &dataFolder, const QUrl &signInPage, const QStringList &hosts,
                           SessionCookies *jar, QWidget *parent)
    : QWidget(parent, Qt::Window), m_profile(sessionProfile(dataFolder)), m_jar(jar)
{
    setObjectName(QStringLiteral("frmSignIn"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Torvane"));
    for (const QString &host : hosts)
        m_hosts << QUrl(host).host().toLower();

    lblAddress = new QLabel(signInPage.toString(), this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    cmdSignOut = new QPushButton(QStringLiteral("Sign out"), this);
    cmdSignOut->setObjectName(QStringLiteral("cmdSignOut"));
    connect(cmdSignOut, &QPushButton::clicked, this, &SignInWindow::signOut);
    webSignIn = new QWebEngineView(this);
    webSignIn->setObjectName(QStringLiteral("webSignIn"));
    webSignIn->setPage(new QWebEnginePage(m_profile, webSignIn));

    auto *bar = new QHBoxLayout;
    bar->addWidget(lblAddress, 1);
    bar->addWidget(cmdSignOut);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(webSignIn, 1);
    resize(900, 700);
    // Escape closes the window also while the browser, which keeps its keys, has the focus.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    // The call-books' cookies, those the browser kept from earlier runs first.
    QWebEngineCookieStore *store = m_profile->cookieStore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this, [this](const QNetworkCookie &cookie) {
        if (m_jar && isCallBookHost(cookie.domain()))
            m_jar->insertCookie(cookie);
    });
    connect(store, &QWebEngineCookieStore::cookieRemoved, this, [this](const QNetworkCookie &cookie) {
        if (m_jar && isCallBookHost(cookie.domain()))
            m_jar->deleteCookie(cookie);
    });
    store->loadAllCookies();
    webSignIn->setUrl(signInPage);
}

SignInWindow::~SignInWindow()
{
    // The page goes before the profile it uses.
    delete webSignIn;
}

bool SignInWindow::isCallBookHost(const QString &domain) const
{
    const QString host = domain.startsWith(u'.') ? domain.mid(1).toLower() : domain.toLower();
    for (const QString &known : m_hosts) {
        if (known == host || known.endsWith(u'.' + host))
            return true;
    }
    return false;
}

void SignInWindow::signOut()
{
    m_profile->cookieStore()->deleteAllCookies();
    if (m_jar)
        m_jar->signOut();
    webSignIn->reload();
}

void SignInWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

}  // namespace torvane
