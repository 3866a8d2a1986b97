#include "core/DataFolder.h"
#include "core/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace torvane;

namespace {
void touch(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
}  // namespace

class TestDataFolder : public QObject {
    Q_OBJECT
private slots:
    // A first start copies the shipped files; a folder that exists is never touched.
    void installShippedData_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("first start") << false;
        QTest::newRow("existing folder") << true;
    }
    void installShippedData()
    {
        QFETCH(bool, existing);
        QTemporaryDir shipped, home;
        touch(shipped.filePath("Torvane.cfg"), "shipped");
        touch(shipped.filePath("Maps/World Map.jpg"));
        const QString folder = home.filePath("Torvane");
        if (existing)
            touch(folder + "/Torvane.cfg", "mine");
        QVERIFY(torvane::installShippedData(shipped.path(), folder));
        QCOMPARE(contents(folder + "/Torvane.cfg"), existing ? QByteArray("mine") : QByteArray("shipped"));
        QCOMPARE(contents(folder + "/Maps/World Map.jpg"), existing ? "<missing>" : "x");
    }

    void pictureFoldersAreCreated()
    {
        QTemporaryDir home;
        createPictureFolders(home.path());
        QVERIFY(QFileInfo(home.filePath("images")).isDir());
        QVERIFY(QFileInfo(pictureCacheFolder(home.path())).isDir());
    }

    void mapList()
    {
        QTemporaryDir home;
        for (const char *name : {"World Map.jpg", "Europe map.jpg", "UK Map.jpeg", "Asia Map.bmp",
                                 "Notes.txt", "Map.jpg", "N-Nederland Map.jpg"})
            touch(home.filePath(QStringLiteral("Maps/") + QString::fromUtf8(name)));
        QDir().mkpath(home.filePath("Maps/Old Map.dir"));
        const QStringList expected = {"Asia Map.bmp", "Map.jpg", "N-Nederland Map.jpg", "World Map.jpg"};
        QCOMPARE(listMapFiles(home.path()), expected);
        QVERIFY(listMapFiles(home.filePath("missing")).isEmpty());
    }

    void instanceLock()
    {
        QTemporaryDir run;
        const QString path = run.filePath("Torvane.lock");
        // A lock file as a crashed run leaves it: a process id that no longer exists.
        touch(path, "2147483000\ntorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        InstanceLock first(path);
        QVERIFY(first.acquire());
        InstanceLock second(path);
        QVERIFY(!second.acquire());
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
