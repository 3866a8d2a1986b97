// Geometry of the map window: station markers, labels, beam line, pan, layout and dragging.

#include "geo/MapPlot.h"
#include "geo/MapProjection.h"

#include <QtTest>
#include <cmath>

using namespace torvane;
Q_DECLARE_METATYPE(torvane::StationCase)

namespace {

// Labels measured as 7 pixels per character, 15 high.
QSize fixedMeasure(const QString &text)
{
    return QSize(7 * int(text.size()), 15);
}

const QSize kWorld(2800, 1410);
const QSize kEurope(1795, 1473);
const QSize kNorthAmerica(1694, 1263);
// Client area of a 1600 x 1200 screen below a 22-pixel menu bar.
const QSize kView(1600, 1178);

StationPlotInput input(const QString &map, QSize picture, double ownLat, double ownLon,
                       double lat, double lon)
{
    StationPlotInput in;
    in.mapName = map;
    in.picture = picture;
    in.viewport = kView;
    in.ownLat = ownLat;
    in.ownLon = ownLon;
    in.stationLat = lat;
    in.stationLon = lon;
    in.call = QStringLiteral("K1ABC");
    in.unitWord = QStringLiteral("Kilometres");
    in.meText = QStringLiteral(" Me ");
    return in;
}

}  // namespace

class tst_MapPlot : public QObject {
    Q_OBJECT

private slots:
    void drawStations_data();
    void drawStations();
    void beamPointsAlongTheHeading_data();
    void beamPointsAlongTheHeading();
    void milesUseTheMilesWord();
    void panTo_data();
    void panTo();
    void layout_data();
    void layout();
    void drag_data();
    void drag();
    void placeWindow_data();
    void placeWindow();
};

void tst_MapPlot::drawStations_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<double>("ownLat");
    QTest::addColumn<double>("ownLon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<StationCase>("kind");
    QTest::addColumn<QPoint>("own");
    QTest::addColumn<QPoint>("station");
    QTest::addColumn<QString>("callText");
    QTest::addColumn<QRect>("callLabel");
    QTest::addColumn<QPoint>("pan");  // (-9999, -9999): no pan

    const QString world = QStringLiteral("World Map");
    const QString europe = QStringLiteral("Europe Map");
    const QString na = QStringLiteral("North America Map");

    // Utrecht (NL) and K1ABC in Connecticut: both on the world map, circles round K1ABC;
    // the view is centred on it, held at the top edge.
    QTest::newRow("World: NL and Connecticut")
        << world << kWorld << 52.1 << 5.1 << 41.7 << -72.7 << StationCase::Circles
        << QPoint(1364, 258) << QPoint(819, 345)
        << QString::fromUtf8(" K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 ")
        << QRect(690, 305, 259, 15) << QPoint(-19, 0);
    // Sydney lies near the lower right: the view stops at the right and bottom edges.
    QTest::newRow("World: NL and Sydney, view at the corner")
        << world << kWorld << 52.1 << 5.1 << -33.87 << 151.21 << StationCase::Circles
        << QPoint(1364, 258) << QPoint(2420, 999)
        << QString::fromUtf8(" K1ABC  Dx 16,638 Kilometres  Az 66\u00B0 ")
        << QRect(2290, 959, 259, 15) << QPoint(1600 - 2800, 1178 - 1410);
    QTest::newRow("Europe: NL and Rome")
        << europe << kEurope << 52.1 << 5.1 << 41.9 << 12.5 << StationCase::Circles
        << QPoint(499, 670) << QPoint(613, 1028)
        << QString::fromUtf8(" K1ABC  Dx 1,264 Kilometres  Az 150\u00B0 ")
        << QRect(484, 988, 259, 15) << QPoint(0, 1178 - 1473);
    // Own station off the North America map: still circles round the station.
    QTest::newRow("North America: NL and Austin, own off the map")
        << na << kNorthAmerica << 52.1 << 5.1 << 30.27 << -97.74 << StationCase::Circles
        << QPoint(1905, -617) << QPoint(602, 716)
        << QString::fromUtf8(" K1ABC  Dx 8,212 Kilometres  Az 298\u00B0 ")
        << QRect(472, 676, 259, 15) << QPoint(0, 1178 - 1263);
    // Station off the chosen map, own station on it: beam line, view centred on the own point.
    QTest::newRow("Europe: Connecticut off the map, beam line")
        << europe << kEurope << 52.1 << 5.1 << 41.7 << -72.7 << StationCase::BeamLine
        << QPoint(499, 670) << QPoint(-970, -176)
        << QString::fromUtf8(" To K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 ")
        << QRect(266, 617, 280, 15) << QPoint(0, -81);
    QTest::newRow("North America: NL off the map, beam line")
        << na << kNorthAmerica << 41.7 << -72.7 << 52.1 << 5.1 << StationCase::BeamLine
        << QPoint(1067, 373) << QPoint(1905, -617)
        << QString::fromUtf8(" To K1ABC  Dx 5,743 Kilometres  Az 50\u00B0 ")
        << QRect(1007, 292, 273, 15) << QPoint(-94, 0);
    // Own position 0/0: marker at the top-left corner, circles, distance and azimuth 0.
    QTest::newRow("own position unknown")
        << world << kWorld << 0.0 << 0.0 << 41.7 << -72.7 << StationCase::Circles
        << QPoint(0, 0) << QPoint(819, 345)
        << QString::fromUtf8(" K1ABC  Dx 0 Kilometres  Az 0\u00B0 ") << QRect(710, 305, 217, 15)
        << QPoint(-19, 0);
    // Same place for both: distance 0 gives azimuth 0.
    QTest::newRow("station at the own position")
        << europe << kEurope << 52.1 << 5.1 << 52.1 << 5.1 << StationCase::Circles
        << QPoint(499, 670) << QPoint(499, 670)
        << QString::fromUtf8(" K1ABC  Dx 0 Kilometres  Az 0\u00B0 ") << QRect(390, 630, 217, 15)
        << QPoint(0, -81);
    QTest::newRow("no looked-up station")
        << world << kWorld << 52.1 << 5.1 << 0.0 << -72.7 << StationCase::None
        << QPoint(1364, 258) << QPoint(0, 0) << QString() << QRect() << QPoint(-9999, -9999);
    // A user's own map the projection does not know: everything at (0, 0).
    QTest::newRow("unknown map name")
        << QStringLiteral("Mars Map") << QSize(1000, 800) << 52.1 << 5.1 << 41.7 << -72.7
        << StationCase::Circles << QPoint(0, 0) << QPoint(0, 0)
        << QString::fromUtf8(" K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 ")
        << QRect(-130, -40, 259, 15) << QPoint(300, 189);
}

