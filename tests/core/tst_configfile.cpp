#include "core/ConfigFile.h"
#include "core/HostTable.h"

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

// A file of `line` lines: "0" up to the last, which is `value`.
QByteArray upTo(int line, const QByteArray &value)
{
    return QByteArray("0\r\n").repeated(line - 1) + value + "\r\n";
}

}  // namespace

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    // Each row: file content and the expected value of the setting it touches.
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("empty file gives eHam") << QByteArray() << "DefaultSource" << QVariant(0);
        QTest::newRow("two lines set the position") << QByteArray("51.5\r\n-0.125\r\n") << "OwnLongitude" << QVariant(-0.125);
        QTest::newRow("source 7 kept") << upTo(3, "7") << "DefaultSource" << QVariant(7);
        QTest::newRow("source just past 16 bits") << upTo(3, "32768") << "DefaultSource" << QVariant(0);
        QTest::newRow("minimised left edge") << upTo(4, "-32000") << "WindowLeft" << QVariant(0);
        QTest::newRow("negative top") << upTo(5, "-15") << "WindowTop" << QVariant(0);
        QTest::newRow("miles 5 reads as 1") << upTo(6, "5") << "UseMiles" << QVariant(1);
        QTest::newRow("miles -3 kept") << upTo(6, "-3") << "UseMiles" << QVariant(-3);
        QTest::newRow("language half to even") << upTo(7, "2.5") << "LanguageIndex" << QVariant(2);
        QTest::newRow("garbage line keeps value") << upTo(7, "xyz") << "LanguageIndex" << QVariant(0);
        QTest::newRow("narrow width read as stored") << upTo(8, "3000") << "WindowWidth" << QVariant(3000);
        QTest::newRow("width beyond 32 bits unchanged") << upTo(8, "9999999999") << "WindowWidth"
                                                        << QVariant(ProgramValues().WindowWidth);
        QTest::newRow("own call whole line") << upTo(10, " 12 G4XYZ ") << "OwnCall" << QVariant(" 12 G4XYZ ");
        QTest::newRow("lookup mode 0 is local") << upTo(12, "0") << "WebMode" << QVariant(false);
        QTest::newRow("lookup mode 2 is web") << upTo(12, "2") << "WebMode" << QVariant(true);
        QTest::newRow("unix line ends") << QByteArray("1.5\n2.5\n3\n") << "DefaultSource" << QVariant(3);
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

    void fileErrors()
    {
        QTemporaryDir dir;
        ProgramValues v;
        QVERIFY(!readConfigFile(dir.filePath(QStringLiteral("none.cfg")), v));
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
        QTest::newRow("line without =") << "maker\n" << "maker" << "";
    }
    void hostTable()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(HostTable::fromText(text).host(name), expected);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
