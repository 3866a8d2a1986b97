// Positions on the globe and on the maps: distance, beam heading and locator, the map chosen for
// a station, where the projection puts it, and the names of map files.

#include "core/ProgramValues.h"
#include "geo/Geodesy.h"
#include "geo/MapProjection.h"

#include <QtTest>
#include <cmath>

using namespace torvane;

namespace {
double worldY(double lat) { return ProjectToMapF(QStringLiteral("World Map"), lat, 20)->y(); }
}  // namespace

class tst_Geodesy : public QObject {
    Q_OBJECT

private slots:
    void distanceAzimuth_data()
    {
        QTest::addColumn<QPointF>("own");      // latitude, longitude
        QTest::addColumn<QPointF>("station");  // latitude, longitude
        QTest::addColumn<double>("km");
        QTest::addColumn<double>("kmTolerance");
        QTest::addColumn<int>("azimuth");  // negative: not checked

        // On the equator the ellipsoid terms vanish: 6378 km times the central angle, due east.
        // Own latitude 0 alone is a known position; own 0/0 gives nothing (see the map plot).
        QTest::newRow("equator pair") << QPointF(0, 10) << QPointF(0, 20) << 1113.171 << 1e-3 << 90;
        QTest::newRow("west of north wraps to 359") << QPointF(10, 20) << QPointF(30, 19.999) << 2213.0 << 5.0 << 359;
        QTest::newRow("antipodes: half a meridian") << QPointF(10, 20) << QPointF(-10, -160) << 20000.0 << 40.0 << -1;
        // Against WGS-84 geodesics (Vincenty): within 0.2 % and a degree of heading.
        QTest::newRow("NY to London") << QPointF(40.7128, -74.006) << QPointF(51.5074, -0.1278) << 5585.2 << 11.0 << 51;
        // Identical or nearly identical positions: 0 and 0, never not-a-number.
        const QPointF awkward(41.714775, -72.72726), apart(std::nextafter(awkward.x(), 90.0), awkward.y());
        QTest::newRow("identical awkward values") << awkward << awkward << 0.0 << 0.0 << 0;
        QTest::newRow("last bit of latitude apart") << awkward << apart << 0.0 << 0.0 << 0;
    }
    void distanceAzimuth()
    {
        QFETCH(QPointF, own);
        QFETCH(QPointF, station);
        QFETCH(double, km);
        QFETCH(double, kmTolerance);
        QFETCH(int, azimuth);
        const auto result = CalcDistanceAzimuth(own.x(), own.y(), station.x(), station.y(), false);
        QVERIFY(result);
        QVERIFY2(std::fabs(result->distance - km) <= kmTolerance, qPrintable(QString::number(result->distance, 'f', 6)));
        QVERIFY(result->azimuth >= 0 && result->azimuth <= 359);
        if (azimuth >= 0)  // whole degrees, floored
            QCOMPARE(result->azimuth, azimuth);
    }

    // The main window's line from the program values; UseMiles 1 is miles, anything else km.
    void distanceLine_data()
    {
        QTest::addColumn<QPointF>("own");      // latitude, longitude
        QTest::addColumn<QPointF>("station");  // latitude, longitude
        QTest::addColumn<int>("useMiles");
        QTest::addColumn<QString>("expected");  // null: the label keeps its text
        QTest::newRow("station on the equator keeps the label") << QPointF(52, 5) << QPointF(0, 30) << 0 << QString();
        QTest::newRow("own position unknown keeps the label") << QPointF(0, 0) << QPointF(51.5, -0.1) << 1 << QString();
        // About 1.6 km due east: 0 whole miles (floored), so the heading is dropped to 0.
        const QPointF from(45, 10), east(45, 10.0203);
        QTest::newRow("under a mile: Az 0") << from << east << 1 << "Dx: 0 mi  Az: 0°";
        QTest::newRow("1.6 km in km keeps the heading") << from << east << 2 << "Dx: 2 km  Az: 89°";
    }
    void distanceLine()
    {
        QFETCH(QPointF, own);
        QFETCH(QPointF, station);
        QFETCH(int, useMiles);
        QFETCH(QString, expected);
        ProgramValues v;
        v.OwnLatitude = own.x();
        v.OwnLongitude = own.y();
        v.StationLatitude = station.x();
        v.StationLongitude = station.y();
        v.UseMiles = int16_t(useMiles);
        QCOMPARE(FormatDistanceLine(v, QLocale(QLocale::English, QLocale::UnitedStates)).value_or(QString()), expected);
    }