void tst_MapPlot::drawStations()
{
    QFETCH(QString, map);
    QFETCH(QSize, picture);
    QFETCH(double, ownLat);
    QFETCH(double, ownLon);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(StationCase, kind);
    QFETCH(QPoint, own);
    QFETCH(QPoint, station);
    QFETCH(QString, callText);
    QFETCH(QRect, callLabel);
    QFETCH(QPoint, pan);

    const StationDrawing d =
        DrawStations(input(map, picture, ownLat, ownLon, lat, lon), fixedMeasure);
    QCOMPARE(d.kind, kind);
    QCOMPARE(d.own, own);
    QCOMPARE(d.station, station);
    QCOMPARE(d.callText, callText);
    if (kind != StationCase::None)
        QCOMPARE(d.callLabel, callLabel);
    QCOMPARE(d.picturePos.value_or(QPoint(-9999, -9999)), pan);
    // The own label always sits 6 pixels left of the own point, centred on it vertically.
    QCOMPARE(d.meLabel.size(), QSize(28, 15));
    QCOMPARE(d.meLabel.right() + 1, own.x() - 6);
    QVERIFY(std::abs(2 * d.meLabel.top() + 15 - 2 * own.y()) <= 1);
}

void tst_MapPlot::beamPointsAlongTheHeading_data()
{
    QTest::addColumn<double>("ownLat");
    QTest::addColumn<double>("ownLon");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<int>("azimuth");

    QTest::newRow("due north points straight up") << 45.0 << 10.0 << 85.0 << 10.0 << 0;
    QTest::newRow("north-west to Connecticut") << 52.1 << 5.1 << 41.7 << -72.7 << 291;
    QTest::newRow("east to Tokyo") << 52.1 << 5.1 << 35.7 << 139.7 << 35;
    QTest::newRow("south to Cape Town") << 52.1 << 5.1 << -33.9 << 18.4 << 168;
    QTest::newRow("west from Lisbon over the Atlantic") << 38.7 << -9.1 << 37.7 << -35.0 << 275;
}

