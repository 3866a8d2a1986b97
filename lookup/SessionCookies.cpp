#include "lookup/SessionCookies.h"

#include "core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QNetworkCookie>
#include <QTimer>

#include <utility>

namespace torvane {

namespace {
const QString kCookieFile = QStringLiteral("Cookies.txt");
}

QString sessionFolder(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/Session");
}

SessionCookies::SessionCookies(const QString &folder, QObject *parent)
    : QNetworkCookieJar(parent), m_folder(folder)
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    QList<QNetworkCookie> cookies;
    for (const QByteArray &line : file.readAll().split('\n'))
        cookies += QNetworkCookie::parseCookies(line);
    setAllCookies(cookies);
}

SessionCookies::~SessionCookies()
{
    if (m_savePending)
        save();
}

QString SessionCookies::filePath() const
{
    return m_folder + u'/' + kCookieFile;
}

bool SessionCookies::holdsCookiesFor(const QUrl &url) const
{
    return !cookiesForUrl(url).isEmpty();
}

void SessionCookies::signOut()
{
    setAllCookies({});
    m_savePending = false;
    QFile::remove(filePath());
}

bool SessionCookies::insertCookie(const QNetworkCookie &cookie)
{
    const bool inserted = QNetworkCookieJar::insertCookie(cookie);
    if (inserted)
        scheduleSave();
    return inserted;
}

bool SessionCookies::deleteCookie(const QNetworkCookie &cookie)
{
    const bool deleted = QNetworkCookieJar::deleteCookie(cookie);
    if (deleted)
        scheduleSave();
    return deleted;
}

bool SessionCookies::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    const bool changed = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    if (changed)
        scheduleSave();
    return changed;
}

void SessionCookies::scheduleSave()
{
    // One answer sets, replaces and deletes cookies one by one: the file is written once, when
    // the answer has been taken in.
    if (std::exchange(m_savePending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        if (std::exchange(m_savePending, false))
            save();
    });
}

void SessionCookies::save() const
{
    // The folder admits the operator alone, so the file is never readable by others, not even
    // for the moment between its writing and its mode being set.
    QDir().mkpath(m_folder);
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QByteArray lines;
    for (const QNetworkCookie &cookie : allCookies())
        lines += cookie.toRawForm(QNetworkCookie::Full) + '\n';
    if (writeWholeFile(filePath(), lines).isEmpty())
        QFile::setPermissions(filePath(), QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace torvane
