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
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
}  // namespace

class TestDataFolder : public QObject {
    Q_OBJECT
private slots:
    void firstStartCopiesShippedData()
    {
        QTemporaryDir shipped, home;
        touch(shipped.filePath("Torvane.cfg"), "shipped");
        touch(shipped.filePath("Maps/World Map.jpg"));
        const QString folder = home.filePath("Torvane");
        QVERIFY(installShippedData(shipped.path(), folder));
        QCOMPARE(contents(folder + "/Torvane.cfg"), QByteArray("shipped"));
        QVERIFY(QFile::exists(folder + "/Maps/World Map.jpg"));
    }

    void existingFolderIsNeverOverwritten()
    {
        QTemporaryDir shipped, home;
        touch(shipped.filePath("Torvane.cfg"), "shipped");
        touch(shipped.filePath("Hosts.cfg"), "shipped");
        const QString folder = home.filePath("Torvane");
        touch(folder + "/Torvane.cfg", "mine");
        QVERIFY(installShippedData(shipped.path(), folder));
        QCOMPARE(contents(folder + "/Torvane.cfg"), QByteArray("mine"));
        QVERIFY(!QFile::exists(folder + "/Hosts.cfg"));
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

    void secondInstanceIsRefused()
    {
        QTemporaryDir run;
        const QString path = run.filePath("Torvane.lock");
        InstanceLock first(path);
        QVERIFY(first.acquire());
        InstanceLock second(path);
        QVERIFY(!second.acquire());
    }

    void lockOfDeadProcessIsTakenOver()
    {
        QTemporaryDir run;
        const QString path = run.filePath("Torvane.lock");
        // A lock file as a crashed run leaves it: a process id that no longer exists.
        touch(path, "2147483000\ntorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        InstanceLock lock(path);
        QVERIFY(lock.acquire());
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
