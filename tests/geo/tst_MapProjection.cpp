#include "geo/MapProjection.h"

#include <QtTest>
#include <cmath>

using namespace torvane;

namespace {
double worldY(double lat) { return ProjectToMapF(QStringLiteral("World Map"), lat, 20)->y(); }
}  // namespace

class tst_MapProjection : public QObject {
    Q_OBJECT

private slots:
    void chooseMap_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("map");
        QTest::newRow("London, UK inside Europe") << 52.0 << -0.1 << "UK Map";
        QTest::newRow("Japan inside Asia") << 35.0 << 139.0 << "Japan Map";
        QTest::newRow("Groningen: N-Nederland is never chosen") << 53.22 << 6.57 << "Europe Map";
        // Bounds are strict: a position on a bound is outside that box.
        QTest::newRow("on the North America bound, in no box") << 40.0 << -55.0 << "World Map";
        QTest::newRow("on the UK west bound falls to Europe") << 50.0 << -12.0 << "Europe Map";
        QTest::newRow("on the Australia north bound falls to Asia") << -10.0 << 130.0 << "Asia Map";
        QTest::newRow("not a number") << std::nan("") << 10.0 << "World Map";
    }
    void chooseMap()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, map);
        QCOMPARE(ChooseMapName(lat, lon), map);
    }

    // The image generator covers each map's box; the centre of every box must choose that map.
    void choiceBoxesAreNotShadowed()
    {
        for (const QString &map : KnownMapNames()) {
            if (const auto box = ChoiceBox(map))
                QCOMPARE(ChooseMapName((box->latMin + box->latMax) / 2, (box->lonMin + box->lonMax) / 2), map);
        }
    }

    // One place on every map, to a thousandth of a pixel, so that a changed calibration constant
    // of any map shows.
    void project_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QPointF>("pixel");  // (-1, -1): name not known
        QTest::newRow("North America 40 N 95 W") << "North America Map" << 40.0 << -95.0 << QPointF(660.7717, 471.0427);
        // d = 20.5 rounds to the even 20 (k = 7); rounding half up would give 21 (k = 10).
        QTest::newRow("North America d 20.5 rounds to even") << "North America Map" << 45.0 << -115.5
                                                             << QPointF(304.4414, 299.6696);
        QTest::newRow("North America d 35.5 gives k = 36") << "North America Map" << 45.0 << -130.5
                                                           << QPointF(62.5999, 198.6131);
        QTest::newRow("Australia, Sydney") << "Australia Map" << -33.8688 << 151.2093 << QPointF(1213.5014, 915.4191);
        QTest::newRow("New Zealand, Wellington") << "New Zealand Map" << -41.2865 << 174.7762 << QPointF(671.4447, 762.0708);
        QTest::newRow("UK, London") << "UK Map" << 51.5074 << -0.1278 << QPointF(803.8354, 944.4417);
        QTest::newRow("Europe, Berlin") << "Europe Map" << 52.52 << 13.405 << QPointF(665.7943, 679.8623);
        QTest::newRow("Japan, Tokyo") << "Japan Map" << 35.6895 << 139.6917 << QPointF(657.4654, 690.2361);
        QTest::newRow("Asia, north") << "Asia Map" << 35.0 << 100.0 << QPointF(953.2, 427.8076);
        QTest::newRow("Asia, south of the equator") << "Asia Map" << -6.2 << 106.8 << QPointF(1046.496, 1014.0179);
        QTest::newRow("N-Nederland, Groningen") << "N-Nederland Map" << 53.2194 << 6.5665 << QPointF(643.6782, 183.9629);
        QTest::newRow("World New York") << "World Map" << 40.7 << -74.0 << QPointF(807.4951, 353.9414);
        QTest::newRow("World 84.9 uses row 80-85") << "World Map" << 84.9 << 10.0 << QPointF(1391.8333, 25.1945);
        // The pole lines: top and bottom edge, correction 35 px; beyond the pole stays on the edge.
        QTest::newRow("World south pole") << "World Map" << -90.0 << 0.0 << QPointF(1357, 1404);
        QTest::newRow("World beyond the pole") << "World Map" << 95.0 << 0.0 << QPointF(1357, 8);
        QTest::newRow("names compare case-sensitively") << "world map" << 40.0 << -95.0 << QPointF(-1, -1);
        QTest::newRow("file name with extension") << "World Map.jpg" << 40.0 << -95.0 << QPointF(-1, -1);
    }
    void project()
    {
        QFETCH(QString, map);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QPointF, pixel);
        const QPointF p = ProjectToMapF(map, lat, lon).value_or(QPointF(-1, -1));
        QVERIFY2((p - pixel).manhattanLength() < 1e-3, qPrintable(QStringLiteral("%1, %2").arg(p.x(), 0, 'f', 4).arg(p.y(), 0, 'f', 4)));
        QCOMPARE(ProjectToMap(map, lat, lon).has_value(), pixel != QPointF(-1, -1));
    }

    void world()
    {
        // West of 170 W wraps to the east end; -170 itself is the west edge.
        QCOMPARE(*ProjectToMapF("World Map", 10, -170.5), *ProjectToMapF("World Map", 10, 189.5));
        QVERIFY(ProjectToMapF("World Map", 10, -170)->x() < 100);
        // Between the table rows the position follows the latitude itself, not whole degrees.
        QVERIFY(std::fabs(worldY(33.9) - 412.5887) < 1e-3);
        QVERIFY(std::fabs(worldY(-34.5) - 1004.6044) < 1e-3);
        // Midway between the 5-degree rows at 100 E, so that the constants of every row show.
        const QPointF between[] = {
            {2086.202, 684.362}, {2084.443, 641.086}, {2081.154, 597.810}, {2077.107, 554.534}, {2071.607, 511.258},
            {2063.118, 467.982}, {2052.532, 424.706}, {2038.849, 381.500}, {2022.069, 338.538}, {2003.536, 296.030},
            {1982.135, 254.219}, {1957.637, 213.386}, {1930.845, 173.810}, {1903.255, 135.804}, {1873.180, 99.752},
            {1838.976, 66.283},  {1804.357, 37.490},  {1774.288, 16.341}};
        for (int i = 0; i < 18; ++i)
            QVERIFY2((*ProjectToMapF("World Map", 2.5 + 5 * i, 100) - between[i]).manhattanLength() < 2e-3, qPrintable(QString::number(i)));
        // Single precision rounds 4.9999999 up to the 5-degree row; the position must not jump.
        for (double row : {5.0, 45.0, 85.0})
            QVERIFY(std::fabs(worldY(row - 1e-7) - worldY(row)) < 1e-3);
    }

    void mapFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("jpeg") << "World Map.jpg" << true << "World Map" << "World";
        QTest::newRow("gif") << "UK Map.gif" << true << "UK Map" << "UK";
        QTest::newRow("own map in another format") << "Moon Map.bmp" << true << "Moon Map" << "Moon Map.bmp";
        QTest::newRow("lower-case map is not a map") << "World map.jpg" << false << "World map" << "World map.jpg";
        QTest::newRow("five-letter extension") << "World Map.jpeg" << false << "World Map." << "World Map.jpeg";
        QTest::newRow("too short") << ".jpg" << false << "" << ".jpg";
    }
    void mapFiles()
    {
        QFETCH(QString, file);
        QFETCH(bool, usable);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QCOMPARE(IsMapFile(file), usable);
        QCOMPARE(MapNameOf(file), name);
        QCOMPARE(MapCaptionOf(file), caption);
    }

    void findMap()
    {
        QCOMPARE(FindMapIndex({"Asia Map.jpg", "UK Map.jpg", "World Map.jpg"}, "UK Map"), 1);
        QCOMPARE(FindMapIndex({"Old World Map.jpg", "World Map.jpg"}, "World Map"), 0);  // first containing it
        QCOMPARE(FindMapIndex({"world map.jpg"}, "World Map"), -1);
    }
};

QTEST_APPLESS_MAIN(tst_MapProjection)
#include "tst_MapProjection.moc"
