// Signing in to a call-book in the embedded browser under X, against a local source whose site
// page greets only a request that carries the session cookie its sign-in page sets: the lookup
// component's requests carry it, a restart keeps it, signing out removes it, and the files
// that hold it are the operator's alone.

#include "core/HostTable.h"
#include "lookup/LookupControl.h"
#include "lookup/SessionCookies.h"
#include "support/BrowserTestMain.h"
#include "support/TestWebServer.h"
#include "windows/SignInWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace torvane;

class TestSignIn : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    TestWebServer m_server;
    HostTable m_hosts;

    static int modeOf(const QString &path)
    {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777) : -1;
    }

    // What the site page makes of a lookup component that sends jar's cookies.
    bool loggedInWith(SessionCookies *jar)
    {
        ProgramValues values;
        values.Cookies = jar;
        values.CurrentSource = 1;
        LookupControl lookUp(values, m_hosts);
        lookUp.setDatabase(2);
        QSignalSpy site(&lookUp, &LookupControl::GotSite);
        lookUp.GetSite();
        return site.wait(10000) && site.at(0).at(1).toBool();
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X display (test.sh runs the tests under Xvfb)");
        QVERIFY(m_server.listen());
        m_server.setHandler([](const WebRequest &request) -> std::optional<WebRoute> {
            if (request.path == "/qrz/login") {
                WebRoute route = WebRoute::page("<html><body>Welcome</body></html>");
                route.setCookie = "session=member; Path=/; HttpOnly";
                return route;
            }
            if (request.path == "/qrz/")
                return WebRoute::page(request.cookie.contains("session=member") ? "QRZ Logout" : "QRZ Login");
            return std::nullopt;
        });
        m_hosts.setHost("qrz", m_server.baseUrl() + "/qrz");
    }

    void signInRestartSignOut()
    {
        const QString folder = sessionFolder(m_home.path());
        auto jar = std::make_unique<SessionCookies>(folder);
        QVERIFY(!loggedInWith(jar.get()));

        auto *window = new SignInWindow(m_home.path(), QUrl(m_server.baseUrl() + "/qrz/login"),
                                        {m_server.baseUrl() + "/qrz"}, jar.get());
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT(jar->holdsCookiesFor(QUrl(m_server.baseUrl() + "/qrz/")), 30000);
        QVERIFY(loggedInWith(jar.get()));
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(modeOf(jar->filePath()), 0600);

        // The next run reads the session before its first request.
        auto restarted = std::make_unique<SessionCookies>(folder);
        QVERIFY(loggedInWith(restarted.get()));

        window->cmdSignOut->click();
        QVERIFY(!jar->holdsCookiesFor(QUrl(m_server.baseUrl() + "/qrz/")));
        QVERIFY(!QFile::exists(jar->filePath()));
        QVERIFY(!loggedInWith(jar.get()));
        window->close();
        QVERIFY(!loggedInWith(std::make_unique<SessionCookies>(folder).get()));
    }
};

TORVANE_BROWSER_TEST_MAIN(TestSignIn)

#include "tst_signin.moc"
