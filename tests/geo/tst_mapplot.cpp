// Geometry of the map window: station markers, labels, beam line, pan, layout and dragging.

#include "geo/MapPlot.h"
#include "geo/MapProjection.h"

#include <QtTest>
#include <cmath>

using namespace torvane;
Q_DECLARE_METATYPE(torvane::StationCase)

namespace {

// Labels measured as 7 pixels per character, 15 high.
QSize fixedMeasure(const QString &text) { return QSize(7 * int(text.size()), 15); }

const QSize kWorld(2800, 1410);
const QSize kEurope(1795, 1473);

// K1ABC plotted on `map` (its picture size as shipped; 1000 x 800 for a map of the user's own)
// in the client area of a 1600 x 1200 screen below a 22-pixel menu bar.
StationDrawing draw(const QString &map, double ownLat, double ownLon, double lat, double lon, bool miles = false)
{
    StationPlotInput in;
    in.mapName = map;
    in.picture = map == u"World Map" ? kWorld : map == u"Europe Map" ? kEurope : QSize(1000, 800);
    in.viewport = QSize(1600, 1178);
    in.ownLat = ownLat;
    in.ownLon = ownLon;
    in.stationLat = lat;
    in.stationLon = lon;
    in.useMiles = miles;
    in.call = QStringLiteral("K1ABC");
    in.unitWord = miles ? QStringLiteral("Miles") : QStringLiteral("Kilometres");
    in.meText = QStringLiteral(" Me ");
    return DrawStations(in, fixedMeasure);
}

}  // namespace

class tst_MapPlot : public QObject {
    Q_OBJECT

private slots:
    void drawStations_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<double>("ownLat");
        QTest::addColumn<double>("ownLon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<StationCase>("kind");
        QTest::addColumn<QPoint>("own");
        QTest::addColumn<QPoint>("station");
        QTest::addColumn<QString>("callText");
        QTest::addColumn<QPoint>("pan");  // (-9999, -9999): no pan

        // Utrecht (NL) and Sydney, near the lower right: the view stops at the right and bottom edges.
        QTest::newRow("World: NL and Sydney, view at the corner")
            << "World Map" << 52.1 << 5.1 << -33.87 << 151.21 << StationCase::Circles << QPoint(1364, 258)
            << QPoint(2420, 999) << " K1ABC  Dx 16,638 Kilometres  Az 66\u00B0 " << QPoint(1600 - 2800, 1178 - 1410);
        // Station off the chosen map, own station on it: beam line, view centred on the own point.
        QTest::newRow("Europe: Connecticut off the map, beam line")
            << "Europe Map" << 52.1 << 5.1 << 41.7 << -72.7 << StationCase::BeamLine << QPoint(499, 670)
            << QPoint(-970, -176) << " To K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 " << QPoint(0, -81);
        // Own position 0/0: marker at the top-left corner, distance and azimuth 0; the view centred
        // on the station, held at the top edge.
        QTest::newRow("own position unknown")
            << "World Map" << 0.0 << 0.0 << 41.7 << -72.7 << StationCase::Circles << QPoint(0, 0)
            << QPoint(819, 345) << " K1ABC  Dx 0 Kilometres  Az 0\u00B0 " << QPoint(-19, 0);
        QTest::newRow("no looked-up station") << "World Map" << 52.1 << 5.1 << 0.0 << -72.7 << StationCase::None
                                              << QPoint(1364, 258) << QPoint(0, 0) << "" << QPoint(-9999, -9999);
        // A user's own map the projection does not know: everything at (0, 0), no beam line.
        QTest::newRow("unknown map name")
            << "Mars Map" << 52.1 << 5.1 << 41.7 << -72.7 << StationCase::Circles << QPoint(0, 0)
            << QPoint(0, 0) << " K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 " << QPoint(300, 189);
    }
    void drawStations()
    {
        QFETCH(QString, map);
        QFETCH(double, ownLat);
        QFETCH(double, ownLon);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(StationCase, kind);
        QFETCH(QPoint, own);
        QFETCH(QPoint, station);
        QFETCH(QString, callText);
        QFETCH(QPoint, pan);
        const StationDrawing d = draw(map, ownLat, ownLon, lat, lon);
        QCOMPARE(d.kind, kind);
        QCOMPARE(d.own, own);
        QCOMPARE(d.station, station);
        QCOMPARE(d.callText, callText);
        QCOMPARE(d.picturePos.value_or(QPoint(-9999, -9999)), pan);
        if (kind == StationCase::Circles) {
            // Centred above the large circle round the station.
            QCOMPARE(d.callLabel.size(), fixedMeasure(callText));
            QVERIFY(std::abs(2 * d.callLabel.left() + d.callLabel.width() - 2 * station.x()) <= 1);
            QCOMPARE(d.callLabel.bottom() + 1, station.y() - kStationRing);
        }
        // The own label always sits 6 pixels left of the own point, centred on it vertically.
        QCOMPARE(d.meLabel.size(), QSize(28, 15));
        QCOMPARE(d.meLabel.right() + 1, own.x() - 6);
        QVERIFY(std::abs(2 * d.meLabel.top() + 15 - 2 * own.y()) <= 1);
    }

