#include "core/ConfigFile.h"
#include "core/HostTable.h"
#include "core/TextUtil.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace torvane;

namespace {

QString writeBytes(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("Torvane.cfg"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

}  // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void missingFileLeavesDefaults()
    {
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(!readConfigFile(dir.filePath(QStringLiteral("none.cfg")), v));
        QCOMPARE(v.DefaultSource, int16_t(0));
        QCOMPARE(v.WindowWidth, 5200);
    }

    // Each row: file content and the expected values of the settings it touches.
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("empty file gives eHam") << QByteArray() << "DefaultSource" << QVariant(0);
        QTest::newRow("two lines set the position") << QByteArray("51.5\r\n-0.125\r\n") << "OwnLongitude" << QVariant(-0.125);
        QTest::newRow("two lines keep the source") << QByteArray("51.5\r\n-0.125\r\n") << "DefaultSource" << QVariant(0);
        QTest::newRow("source 7 kept") << QByteArray("0\r\n0\r\n7\r\n") << "DefaultSource" << QVariant(7);
        QTest::newRow("source out of 16-bit range") << QByteArray("0\r\n0\r\n70000\r\n") << "DefaultSource" << QVariant(0);
        QTest::newRow("minimised left edge") << QByteArray("0\r\n0\r\n0\r\n-32000\r\n") << "WindowLeft" << QVariant(0);
        QTest::newRow("negative top") << QByteArray("0\r\n0\r\n0\r\n0\r\n-15\r\n") << "WindowTop" << QVariant(0);
        QTest::newRow("miles 5 reads as 1") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n5\r\n") << "UseMiles" << QVariant(1);
        QTest::newRow("miles -3 kept") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n-3\r\n") << "UseMiles" << QVariant(-3);
        QTest::newRow("language half to even") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n2.5\r\n") << "LanguageIndex" << QVariant(2);
        QTest::newRow("narrow width read as stored") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n3000\r\n") << "WindowWidth" << QVariant(3000);
        QTest::newRow("width beyond 32 bits unchanged") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n9999999999\r\n") << "WindowWidth" << QVariant(5200);
        QTest::newRow("own call whole line") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n 12 G4XYZ \r\n") << "OwnCall" << QVariant(" 12 G4XYZ ");
        QTest::newRow("lookup mode 0 is local") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n0\r\n0\r\n") << "WebMode" << QVariant(false);
        QTest::newRow("lookup mode 2 is web") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n0\r\n2\r\n") << "WebMode" << QVariant(true);
        QTest::newRow("unix line ends") << QByteArray("1.5\n2.5\n3\n") << "DefaultSource" << QVariant(3);
        QTest::newRow("garbage line keeps value") << QByteArray("0\r\n0\r\n0\r\n0\r\n0\r\n0\r\nxyz\r\n") << "LanguageIndex" << QVariant(0);
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QVariant, expected);
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(readConfigFile(writeBytes(dir, bytes), v));
        const QHash<QString, QVariant> actual = {
            {"DefaultSource", int(v.DefaultSource)}, {"OwnLongitude", v.OwnLongitude},
            {"WindowLeft", v.WindowLeft}, {"WindowTop", v.WindowTop}, {"UseMiles", int(v.UseMiles)},
            {"LanguageIndex", int(v.LanguageIndex)}, {"WindowWidth", v.WindowWidth},
            {"OwnCall", v.OwnCall}, {"WebMode", v.WebMode}};
        QVERIFY(actual.contains(field));
        QCOMPARE(actual.value(field), expected);
    }

    void windowsFileWithSlashedZeroHistory()
    {
        QByteArray bytes("42.1\r\n-71.5\r\n1\r\n1500\r\n900\r\n1\r\n3\r\n7800\r\n1\r\nK1ABC\r\n0\r\n1\r\n");
        bytes += "K" + QByteArray(1, char(216)) + "ABC\r\nG4XYZ\r\n";
        for (int i = 0; i < 18; ++i)
            bytes += "W" + QByteArray::number(i) + "AA\r\n";
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(readConfigFile(writeBytes(dir, bytes), v));
        QCOMPARE(v.CallHistory.size(), 20);
        QCOMPARE(v.CallHistory.first(), QStringLiteral("K\u00D8ABC"));
        QCOMPARE(v.OwnCall, QStringLiteral("K1ABC"));
        QCOMPARE(v.WindowWidth, 7800);
        QCOMPARE(v.AlwaysOnTop, int16_t(1));
        // Written back byte for byte.
        QCOMPARE(configFileBytes(v, {1500, 900, 7800}), bytes);
    }

    void writeThenReadGivesBackEveryValue()
    {
        ProgramValues v;
        v.OwnLatitude = 52.37403;
        v.OwnLongitude = -4.88969;
        v.DefaultSource = 3;
        v.UseMiles = 1;
        v.LanguageIndex = 6;
        v.AlwaysOnTop = 1;
        v.OwnCall = QStringLiteral("PA\u00D8XYZ");
        v.PlainZero = 1;
        v.WebMode = false;
        v.CallHistory = {QStringLiteral("K1ABC"), QStringLiteral("DL\u00D8AA")};
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Torvane.cfg"));
        QVERIFY(writeConfigFile(path, v, {300, 450, 10400}).isEmpty());
        ProgramValues back;
        QVERIFY(readConfigFile(path, back));
        QCOMPARE(back.OwnLatitude, v.OwnLatitude);
        QCOMPARE(back.OwnLongitude, v.OwnLongitude);
        QCOMPARE(back.DefaultSource, v.DefaultSource);
        QCOMPARE(back.WindowLeft, 300);
        QCOMPARE(back.WindowTop, 450);
        QCOMPARE(back.WindowWidth, 10400);
        QCOMPARE(back.UseMiles, v.UseMiles);
        QCOMPARE(back.LanguageIndex, v.LanguageIndex);
        QCOMPARE(back.AlwaysOnTop, v.AlwaysOnTop);
        QCOMPARE(back.OwnCall, v.OwnCall);
        QCOMPARE(back.PlainZero, v.PlainZero);
        QCOMPARE(back.WebMode, v.WebMode);
        QCOMPARE(back.CallHistory, v.CallHistory);
    }

    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = writeBytes(dir, "1\r\n2\r\n");
        // A folder where the file should be: the write cannot replace it, and nothing is lost.
        const QString blocked = dir.filePath(QStringLiteral("blocked"));
        QDir().mkpath(blocked + QStringLiteral("/Torvane.cfg"));
        QVERIFY(!writeConfigFile(blocked + QStringLiteral("/Torvane.cfg"), ProgramValues{}, {}).isEmpty());
        QVERIFY(!writeConfigFile(dir.filePath(QStringLiteral("no/such/folder/Torvane.cfg")), ProgramValues{}, {}).isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("1\r\n2\r\n"));
    }

    void hostTable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("built-in when absent") << "" << "qrz" << "https://www.qrz.com";
        QTest::newRow("override with CR LF") << "# test\r\nqrz=http://127.0.0.1:8080/\r\n" << "qrz" << "http://127.0.0.1:8080";
        QTest::newRow("blanks around") << "  eham = http://127.0.0.1:1  \n" << "eham" << "http://127.0.0.1:1";
        QTest::newRow("comment line ignored") << "#qrz=http://x\n" << "qrz" << "https://www.qrz.com";
        QTest::newRow("no maker by default") << "" << "maker" << "";
        QTest::newRow("line without =") << "maker\n" << "maker" << "";
    }
    void hostTable()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(HostTable::fromText(text).host(name), expected);
    }

    void sourceTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::newRow("eHam") << 0 << "eHam.net" << "http://h/";
        QTest::newRow("QRZ db path") << 1 << "QRZ.com" << "http://h/db/";
        QTest::newRow("Callook upper case") << 3 << "CALLOOK.info" << "http://h/";
        QTest::newRow("unknown index") << 7 << "" << "";
        QTest::newRow("negative index") << -1 << "" << "";
    }
    void sourceTable()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QString, url);
        const HostTable hosts = HostTable::fromText(
            QStringLiteral("eham=http://h\nqrz=http://h\ncallook=http://h\n"));
        const SourceInfo info = sourceInfo(index, hosts);
        QCOMPARE(info.name, name);
        QCOMPARE(info.url, url);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
