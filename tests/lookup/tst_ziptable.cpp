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

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class TestZipTable : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_small;
    QString shippedFolder() const { return QStringLiteral(TORVANE_SOURCE_DIR "/data"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_small.isValid());
        QByteArray table;
        for (const char *record : kSmallTable) {
            QCOMPARE(qstrlen(record), 17u);
            table += record;
        }
        QVERIFY(writeFile(m_small.filePath(QStringLiteral("ZIPS.RAN")), table));
        QVERIFY(QFile::exists(shippedFolder() + QStringLiteral("/ZIPS.RAN")));
    }

    void position_data()
    {
        QTest::addColumn<bool>("shipped");
        QTest::addColumn<QString>("zip");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");

        // Hand-made table.
        QTest::newRow("exact zip behind its prefix record") << false << "06111" << true << 41.687 << -72.731;
        QTest::newRow("first record") << false << "00501" << true << 40.817 << -73.045;
        QTest::newRow("last record, east longitude") << false << "96910" << true << 13.453 << 144.7;
        QTest::newRow("three-digit longitude negated") << false << "90210" << true << 34.101 << -118.41;
        QTest::newRow("southern latitude") << false << "96799" << true << -14.32 << -170.75;
        QTest::newRow("missing zip, prefix record probed") << false << "06105" << true << 41.755 << -72.694;
        QTest::newRow("missing zip, prefix record not probed") << false << "06300" << true << 41.4 << -72.0;
        QTest::newRow("missing zip after its prefix's zips") << false << "06399" << true << 41.4 << -72.0;
        QTest::newRow("three characters match the prefix record") << false << "063" << true << 41.4 << -72.0;
        QTest::newRow("prefix record itself, lower case") << false << "061zz" << true << 41.755 << -72.694;
        QTest::newRow("no prefix record for the area") << false << "07000" << false << 0.0 << 0.0;
        QTest::newRow("before every record") << false << "00000" << false << 0.0 << 0.0;
        QTest::newRow("after every record") << false << "99999" << false << 0.0 << 0.0;
        QTest::newRow("two characters only") << false << "06" << false << 0.0 << 0.0;
        QTest::newRow("empty zip") << false << "" << false << 0.0 << 0.0;
        QTest::newRow("letters") << false << "CT" << false << 0.0 << 0.0;

        // Shipped table.
        QTest::newRow("shipped: Newington CT") << true << "06111" << true << 41.687 << -72.731;
        QTest::newRow("shipped: Beverly Hills") << true << "90210" << true << 34.101 << -118.41;
        QTest::newRow("shipped: first record") << true << "00601" << true << 18.181 << -66.75;
        QTest::newRow("shipped: Guam, east longitude") << true << "96910" << true << 13.453 << 144.7;
        QTest::newRow("shipped: American Samoa") << true << "96799" << true << -14.32 << -170.75;
        QTest::newRow("shipped: Hartford PO box zip by prefix") << true << "06101" << true << 41.755 << -72.694;
        QTest::newRow("shipped: unused prefix") << true << "00000" << false << 0.0 << 0.0;
        QTest::newRow("shipped: empty zip") << true << "" << false << 0.0 << 0.0;
    }

    void position()
    {
        QFETCH(bool, shipped);
        QFETCH(QString, zip);
        QFETCH(bool, found);
        QFETCH(double, latitude);
        QFETCH(double, longitude);

        double lat = kUntouched;
        double lon = kUntouched;
        QCOMPARE(ZipPosition(shipped ? shippedFolder() : m_small.path(), zip, lat, lon), found);
        QCOMPARE(lat, found ? latitude : kUntouched);
        QCOMPARE(lon, found ? longitude : kUntouched);
    }

    // Every zip of the shipped table finds its own record, never its prefix's centroid.
    void shippedExactZips()
    {
        QFile file(shippedFolder() + QStringLiteral("/ZIPS.RAN"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray table = file.readAll();
        QCOMPARE(table.size() % 17, 0);
        int zips = 0;
        for (qsizetype at = 0; at < table.size(); at += 17) {
            const QString zip = QString::fromLatin1(table.mid(at, 5));
            if (zip.at(4) > u'9')
                continue;
            double lat = 0;
            double lon = 0;
            QVERIFY2(ZipPosition(shippedFolder(), zip, lat, lon), qPrintable(zip));
            QCOMPARE(lat, QString::fromLatin1(table.mid(at + 5, 6)).toDouble());
            QCOMPARE(lon, -QString::fromLatin1(table.mid(at + 11, 6)).toDouble());
            ++zips;
        }
        QVERIFY(zips > 30000);
    }

    void missingTable()
    {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        double lat = kUntouched;
        double lon = kUntouched;
        QVERIFY(!ZipPosition(empty.path(), QStringLiteral("06111"), lat, lon));
        QCOMPARE(lat, kUntouched);
        QCOMPARE(lon, kUntouched);
        QVERIFY(!QFile::exists(empty.filePath(QStringLiteral("ZIPS.RAN"))));
        QVERIFY(!ZipPosition(empty.filePath(QStringLiteral("no such folder")), QStringLiteral("06111"), lat, lon));
    }

    void oddFileLengths_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("found");
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("shorter than a record") << QByteArray("0611141.68") << false;
        QTest::newRow("trailing partial record ignored")
            << QByteArray("0611141.68772.7319021034.101118.4190") << true;
    }

    void oddFileLengths()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, found);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeFile(dir.filePath(QStringLiteral("ZIPS.RAN")), table));
        double lat = kUntouched;
        double lon = kUntouched;
        QCOMPARE(ZipPosition(dir.path(), QStringLiteral("90210"), lat, lon), found);
        QCOMPARE(lon, found ? -118.41 : kUntouched);
    }
};

QTEST_GUILESS_MAIN(TestZipTable)
#include "tst_ziptable.moc"