    void milesUseTheMilesWord()
    {
        QCOMPARE(draw("World Map", 52.1, 5.1, 41.7, -72.7, true).callText, " K1ABC  Dx 3,569 Miles  Az 291\u00B0 ");
    }

    // A compass heading on the picture, 100 pixels long: north up, east right.
    void beamPointsAlongTheHeading_data()
    {
        QTest::addColumn<double>("ownLat");
        QTest::addColumn<double>("ownLon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<int>("azimuth");
        QTest::addColumn<QPointF>("end");  // from the own point
        QTest::newRow("due north points straight up") << 45.0 << 10.0 << 85.0 << 10.0 << 0 << QPointF(0, -100);
        QTest::newRow("south to Cape Town") << 52.1 << 5.1 << -33.9 << 18.4 << 168 << QPointF(20.791, 97.815);
        QTest::newRow("west over the Atlantic") << 38.7 << -9.1 << 37.7 << -35.0 << 275 << QPointF(-99.619, -8.716);
    }
    void beamPointsAlongTheHeading()
    {
        QFETCH(double, ownLat);
        QFETCH(double, ownLon);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(int, azimuth);
        QFETCH(QPointF, end);
        const StationDrawing d = draw("Europe Map", ownLat, ownLon, lat, lon);
        QCOMPARE(d.kind, StationCase::BeamLine);
        QCOMPARE(d.azimuth, azimuth);
        QVERIFY((d.beamEnd - d.own - end).manhattanLength() < 0.01);
        // The label is centred on the line's end, its bottom 2 pixels above it.
        QVERIFY(std::fabs(d.callLabel.center().x() + 0.5 - d.beamEnd.x()) <= 1);
        QVERIFY(std::fabs(d.callLabel.bottom() + 1 + 2 - d.beamEnd.y()) <= 0.5);
    }

    void panTo_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QSize>("viewport");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QPoint>("pos");
        const QSize view(800, 600), map(2000, 1400);
        QTest::newRow("near the top-left: held at 0") << QPoint(100, 50) << view << map << QPoint(0, 0);
        // The view stops with the map's edges on the viewport's edges: no gap on any side.
        QTest::newRow("near the bottom-right: held at the edges") << QPoint(1990, 1390) << view << map << QPoint(-1200, -800);
        QTest::newRow("narrower map: centred across, panned down")
            << QPoint(300, 1000) << view << QSize(600, 1400) << QPoint(100, -700);
        QTest::newRow("map exactly the viewport's size stays put") << QPoint(700, 550) << view << view << QPoint(0, 0);
        QTest::newRow("centred; odd viewport rounds halves to even")
            << QPoint(1000, 700) << QSize(801, 601) << map << QPoint(-600, -400);
    }
    void panTo()
    {
        QFETCH(QPoint, point);
        QFETCH(QSize, viewport);
        QFETCH(QSize, picture);
        QFETCH(QPoint, pos);
        QCOMPARE(torvane::panTo(point, viewport, picture), pos);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QSize>("border");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<bool>("canDrag");
        QTest::newRow("small map sits centred, not draggable")
            << QSize(800, 600) << QSize(1000, 700) << QSize(0, 0) << QPoint(100, 50) << false;
        QTest::newRow("world map on a 1600 x 1178 client starts centred")
            << kWorld << QSize(1600, 1178) << QSize(0, 0) << QPoint(-600, -116) << true;
        QTest::newRow("a border makes an equal map draggable")
            << QSize(800, 600) << QSize(800, 600) << QSize(4, 4) << QPoint(0, 0) << true;
    }
    void layout()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, client);
        QFETCH(QSize, border);
        QFETCH(QPoint, pos);
        QFETCH(bool, canDrag);
        const MapLayout l = layoutMapWindow(picture, client, border);
        QCOMPARE(l.picturePos, pos);
        QCOMPARE(l.canDragX, canDrag);
        QCOMPARE(l.canDragY, canDrag);
    }

    // Viewport 800 x 600 over a 2000 x 1400 map: left in -1199..0, top in -799..0.
    void drag_data()
    {
        QTest::addColumn<QPoint>("start");    // picInner position before the move
        QTest::addColumn<QPoint>("pointer");  // the armed move; the anchor is (300, 300)
        QTest::addColumn<bool>("canDragX");
        QTest::addColumn<QPoint>("result");   // picInner position afterwards
        QTest::newRow("up to the left edge") << QPoint(-10, -400) << QPoint(310, 300) << true << QPoint(0, -400);
        QTest::newRow("one pixel gap at the left is refused")
            << QPoint(-10, -400) << QPoint(311, 300) << true << QPoint(-10, -400);
        QTest::newRow("refused across, still moves down")
            << QPoint(-10, -400) << QPoint(320, 330) << true << QPoint(-10, -370);
        // The map's bottom edge may not come up to the viewport's bottom edge.
        QTest::newRow("bottom limit is exclusive") << QPoint(-500, -790) << QPoint(300, 290) << true << QPoint(-500, -790);
        QTest::newRow("axis that cannot drag stays") << QPoint(100, -400) << QPoint(250, 250) << false << QPoint(100, -450);
    }
    void drag()
    {
        QFETCH(QPoint, start);
        QFETCH(QPoint, pointer);
        QFETCH(bool, canDragX);
        QFETCH(QPoint, result);
        const QSize viewport(800, 600), picture(2000, 1400);
        MapDrag drag;
        drag.press(QPoint(300, 300));
        // The first move after a plot only arms the drag.
        QVERIFY(!drag.move(QPoint(300, 300), true, start, viewport, picture, canDragX, true));
        QCOMPARE(drag.move(pointer, true, start, viewport, picture, canDragX, true).value_or(start), result);
    }

    void placeWindow()
    {
        // A panel at the top and a window frame: the map is capped so that the whole frame stays
        // in the free area, below a 22-pixel menu bar.
        const MapWindowPlacement p = placeMapWindow(kEurope, QRect(0, 30, 1600, 1170), QSize(10, 34), 22);
        QCOMPARE(p.viewport, QSize(1590, 1114));
        QCOMPARE(p.client, QSize(1590, 1136));
        QCOMPARE(p.framePos, QPoint(0, 30));
        // A small map is centred.
        QCOMPARE(placeMapWindow(QSize(800, 600), QRect(0, 0, 1600, 1200), QSize(0, 0), 22).framePos, QPoint(400, 289));
    }
};

QTEST_GUILESS_MAIN(tst_MapPlot)
#include "tst_mapplot.moc"
