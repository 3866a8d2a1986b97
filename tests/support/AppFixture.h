#pragma once
// For the main window's tests: a data folder under a temporary home whose sources, picture
// host, geocoder and maker's site are all on a local test server, and the window started on it.
// Header only; link torvane_app and torvane_testsupport.

#include "app/MainWindow.h"
#include "support/TestWebServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace torvane {

class AppFixture {
public:
    TestWebServer server;

    /// Torvane.cfg: own station PA3XYZ at 52.1 N 5.1 E, English, the smallest window, plain
    /// zeros, no history, then source (0-4) and web (true) or local lookups.
    static QByteArray config(int source = 0, bool web = true)
    {
        return "52.1\r\n5.1\r\n" + QByteArray::number(source) + "\r\n0\r\n0\r\n0\r\n0\r\n5200\r\n0\r\nPA3XYZ\r\n1\r\n"
               + (web ? "1" : "0") + "\r\n";
    }

    /// Points XDG_DATA_HOME at the temporary home and starts the server: from initTestCase.
    bool begin()
    {
        qputenv("XDG_DATA_HOME", m_home.path().toLocal8Bit());
        return m_home.isValid() && server.listen();
    }

    QString folder() const { return m_home.filePath(QStringLiteral("Torvane")); }
    QString path(const QString &name) const { return folder() + u'/' + name; }

    /// A fresh data folder: the shipped languages, maps and zip table, this Torvane.cfg, and a
    /// Hosts.cfg with source i (0-4) under /src<i> of the server and the other hosts at its root.
    void prepare(const QByteArray &cfg = config())
    {
        QDir(folder()).removeRecursively();
        const QString data = QStringLiteral(TORVANE_SOURCE_DIR "/data/");
        for (const QString sub : {QStringLiteral("Languages"), QStringLiteral("Maps")}) {
            QDir().mkpath(path(sub));
            for (const QString &file : QDir(data + sub).entryList(QDir::Files))
                QFile::copy(data + sub + u'/' + file, path(sub + u'/' + file));
        }
        QFile::copy(data + QStringLiteral("ZIPS.RAN"), path(QStringLiteral("ZIPS.RAN")));
        const QByteArray base = server.baseUrl().toUtf8();
        QByteArray hosts;
        const char *names[] = {"eham", "qrz", "qrzcq", "callook", "hamcall", "qrzpictures", "geocoder", "maker"};
        for (int i = 0; i < 8; ++i)
            hosts += QByteArray(names[i]) + '=' + base + (i < 5 ? "/src" + QByteArray::number(i) : QByteArray()) + "\r\n";
        write(QStringLiteral("Hosts.cfg"), hosts);
        write(QStringLiteral("Torvane.cfg"), cfg);
        server.clearRequests();
    }

    /// Writes a file of the data folder, making its folder when needed.
    void write(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile file(path(name));
        QVERIFY2(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), qPrintable(name));
    }

    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_home;
};

/// The window on the prepared data folder, started: the source answered, Timer3's lookup ran out.
struct StartedWindow {
    ProgramValues values;
    MainWindow form{values};
    StartedWindow()
    {
        form.startUp();
        QVERIFY(QTest::qWaitFor([this] { return form.lblStatus->text() != form.item(33) && !form.Timer3->isActive(); },
                                5000));
    }
};

}  // namespace torvane
