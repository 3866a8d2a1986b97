#include "geo/MapProjection.h"

#include <QtTest>
#include <cmath>

using namespace torvane;

class tst_MapProjection : public QObject {
    Q_OBJECT

private slots:
    void chooseMap_data();
    void chooseMap();
    void choiceBoxesAreNotShadowed();
    void project_data();
    void project();
    void worldWrapsBelow170West();
    void worldFollowsLatitudeSmoothly();
    void mapFiles_data();
    void mapFiles();
    void findMap_data();
    void findMap();
};

void tst_MapProjection::chooseMap_data()
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
    QTest::newRow("Rio de Janeiro") << -22.9 << -43.2 << "World Map";
    QTest::newRow("not a number") << std::nan("") << 10.0 << "World Map";
}

void tst_MapProjection::chooseMap()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QString, map);
    QCOMPARE(ChooseMapName(lat, lon), map);
}

void tst_MapProjection::choiceBoxesAreNotShadowed()
{
    // The image generator covers each map's box; the centre of every box must choose that map.
    for (const QString &map : KnownMapNames()) {
        if (const auto box = ChoiceBox(map)) {
            const double lat = (box->latMin + box->latMax) / 2;
            QCOMPARE(ChooseMapName(lat, (box->lonMin + box->lonMax) / 2), map);
        }
    }
    QVERIFY(!ChoiceBox("World Map"));
    QVERIFY(!ChoiceBox("N-Nederland Map"));
}

void tst_MapProjection::project_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<QPoint>("pixel");  // (-1, -1): name not known

    QTest::newRow("North America 40 N 95 W") << "North America Map" << 40.0 << -95.0 << QPoint(661, 471);
    // d = 20.5 rounds to the even 20 (k = 7); rounding half up would give 21 (k = 10).
    QTest::newRow("North America d 20.5 rounds to even") << "North America Map" << 45.0 << -115.5
                                                         << QPoint(304, 300);
    QTest::newRow("North America d 35.5 gives k = 36") << "North America Map" << 45.0 << -130.5
                                                       << QPoint(63, 199);
    QTest::newRow("Australia, Sydney") << "Australia Map" << -33.8688 << 151.2093 << QPoint(1214, 915);
    QTest::newRow("New Zealand, Wellington") << "New Zealand Map" << -41.2865 << 174.7762
                                             << QPoint(671, 762);
    QTest::newRow("UK, London") << "UK Map" << 51.5074 << -0.1278 << QPoint(804, 944);
    QTest::newRow("Europe, Berlin") << "Europe Map" << 52.52 << 13.405 << QPoint(666, 680);
    QTest::newRow("Japan, Tokyo") << "Japan Map" << 35.6895 << 139.6917 << QPoint(657, 690);
    QTest::newRow("Asia, north") << "Asia Map" << 35.0 << 100.0 << QPoint(953, 428);
    QTest::newRow("Asia, south of the equator") << "Asia Map" << -6.2 << 106.8 << QPoint(1046, 1014);
    QTest::newRow("N-Nederland, Groningen") << "N-Nederland Map" << 53.2194 << 6.5665 << QPoint(644, 184);
    QTest::newRow("World New York") << "World Map" << 40.7 << -74.0 << QPoint(807, 354);
    QTest::newRow("World 175 W plots as 185 E") << "World Map" << 52.0 << -175.0 << QPoint(2540, 258);
    QTest::newRow("World 84.9 uses row 80-85") << "World Map" << 84.9 << 10.0 << QPoint(1392, 25);
    // The pole lines: top and bottom edge, correction 35 px; beyond the pole stays on the edge.
    QTest::newRow("World north pole") << "World Map" << 90.0 << 0.0 << QPoint(1357, 8);
    QTest::newRow("World south pole") << "World Map" << -90.0 << 0.0 << QPoint(1357, 1404);
    QTest::newRow("World beyond the pole") << "World Map" << 95.0 << 0.0 << QPoint(1357, 8);
    QTest::newRow("names compare case-sensitively") << "world map" << 40.0 << -95.0 << QPoint(-1, -1);
    QTest::newRow("file name with extension") << "World Map.jpg" << 40.0 << -95.0 << QPoint(-1, -1);
}

void tst_MapProjection::project()
{
    QFETCH(QString, map);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(QPoint, pixel);
    const auto p = ProjectToMap(map, lat, lon);
    if (pixel == QPoint(-1, -1)) {
        QVERIFY(!p);
        QVERIFY(!ProjectToMapF(map, lat, lon));
        return;
    }
    QVERIFY(p);
    QCOMPARE(*p, pixel);
}

void tst_MapProjection::worldWrapsBelow170West()
{
    QCOMPARE(*ProjectToMapF("World Map", 10, -170.5), *ProjectToMapF("World Map", 10, 189.5));
    // -170 itself is not wrapped: the west edge of the map.
    QVERIFY(ProjectToMapF("World Map", 10, -170)->x() < 100);
    QVERIFY(ProjectToMapF("World Map", 10, -170.001)->x() > 2700);
}

void tst_MapProjection::worldFollowsLatitudeSmoothly()
{
    // Between the table rows the position moves with the latitude itself, not in whole degrees.
    QVERIFY(std::fabs(ProjectToMapF("World Map", 33.9, 20)->y() - 412.5887) < 1e-3);
    QVERIFY(std::fabs(ProjectToMapF("World Map", -34.5, 20)->y() - 1004.6044) < 1e-3);
    // Single precision rounds 4.9999999 up to the 5-degree row; the position must not jump.
    for (double row : {5.0, 45.0, 85.0}) {
        const QPointF below = *ProjectToMapF("World Map", row - 1e-7, 20);
        const QPointF at = *ProjectToMapF("World Map", row, 20);
        QVERIFY(std::fabs(below.y() - at.y()) < 1e-3);
    }
}

void tst_MapProjection::mapFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("jpeg") << "World Map.jpg" << true << "World Map" << "World";
    QTest::newRow("gif") << "UK Map.gif" << true << "UK Map" << "UK";
    QTest::newRow("own map in another format") << "Moon Map.bmp" << true << "Moon Map"
                                               << "Moon Map.bmp";
    QTest::newRow("lower-case map is not a map") << "World map.jpg" << false << "World map"
                                                 << "World map.jpg";
    QTest::newRow("five-letter extension") << "World Map.jpeg" << false << "World Map."
                                           << "World Map.jpeg";
    QTest::newRow("too short") << ".jpg" << false << "" << ".jpg";
}

void tst_MapProjection::mapFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, usable);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QCOMPARE(IsMapFile(file), usable);
    QCOMPARE(MapNameOf(file), name);
    QCOMPARE(MapCaptionOf(file), caption);
}

void tst_MapProjection::findMap_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    const QStringList shipped = {"Asia Map.jpg", "Europe Map.jpg", "UK Map.jpg", "World Map.jpg"};
    QTest::newRow("found") << shipped << "UK Map" << 2;
    QTest::newRow("first entry containing the name wins")
        << QStringList{"Old World Map.jpg", "World Map.jpg"} << "World Map" << 0;
    QTest::newRow("case-sensitive") << QStringList{"world map.jpg"} << "World Map" << -1;
}

void tst_MapProjection::findMap()
{
    QFETCH(QStringList, files);
    QFETCH(QString, name);
    QFETCH(int, index);
    QCOMPARE(FindMapIndex(files, name), index);
}

QTEST_APPLESS_MAIN(tst_MapProjection)
#include "tst_MapProjection.moc"
