// The data folder: shipped files installed on a first start, Torvane.cfg, the host table, the
// map list, and the lock that keeps a second instance out.

#include "core/ConfigFile.h"
#include "core/DataFolder.h"
#include "core/HostTable.h"
#include "core/InstanceLock.h"

#include <QtTest>

using namespace torvane;

namespace {

// Writes `bytes` to `path`, creating its folder; returns the path.
QString writeFile(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
// A Torvane.cfg of `line` lines: "0" up to the last, which is `value`.
QByteArray upTo(int line, const QByteArray &value)
{
    return QByteArray("0\r\n").repeated(line - 1) + value + "\r\n";
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
        writeFile(shipped.filePath("Torvane.cfg"), "shipped");
        writeFile(shipped.filePath("Maps/World Map.jpg"));
        const QString folder = home.filePath("Torvane");
        if (existing)
            writeFile(folder + "/Torvane.cfg", "mine");
        QVERIFY(torvane::installShippedData(shipped.path(), folder));
        QCOMPARE(contents(folder + "/Torvane.cfg"), existing ? QByteArray("mine") : QByteArray("shipped"));
        QCOMPARE(contents(folder + "/Maps/World Map.jpg"), existing ? "<missing>" : "x");
    }

    // Each row: file content and the expected value of the setting it touches.
    void readConfig_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("empty file gives eHam") << QByteArray() << "DefaultSource" << QVariant(0);
        QTest::newRow("source just past 16 bits") << upTo(3, "32768") << "DefaultSource" << QVariant(0);
        QTest::newRow("minimised left edge") << upTo(4, "-32000") << "WindowLeft" << QVariant(0);
        QTest::newRow("miles 5 reads as 1") << upTo(6, "5") << "UseMiles" << QVariant(1);
        QTest::newRow("width past 32 bits unchanged") << upTo(8, "9999999999") << "WindowWidth"
                                                      << QVariant(ProgramValues().WindowWidth);
        QTest::newRow("own call whole line") << upTo(10, " 12 G4XYZ ") << "OwnCall" << QVariant(" 12 G4XYZ ");
        QTest::newRow("lookup mode 2 is web") << upTo(12, "2") << "WebMode" << QVariant(true);
        QTest::newRow("unix line ends") << QByteArray("1.5\n2.5\n3\n") << "DefaultSource" << QVariant(3);
    }
    void readConfig()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(readConfigFile(writeFile(dir.filePath("Torvane.cfg"), bytes), v));
        const QHash<QString, QVariant> actual = {
            {"DefaultSource", int(v.DefaultSource)}, {"WindowLeft", v.WindowLeft}, {"UseMiles", int(v.UseMiles)},
            {"WindowWidth", v.WindowWidth}, {"OwnCall", v.OwnCall}, {"WebMode", v.WebMode}};
        QCOMPARE(actual.value(field, "<no such field>"), expected);
    }

    // No setting at its default, positions to the last digit and without exponent, and a history
    // longer than 8: read and written back byte for byte.
    void configRoundTrip()
    {
        QByteArray bytes("41.714285714285715\r\n-0.00001\r\n1\r\n15\r\n9\r\n1\r\n3\r\n78\r\n1\r\nK1ABC\r\n1\r\n0\r\n");
        for (int i = 0; i < 9; ++i)
            bytes += "K" + QByteArray::number(i) + "\xD8" "A\r\n";
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(readConfigFile(writeFile(dir.filePath("Torvane.cfg"), bytes), v));
        QCOMPARE(v.CallHistory.last(), QStringLiteral("K8\u00D8A"));
        QCOMPARE(configFileBytes(v, {15, 9, 78}), bytes);
    }

    void configFileErrors()
    {
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(!readConfigFile(dir.filePath("none.cfg"), v));
        // A folder where the file should be: the write cannot replace it and says why.
        QVERIFY(QDir(dir.path()).mkdir("Torvane.cfg"));
        QVERIFY(!writeConfigFile(dir.filePath("Torvane.cfg"), v, {}).isEmpty());
    }

    void hostTable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("override: blanks, CR LF, final slash") << " qrz = http://h:8/ \r\n" << "qrz" << "http://h:8";
        QTest::newRow("comment line ignored") << "#qrz=http://x\n" << "qrz" << HostTable().host("qrz");
        QTest::newRow("line without =") << "maker\n" << "maker" << "";
    }
    void hostTable()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(HostTable::fromText(text).host(name), expected);
    }

    // Files named "<name> Map.<3 letters>", listed without regard to case; no folders.
    void mapList()
    {
        QTemporaryDir home;
        for (const char *name : {"World Map.jpg", "Europe map.jpg", "UK Map.jpeg", "asia Map.bmp", "Map.jpg"})
            writeFile(home.filePath(QStringLiteral("Maps/") + QString::fromUtf8(name)));
        QDir().mkpath(home.filePath("Maps/Old Map.dir"));
        const QStringList expected = {"asia Map.bmp", "Map.jpg", "World Map.jpg"};
        QCOMPARE(listMapFiles(home.path()), expected);
    }

    void instanceLock()
    {
        QTemporaryDir run;
        const QString path = run.filePath("Torvane.lock");
        // A lock file as a crashed run leaves it: a process id that no longer exists.
        writeFile(path, "2147483000\ntorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        InstanceLock first(path);
        QVERIFY(first.acquire());
        InstanceLock second(path);
        QVERIFY(!second.acquire() && second.heldByAnother());
        InstanceLock unwritable(run.filePath("gone/Torvane.lock"));
        QVERIFY(!unwritable.acquire() && !unwritable.heldByAnother());
        QVERIFY(unwritable.problem().endsWith(QStringLiteral("the folder does not exist")));
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