void tst_MapPlot::beamPointsAlongTheHeading()
{
    QFETCH(double, ownLat);
    QFETCH(double, ownLon);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(int, azimuth);

    const StationDrawing d = DrawStations(
        input(QStringLiteral("Europe Map"), kEurope, ownLat, ownLon, lat, lon), fixedMeasure);
    QCOMPARE(d.kind, StationCase::BeamLine);
    QCOMPARE(d.azimuth, azimuth);
    // A compass heading on the picture: north up, east right, 100 pixels long.
    const double rad = azimuth * M_PI / 180;
    QVERIFY(std::fabs(d.beamEnd.x() - (d.own.x() + 100 * std::sin(rad))) < 0.01);
    QVERIFY(std::fabs(d.beamEnd.y() - (d.own.y() - 100 * std::cos(rad))) < 0.01);
    // The label is centred on the line's end, its bottom 2 pixels above it.
    QVERIFY(std::fabs(d.callLabel.center().x() + 0.5 - d.beamEnd.x()) <= 1);
    QVERIFY(std::fabs(d.callLabel.bottom() + 1 + 2 - d.beamEnd.y()) <= 0.5);
}

void tst_MapPlot::milesUseTheMilesWord()
{
    StationPlotInput in = input(QStringLiteral("World Map"), kWorld, 52.1, 5.1, 41.7, -72.7);
    in.useMiles = true;
    in.unitWord = QStringLiteral("Miles");
    const StationDrawing d = DrawStations(in, fixedMeasure);
    QCOMPARE(d.callText, QString::fromUtf8(" K1ABC  Dx 3,569 Miles  Az 291\u00B0 "));
}

void tst_MapPlot::panTo_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QSize>("viewport");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QPoint>("pos");

    QTest::newRow("centred on the point") << QPoint(1000, 700) << QSize(800, 600)
                                          << QSize(2000, 1400) << QPoint(-600, -400);
    QTest::newRow("near the top-left: held at 0") << QPoint(100, 50) << QSize(800, 600)
                                                  << QSize(2000, 1400) << QPoint(0, 0);
    // The view stops with the map's edges on the viewport's edges: no gap on any side.
    QTest::newRow("near the bottom-right: held at the edges")
        << QPoint(1990, 1390) << QSize(800, 600) << QSize(2000, 1400) << QPoint(-1200, -800);
    QTest::newRow("narrower map: centred across, panned down")
        << QPoint(300, 1000) << QSize(800, 600) << QSize(600, 1400) << QPoint(100, -700);
    QTest::newRow("lower map: panned across, centred down")
        << QPoint(1000, 100) << QSize(800, 600) << QSize(2000, 400) << QPoint(-600, 100);
    QTest::newRow("map exactly the viewport's size stays put")
        << QPoint(700, 550) << QSize(800, 600) << QSize(800, 600) << QPoint(0, 0);
    QTest::newRow("odd viewport width rounds halves to even")
        << QPoint(1000, 700) << QSize(801, 601) << QSize(2000, 1400) << QPoint(-600, -400);
}

void tst_MapPlot::panTo()
{
    QFETCH(QPoint, point);
    QFETCH(QSize, viewport);
    QFETCH(QSize, picture);
    QFETCH(QPoint, pos);
    QCOMPARE(torvane::panTo(point, viewport, picture), pos);
}

void tst_MapPlot::layout_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QSize>("border");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<bool>("canDragX");
    QTest::addColumn<bool>("canDragY");

    QTest::newRow("small map sits centred, not draggable")
        << QSize(800, 600) << QSize(1000, 700) << QSize(0, 0) << QPoint(100, 50) << false << false;
    QTest::newRow("map as large as the client")
        << QSize(800, 600) << QSize(800, 600) << QSize(0, 0) << QPoint(0, 0) << false << false;
    QTest::newRow("world map on a 1600 x 1178 client starts centred")
        << QSize(2800, 1410) << QSize(1600, 1178) << QSize(0, 0) << QPoint(-600, -116) << true
        << true;
    QTest::newRow("only wider") << QSize(1200, 500) << QSize(1000, 700) << QSize(0, 0)
                                << QPoint(-100, 100) << true << false;
    QTest::newRow("a border makes an equal map draggable")
        << QSize(800, 600) << QSize(800, 600) << QSize(4, 4) << QPoint(0, 0) << true << true;
}

void tst_MapPlot::layout()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, client);
    QFETCH(QSize, border);
    QFETCH(QPoint, pos);
    QFETCH(bool, canDragX);
    QFETCH(bool, canDragY);
    const MapLayout l = layoutMapWindow(picture, client, border);
    QCOMPARE(l.picturePos, pos);
    QCOMPARE(l.canDragX, canDragX);
    QCOMPARE(l.canDragY, canDragY);
}

