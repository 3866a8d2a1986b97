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

}  // namespace

class tst_MapPlot : public QObject {
    Q_OBJECT

private slots:
    // K1ABC plotted on a map (its picture size as shipped; 1000 x 800 for a map of the user's own)
    // in the client area of a 1600 x 1200 screen below a 22-pixel menu bar.
    void drawStations_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<QPointF>("own");      // latitude, longitude
        QTest::addColumn<QPointF>("station");  // latitude, longitude
        QTest::addColumn<StationCase>("kind");
        QTest::addColumn<QPoint>("ownPoint");
        QTest::addColumn<QPointF>("target");  // the station's point, or the end of the beam line
        QTest::addColumn<QString>("callText");
        QTest::addColumn<QPoint>("pan");  // (-9999, -9999): no pan

        // Utrecht (NL) and Sydney, near the lower right: the view stops at the right and bottom edges.
        QTest::newRow("World: NL and Sydney, view at the corner")
            << "World Map" << QPointF(52.1, 5.1) << QPointF(-33.87, 151.21) << StationCase::Circles << QPoint(1364, 258)
            << QPointF(2420, 999) << " K1ABC  Dx 16,638 Kilometres  Az 66\u00B0 " << QPoint(1600 - 2800, 1178 - 1410);
        // Station off the chosen map, own station on it: a beam line 100 pixels long along the
        // heading (north up, east right), the view centred on the own point.
        QTest::newRow("Europe: Connecticut off the map, beam line")
            << "Europe Map" << QPointF(52.1, 5.1) << QPointF(41.7, -72.7) << StationCase::BeamLine << QPoint(499, 670)
            << QPointF(499 - 93.358, 670 - 35.837) << " To K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 " << QPoint(0, -81);
        // Own position 0/0: marker at the top-left corner, no distance to give; the view centred
        // on the station, held at the top edge.
        QTest::newRow("own position unknown")
            << "World Map" << QPointF(0, 0) << QPointF(41.7, -72.7) << StationCase::Circles << QPoint(0, 0)
            << QPointF(819, 345) << " K1ABC " << QPoint(-19, 0);
        QTest::newRow("no looked-up station")
            << "World Map" << QPointF(52.1, 5.1) << QPointF(0, -72.7) << StationCase::None << QPoint(1364, 258)
            << QPointF(0, 0) << "" << QPoint(-9999, -9999);
        // A user's own map the projection does not know: everything at (0, 0), no beam line.
        QTest::newRow("unknown map name")
            << "Mars Map" << QPointF(52.1, 5.1) << QPointF(41.7, -72.7) << StationCase::Circles << QPoint(0, 0)
            << QPointF(0, 0) << " K1ABC  Dx 5,743 Kilometres  Az 291\u00B0 " << QPoint(300, 189);
    }
    void drawStations()
    {
        QFETCH(QString, map);
        QFETCH(QPointF, own);
        QFETCH(QPointF, station);
        QFETCH(StationCase, kind);
        QFETCH(QPoint, ownPoint);
        QFETCH(QPointF, target);
        QFETCH(QString, callText);
        QFETCH(QPoint, pan);
        StationPlotInput in;
        in.mapName = map;
        in.picture = map == u"World Map" ? kWorld : map == u"Europe Map" ? kEurope : QSize(1000, 800);
        in.viewport = QSize(1600, 1178);
        in.ownLat = own.x();
        in.ownLon = own.y();
        in.stationLat = station.x();
        in.stationLon = station.y();
        in.call = QStringLiteral("K1ABC");
        in.unitWord = QStringLiteral("Kilometres");
        in.meText = QStringLiteral(" Me ");
        const StationDrawing d = DrawStations(in, fixedMeasure);
        QCOMPARE(d.kind, kind);
        QCOMPARE(d.own, ownPoint);
        const bool beam = kind == StationCase::BeamLine;
        QVERIFY(((beam ? d.beamEnd : QPointF(d.station)) - target).manhattanLength() < 0.01);
        QCOMPARE(d.callText, callText);
        QCOMPARE(d.picturePos.value_or(QPoint(-9999, -9999)), pan);
        if (kind != StationCase::None) {
            // Centred over the line's end, 2 pixels above it, or over the large circle round the station.
            QCOMPARE(d.callLabel.size(), fixedMeasure(callText));
            QVERIFY(std::fabs(d.callLabel.center().x() + 0.5 - target.x()) <= 1);
            QVERIFY(std::fabs(d.callLabel.bottom() + 1 + (beam ? 2 : kStationRing) - target.y()) <= 0.5);
        }
        // The own label always sits 6 pixels left of the own point, centred on it vertically.
        QCOMPARE(d.meLabel.size(), QSize(28, 15));
        QCOMPARE(d.meLabel.right() + 1, ownPoint.x() - 6);
        QVERIFY(std::abs(2 * d.meLabel.top() + 15 - 2 * ownPoint.y()) <= 1);
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<bool>("canDrag");
        QTest::newRow("small map sits centred") << QSize(800, 600) << QSize(1000, 700) << QPoint(100, 50) << false;
        QTest::newRow("equal size: not draggable") << QSize(800, 600) << QSize(800, 600) << QPoint(0, 0) << false;
        QTest::newRow("larger map starts centred") << kWorld << QSize(1600, 1178) << QPoint(-600, -116) << true;
    }
    void layout()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, client);
        QFETCH(QPoint, pos);
        QFETCH(bool, canDrag);
        const MapLayout l = layoutMapWindow(picture, client);
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

    // The great-circle path on the World map: in one piece, or cut where it crosses the date
    // line, and its ends at the two stations.
    void greatCirclePath_data()
    {
        QTest::addColumn<QPointF>("own");
        QTest::addColumn<QPointF>("station");
        QTest::addColumn<int>("pieces");
        QTest::newRow("Netherlands to Connecticut") << QPointF(52.1, 5.1) << QPointF(41.7, -72.7) << 1;
        QTest::newRow("Tokyo to Connecticut, across the date line") << QPointF(35.7, 139.7) << QPointF(41.7, -72.7) << 2;
        QTest::newRow("own position not known") << QPointF(0, 0) << QPointF(41.7, -72.7) << 0;
    }

    void greatCirclePath()
    {
        QFETCH(QPointF, own);
        QFETCH(QPointF, station);
        QFETCH(int, pieces);
        const auto path = greatCircleOnMap("World Map", kWorld, own.x(), own.y(), station.x(), station.y());
        QCOMPARE(int(path.size()), pieces);
        if (pieces == 0)
            return;
        const auto near = [](QPointF a, QPointF b) { return QLineF(a, b).length() < 1.5; };
        QVERIFY(near(path.first().first(), *ProjectToMapF("World Map", own.x(), own.y())));
        QVERIFY(near(path.last().last(), *ProjectToMapF("World Map", station.x(), station.y())));
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