    void wholeDistance_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("distance");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C locale still groups") << "C" << 1234567.0 << "1,234,567";
        QTest::newRow("half goes to even, down") << "en_US" << 4214.5 << "4,214";
    }
    void wholeDistance()
    {
        QFETCH(QString, locale);
        QFETCH(double, distance);
        QFETCH(QString, expected);
        QCOMPARE(formatWholeDistance(distance, QLocale(locale)), expected);
    }

    // The middle point of the short path, and the long path's heading and distance.
    void greatCircle_data()
    {
        QTest::addColumn<QPointF>("from");  // (lat, lon)
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("middle");
        QTest::newRow("along the equator") << QPointF(0, 0) << QPointF(0, 90) << QPointF(0, 45);
        QTest::newRow("over the pole, not along the parallel") << QPointF(45, 0) << QPointF(45, 180) << QPointF(90, 0);
        QTest::newRow("across the date line") << QPointF(0, 170) << QPointF(0, -170) << QPointF(0, 180);
        QTest::newRow("London to New York, north of both")
            << QPointF(51.5, -0.13) << QPointF(40.71, -74.01) << QPointF(52.364, -41.291);
        QTest::newRow("antipodes: over the north pole") << QPointF(0, 10) << QPointF(0, -170) << QPointF(90, 0);
    }

    void greatCircle()
    {
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QPointF, middle);
        const std::vector<LatLon> path = greatCirclePath({from.x(), from.y()}, {to.x(), to.y()}, 90);
        QCOMPARE(path.size(), std::size_t(91));
        QVERIFY(std::abs(path.front().lat - from.x()) < 1e-9 && std::abs(path.back().lat - to.x()) < 1e-9);
        const LatLon m = path[45];
        QVERIFY2(std::abs(m.lat - middle.x()) < 0.01, qPrintable(QString::number(m.lat)));
        if (std::abs(middle.x()) < 89.99)  // at the pole any longitude is the pole
            QVERIFY2(std::abs(std::remainder(m.lon - middle.y(), 360)) < 0.01, qPrintable(QString::number(m.lon)));
    }

    void longPathGoesTheOtherWay()
    {
        const DistanceAzimuth lp = longPath({5743, 291}, false);
        QCOMPARE(lp.azimuth, 111);
        QVERIFY(std::abs(lp.distance - 34287) < 5);
        QCOMPARE(longPath({3569, 291}, true).azimuth, 111);
        QVERIFY(std::abs(longPath({3569, 291}, true).distance - 21310) < 5);
    }

    void grid_data()
    {
        QTest::addColumn<QPointF>("position");  // latitude, longitude
        QTest::addColumn<QString>("expected");
        QTest::newRow("Rio de Janeiro, south and west") << QPointF(-22.9068, -43.1729) << "GG87jc";
        // Boundaries south and west fall into the cell farther from the equator or meridian.
        QTest::newRow("latitude exactly -33 gives square 6") << QPointF(-33, 151.5) << "QF56sx";
        QTest::newRow("longitude exactly -77.5 gives subsquare f") << QPointF(38.9, -77.5) << "FM18fv";
        QTest::newRow("longitude 180 gives field S") << QPointF(10, 180) << "SK00aa";
        QTest::newRow("longitude -180 starts the first field") << QPointF(10, -180) << "AK00aa";
        QTest::newRow("latitude above 90 is empty") << QPointF(90.0001, 10) << "";
        QTest::newRow("not a number is empty") << QPointF(std::nan(""), 10.0) << "";
    }
    void grid()
    {
        QFETCH(QPointF, position);
        QFETCH(QString, expected);
        QCOMPARE(LatLonToGrid(position.x(), position.y()), expected);
    }

    void chooseMap_data()
    {
        QTest::addColumn<QPointF>("position");  // latitude, longitude
        QTest::addColumn<QString>("map");
        QTest::newRow("Groningen: N-Nederland is never chosen") << QPointF(53.22, 6.57) << "Europe Map";
        // Bounds are strict: a position on a bound is outside that box.
        QTest::newRow("on the UK west bound falls to Europe") << QPointF(50, -12) << "Europe Map";
        QTest::newRow("on the Australia north bound falls to Asia") << QPointF(-10, 130) << "Asia Map";
        QTest::newRow("not a number") << QPointF(std::nan(""), 10.0) << "World Map";
    }
    void chooseMap()
    {
        QFETCH(QPointF, position);
        QFETCH(QString, map);
        QCOMPARE(ChooseMapName(position.x(), position.y()), map);
    }

    // The image generator covers each map's box; the centre of every box must choose that map
    // (UK before Europe, Japan before Asia).
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
        QTest::addColumn<QPointF>("position");  // latitude, longitude
        QTest::addColumn<QPointF>("pixel");  // (-1, -1): name not known
        QTest::newRow("North America") << "North America Map" << QPointF(40, -95) << QPointF(660.7717, 471.0427);
        // d = 20.5 rounds to the even 20 (k = 7); rounding half up would give 21 (k = 10).
        QTest::newRow("NA d 20.5: even") << "North America Map" << QPointF(45, -115.5) << QPointF(304.4414, 299.6696);
        QTest::newRow("NA d 35.5: k = 36") << "North America Map" << QPointF(45, -130.5) << QPointF(62.5999, 198.6131);
        QTest::newRow("Sydney") << "Australia Map" << QPointF(-33.8688, 151.2093) << QPointF(1213.5014, 915.4191);
        QTest::newRow("Wellington") << "New Zealand Map" << QPointF(-41.2865, 174.7762) << QPointF(671.4447, 762.0708);
        QTest::newRow("London") << "UK Map" << QPointF(51.5074, -0.1278) << QPointF(803.8354, 944.4417);
        QTest::newRow("Berlin") << "Europe Map" << QPointF(52.52, 13.405) << QPointF(665.7943, 679.8623);
        QTest::newRow("Tokyo") << "Japan Map" << QPointF(35.6895, 139.6917) << QPointF(657.4654, 690.2361);
        QTest::newRow("Asia, north") << "Asia Map" << QPointF(35, 100) << QPointF(953.2, 427.8076);
        QTest::newRow("Asia, south") << "Asia Map" << QPointF(-6.2, 106.8) << QPointF(1046.496, 1014.0179);
        QTest::newRow("Groningen") << "N-Nederland Map" << QPointF(53.2194, 6.5665) << QPointF(643.6782, 183.9629);
        QTest::newRow("World New York") << "World Map" << QPointF(40.7, -74) << QPointF(807.4951, 353.9414);
        // The pole lines: top and bottom edge, correction 35 px; beyond the pole stays on the edge.
        QTest::newRow("World south pole") << "World Map" << QPointF(-90, 0) << QPointF(1357, 1404);
        QTest::newRow("World beyond the pole") << "World Map" << QPointF(95, 0) << QPointF(1357, 8);
        QTest::newRow("file name with extension") << "World Map.jpg" << QPointF(40, -95) << QPointF(-1, -1);
    }
    void project()
    {
        QFETCH(QString, map);
        QFETCH(QPointF, position);
        QFETCH(QPointF, pixel);
        const QPointF p = ProjectToMapF(map, position.x(), position.y()).value_or(QPointF(-1, -1));
        QVERIFY2((p - pixel).manhattanLength() < 1e-3, qPrintable(QStringLiteral("%1, %2").arg(p.x(), 0, 'f', 4).arg(p.y(), 0, 'f', 4)));
        QCOMPARE(ProjectToMap(map, position.x(), position.y()).has_value(), pixel != QPointF(-1, -1));
    }

    void world()
    {
        // West of 170 W wraps to the east end; -170 itself is the west edge.
        QCOMPARE(*ProjectToMapF("World Map", 10, -170.5), *ProjectToMapF("World Map", 10, 189.5));
        QVERIFY(ProjectToMapF("World Map", 10, -170)->x() < 100);
        // Between the table rows the position follows the latitude itself, not whole degrees.
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
        QTest::addColumn<QStringList>("expected");  // a map or not, its name, its caption
        QTest::newRow("jpeg") << "World Map.jpg" << QStringList{"map", "World Map", "World"};
        QTest::newRow("gif") << "UK Map.gif" << QStringList{"map", "UK Map", "UK"};
        QTest::newRow("own map in another format") << "Moon Map.bmp" << QStringList{"map", "Moon Map", "Moon Map.bmp"};
        QTest::newRow("lower-case map") << "World map.jpg" << QStringList{"-", "World map", "World map.jpg"};
        QTest::newRow("five-letter extension") << "World Map.jpeg" << QStringList{"-", "World Map.", "World Map.jpeg"};
        QTest::newRow("too short") << ".jpg" << QStringList{"-", "", ".jpg"};
    }
    void mapFiles()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, expected);
        QCOMPARE((QStringList{IsMapFile(file) ? "map" : "-", MapNameOf(file), MapCaptionOf(file)}), expected);
    }

    void findMap()
    {
        QCOMPARE(FindMapIndex({"Asia Map.jpg", "UK Map.jpg", "World Map.jpg"}, "UK Map"), 1);
        QCOMPARE(FindMapIndex({"Old World Map.jpg", "World Map.jpg"}, "World Map"), 0);  // first containing it
        QCOMPARE(FindMapIndex({"world map.jpg"}, "World Map"), -1);
    }
};

QTEST_APPLESS_MAIN(tst_Geodesy)
#include "tst_Geodesy.moc"