void tst_MapPlot::drag_data()
{
    QTest::addColumn<QPoint>("start");      // picInner position before the move
    QTest::addColumn<QPoint>("anchor");     // where the pointer was when armed
    QTest::addColumn<QPoint>("pointer");    // the armed move
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("canDragX");
    QTest::addColumn<bool>("canDragY");
    QTest::addColumn<QPoint>("result");     // picInner position afterwards

    // Viewport 800 x 600 over a 2000 x 1400 map: left in -1199..0, top in -799..0.
    QTest::newRow("moves with the pointer") << QPoint(-500, -400) << QPoint(300, 300)
                                            << QPoint(320, 290) << true << true << true
                                            << QPoint(-480, -410);
    QTest::newRow("button released: stays") << QPoint(-500, -400) << QPoint(300, 300)
                                            << QPoint(320, 290) << false << true << true
                                            << QPoint(-500, -400);
    QTest::newRow("up to the left edge") << QPoint(-10, -400) << QPoint(300, 300)
                                         << QPoint(310, 300) << true << true << true
                                         << QPoint(0, -400);
    QTest::newRow("one pixel gap at the left is refused")
        << QPoint(-10, -400) << QPoint(300, 300) << QPoint(311, 300) << true << true << true
        << QPoint(-10, -400);
    QTest::newRow("refused across, still moves down")
        << QPoint(-10, -400) << QPoint(300, 300) << QPoint(320, 330) << true << true << true
        << QPoint(-10, -370);
    // The map's bottom edge may not come up to the viewport's bottom edge.
    QTest::newRow("bottom limit is exclusive") << QPoint(-500, -790) << QPoint(300, 300)
                                               << QPoint(300, 290) << true << true << true
                                               << QPoint(-500, -790);
    QTest::newRow("one short of the bottom limit") << QPoint(-500, -790) << QPoint(300, 300)
                                                   << QPoint(300, 291) << true << true << true
                                                   << QPoint(-500, -799);
    QTest::newRow("axis that cannot drag stays") << QPoint(100, -400) << QPoint(300, 300)
                                                 << QPoint(250, 250) << true << false << true
                                                 << QPoint(100, -450);
}

void tst_MapPlot::drag()
{
    QFETCH(QPoint, start);
    QFETCH(QPoint, anchor);
    QFETCH(QPoint, pointer);
    QFETCH(bool, held);
    QFETCH(bool, canDragX);
    QFETCH(bool, canDragY);
    QFETCH(QPoint, result);

    const QSize viewport(800, 600), picture(2000, 1400);
    MapDrag drag;
    drag.press(anchor);
    // The first move after a plot only arms the drag.
    QVERIFY(!drag.move(anchor, true, start, viewport, picture, canDragX, canDragY));
    QVERIFY(drag.armed());
    const auto moved = drag.move(pointer, held, start, viewport, picture, canDragX, canDragY);
    QCOMPARE(moved.value_or(start), result);
    QCOMPARE(drag.anchor(), anchor);
    drag.reset();
    QVERIFY(!drag.armed());
}

void tst_MapPlot::placeWindow_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("frameExtra");
    QTest::addColumn<QSize>("viewport");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QPoint>("framePos");

    QTest::newRow("world map fills a 1600 x 1200 screen")
        << kWorld << QRect(0, 0, 1600, 1200) << QSize(0, 0) << QSize(1600, 1178)
        << QSize(1600, 1200) << QPoint(0, 0);
    QTest::newRow("small map centred")
        << QSize(800, 600) << QRect(0, 0, 1600, 1200) << QSize(0, 0) << QSize(800, 600)
        << QSize(800, 622) << QPoint(400, 289);
    // A panel at the top and a window frame: the whole frame stays in the free area.
    QTest::newRow("panel and frame")
        << kEurope << QRect(0, 30, 1600, 1170) << QSize(10, 34) << QSize(1590, 1114)
        << QSize(1590, 1136) << QPoint(0, 30);
}

void tst_MapPlot::placeWindow()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, available);
    QFETCH(QSize, frameExtra);
    QFETCH(QSize, viewport);
    QFETCH(QSize, client);
    QFETCH(QPoint, framePos);
    const MapWindowPlacement p = placeMapWindow(picture, available, frameExtra, 22);
    QCOMPARE(p.viewport, viewport);
    QCOMPARE(p.client, client);
    QCOMPARE(p.framePos, framePos);
}

QTEST_GUILESS_MAIN(tst_MapPlot)
#include "tst_mapplot.moc"
