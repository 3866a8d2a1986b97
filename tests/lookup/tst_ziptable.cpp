// Zip-code positions from ZIPS.RAN: a small hand-made table whose layout steers the binary
// search through each path, and the shipped table.

#include "lookup/ZipTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using torvane::ZipPosition;

namespace {

// Sorted as the reader compares. 16 records: the first probe is record 8, the prefix record of
// 061, so an exact 061 zip is only found by searching on past it; 063's prefix record is never
// probed when 06300 is looked for, so only the second search on the prefix finds it.
const char *const kSmallTable[] = {
    "0050140.81773.045", "0060118.18166.750", "0100142.06272.626", "0100242.16172.575",
    "0610141.77072.680", "0611041.73372.733", "0611141.68772.731", "061ZZ41.75572.694",
    "0632041.35072.100", "0633041.36072.110", "0634041.37072.120", "0635041.38072.130",
    "063ZZ41.40072.000", "9021034.101118.41", "96799-14.32170.75", "9691013.453-144.7",
};

constexpr double kUntouched = 99.5;  // what the outputs hold before a lookup

}  // namespace

class TestZipTable : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;  // one folder per table: small, short, partial, none
    QString shippedFolder() const { return QStringLiteral(TORVANE_SOURCE_DIR "/data"); }

    bool writeTable(const QString &folder, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(folder + "/ZIPS.RAN"));
        return QDir(m_dir.path()).mkpath(folder) && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QByteArray table;
        for (const char *record : kSmallTable)
            table += record;
        QVERIFY(writeTable("small", table));
        QVERIFY(writeTable("short", "0611141.68"));
        QVERIFY(writeTable("partial", "0611141.68772.7319021034.101118.4190"));
        QVERIFY(QDir(m_dir.path()).mkpath("none"));
    }

    void position_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("zip");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");

        QTest::newRow("exact zip behind its prefix record") << "small" << "06111" << true << 41.687 << -72.731;
        QTest::newRow("last record, east longitude") << "small" << "96910" << true << 13.453 << 144.7;
        QTest::newRow("missing zip, prefix record probed") << "small" << "06105" << true << 41.755 << -72.694;
        QTest::newRow("missing zip, prefix record not probed") << "small" << "06300" << true << 41.4 << -72.0;
        QTest::newRow("prefix record itself, lower case") << "small" << "061zz" << true << 41.755 << -72.694;
        QTest::newRow("no prefix record for the area") << "small" << "07000" << false << 0.0 << 0.0;
        QTest::newRow("two characters only") << "small" << "06" << false << 0.0 << 0.0;
        QTest::newRow("empty zip") << "small" << "" << false << 0.0 << 0.0;
        QTest::newRow("shipped: Hartford PO box zip by prefix") << "shipped" << "06101" << true << 41.755 << -72.694;
        QTest::newRow("shipped: unused prefix") << "shipped" << "00000" << false << 0.0 << 0.0;
        QTest::newRow("no table, none created") << "none" << "90210" << false << 0.0 << 0.0;
        QTest::newRow("table shorter than a record") << "short" << "06111" << false << 0.0 << 0.0;
        QTest::newRow("trailing partial record ignored") << "partial" << "90210" << true << 34.101 << -118.41;
    }

    void position()
    {
        QFETCH(QString, table);
        QFETCH(QString, zip);
        QFETCH(bool, found);
        QFETCH(double, latitude);
        QFETCH(double, longitude);

        const QString folder = table == "shipped" ? shippedFolder() : m_dir.filePath(table);
        double lat = kUntouched;
        double lon = kUntouched;
        QCOMPARE(ZipPosition(folder, zip, lat, lon), found);
        QCOMPARE(lat, found ? latitude : kUntouched);
        QCOMPARE(lon, found ? longitude : kUntouched);
        QCOMPARE(QFile::exists(folder + "/ZIPS.RAN"), table != "none");
    }
};

QTEST_GUILESS_MAIN(TestZipTable)
#include "tst_ziptable.moc"
