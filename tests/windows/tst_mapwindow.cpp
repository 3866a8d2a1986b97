// The map window offscreen: real maps with two stations, missing and damaged map files, the
// map menu, dragging with the mouse, and closing by Escape or double click.

#include "geo/MapProjection.h"
#include "windows/MapWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace torvane;
Q_DECLARE_METATYPE(torvane::StationCase)

namespace {

QString shippedMap(const QString &file)
{
    return QStringLiteral(TORVANE_SOURCE_DIR "/data/Maps/") + file;
}

bool near(QRgb pixel, const QColor &colour, int tolerance)
{
    return std::abs(qRed(pixel) - colour.red()) + std::abs(qGreen(pixel) - colour.green())
        + std::abs(qBlue(pixel) - colour.blue())
        <= tolerance;
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace

class tst_MapWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    ProgramValues m_values;
    int16_t m_index = 0;

private slots:
    void initTestCase();
    void init();
    void plotsTwoStations_data();
    void plotsTwoStations();
    void unusableMapGivesMarkersOnly_data();
    void unusableMapGivesMarkersOnly();
    void noStationHidesItsLabel();
    void menuSelectsMap();
    void dragPansWithinLimits();
    void resizeKeepsMapInView();
    void closes_data();
    void closes();
};

void tst_MapWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(m_dir.filePath(QStringLiteral("Maps")));
    for (const char *file : {"World Map.jpg", "Europe Map.jpg"}) {
        QVERIFY(QFile::copy(shippedMap(QLatin1String(file)),
                            m_dir.filePath(QStringLiteral("Maps/") + QLatin1String(file))));
    }
    QFile broken(m_dir.filePath(QStringLiteral("Maps/Broken Map.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a picture\r\n");
    broken.close();
    // Only the first 700 bytes of a real map: the header still tells the size.
    QFile world(shippedMap(QStringLiteral("World Map.jpg")));
    QVERIFY(world.open(QIODevice::ReadOnly));
    QFile cut(m_dir.filePath(QStringLiteral("Maps/Cut Map.jpg")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(world.read(700));
}

void tst_MapWindow::init()
{
    m_values = ProgramValues();
    m_values.DataFolder = m_dir.path();
    m_values.MapList = QStringList{"World Map.jpg", "Europe Map.jpg", "North America Map.jpg",
                                   "Broken Map.jpg", "Cut Map.jpg"};
    m_values.LanguageText = QStringList(41);
    m_values.LanguageText[26] = QStringLiteral(" Me ");
    m_values.LanguageText[40] = QStringLiteral("Kilometres");
    m_values.OwnLatitude = 52.1;
    m_values.OwnLongitude = 5.1;
    m_values.CurrentCall = QStringLiteral("K1ABC");
    m_index = 0;
}

void tst_MapWindow::plotsTwoStations_data()
{
    QTest::addColumn<int>("map");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<StationCase>("kind");

    QTest::newRow("World: Connecticut") << 0 << 41.7 << -72.7 << StationCase::Circles;
    QTest::newRow("Europe: Connecticut off the map") << 1 << 41.7 << -72.7 << StationCase::BeamLine;
}

void tst_MapWindow::plotsTwoStations()
{
    QFETCH(int, map);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(StationCase, kind);

    m_index = int16_t(map);
    m_values.StationLatitude = lat;
    m_values.StationLongitude = lon;
    MapWindow form(m_values, m_index);
    form.PlotMap();

    QVERIFY(form.isVisible());
    QCOMPARE(form.windowTitle(), "Map   " + MapNameOf(m_values.MapList.at(map))
                                     + "   (Hold down left button to move map)");
    QCOMPARE(form.picInner->size(), QImage(shippedMap(m_values.MapList.at(map))).size());
    const StationDrawing &d = form.drawing();
    QCOMPARE(d.kind, kind);
    QVERIFY(form.lblCall->isVisible());
    QCOMPARE(form.lblCall->geometry(), d.callLabel);
    QCOMPARE(form.picInner->pos(), d.picturePos.value_or(QPoint(-9999, -9999)));
    // The viewport never shows a gap beside a map larger than itself.
    const QRect mapInView(form.picInner->pos(), form.picInner->size());
    QVERIFY(mapInView.contains(QRect(QPoint(0, 0), form.picOuter->size())));

    // What is painted: black rings round the station, or a blue line along the heading.
    const QImage painted = form.picInner->grab().toImage();
    if (kind == StationCase::Circles) {
        const QPoint ring = d.station + QPoint(kStationRing, 0);
        QVERIFY2(near(painted.pixel(ring), Qt::black, 120), "no ring round the station");
    } else {
        const QPointF middle = (QPointF(d.own) + d.beamEnd) / 2;
        QVERIFY2(near(painted.pixel(middle.toPoint()), QColor(0, 0, 255), 200), "no beam line");
    }
}

void tst_MapWindow::unusableMapGivesMarkersOnly_data()
{
    QTest::addColumn<int>("map");
    QTest::addColumn<QSize>("picture");

    QTest::newRow("file that does not decode") << 3 << kBlankMapSize;
    QTest::newRow("file gone since start-up") << 2 << kBlankMapSize;
    QTest::newRow("map index past the list") << 9 << kBlankMapSize;
    QTest::newRow("negative map index") << -1 << kBlankMapSize;
    QTest::newRow("cut-off file keeps its size") << 4 << QSize(2800, 1410);
}

void tst_MapWindow::unusableMapGivesMarkersOnly()
{
    QFETCH(int, map);
    QFETCH(QSize, picture);

    m_index = int16_t(map);
    m_values.StationLatitude = 41.7;
    m_values.StationLongitude = -72.7;
    MapWindow form(m_values, m_index);
    form.PlotMap();

    QVERIFY(form.isVisible());
    QCOMPARE(form.picInner->size(), picture);
    if (picture == kBlankMapSize)
        QVERIFY(form.mapImage().isNull());
    QVERIFY(form.lblMe->isVisible());
    QVERIFY(form.lblCall->isVisible());
    QVERIFY(!form.picInner->grab().isNull());
}

void tst_MapWindow::noStationHidesItsLabel()
{
    m_values.StationLatitude = 0;
    m_values.StationLongitude = -72.7;
    m_values.OwnLatitude = 89.5;
    MapWindow form(m_values, m_index);
    form.PlotMap();
    QCOMPARE(form.drawing().kind, StationCase::None);
    QVERIFY(!form.lblCall->isVisible());
    QVERIFY(!form.Shape2->isVisible());
    QVERIFY(form.lblMe->isVisible());
    // The plot keeps the own latitude within 89 degrees.
    QCOMPARE(m_values.OwnLatitude, 89.0);
}

void tst_MapWindow::menuSelectsMap()
{
    MapWindow form(m_values, m_index);
    form.PlotMap();
    QCOMPARE(form.mnuMap.size(), m_values.MapList.size() + 1);
    QCOMPARE(form.mnuMap.at(3)->text(), QStringLiteral("North America"));
    QCOMPARE(form.paintedMenuItem(), 1);

    form.mnuMap.at(2)->trigger();
    QCOMPARE(m_index, int16_t(1));
    QCOMPARE(form.paintedMenuItem(), 2);
    QCOMPARE(form.picInner->size(), QSize(1795, 1473));

    // " Maps " goes back to the call box and leaves the map as it is.
    QSignalSpy focus(&form, &MapWindow::FocusCallBox);
    form.mnuMap.at(0)->trigger();
    QCOMPARE(focus.count(), 1);
    QCOMPARE(m_index, int16_t(1));
    QVERIFY(form.isVisible());
}

void tst_MapWindow::dragPansWithinLimits()
{
    // West Africa: the view sits well inside the world map, which is larger than the screen.
    m_values.StationLatitude = 5.0;
    m_values.StationLongitude = 20.0;
    MapWindow form(m_values, m_index);
    form.PlotMap();
    QWidget *map = form.picInner;
    const QPoint start = map->pos();
    const QPoint anchor = QPoint(-start.x(), -start.y()) + QPoint(300, 200);

    sendMouse(map, QEvent::MouseButtonPress, anchor, Qt::LeftButton, Qt::LeftButton);
    sendMouse(map, QEvent::MouseMove, anchor, Qt::NoButton, Qt::LeftButton);  // arms only
    QCOMPARE(map->pos(), start);
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(map->pos(), start + QPoint(30, 20));
    // Without the button nothing moves.
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(-40, -40), Qt::NoButton, Qt::NoButton);
    QCOMPARE(map->pos(), start + QPoint(30, 20));

    // A new plot disarms: its first move only takes the anchor.
    form.PlotMap();
    const QPoint replotted = map->pos();
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(25, 25), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(map->pos(), replotted);
}

void tst_MapWindow::resizeKeepsMapInView()
{
    MapWindow form(m_values, m_index);
    form.PlotMap();
    QSignalSpy focus(&form, &MapWindow::FocusCallBox);
    form.resize(400, 300);
    QVERIFY(focus.count() >= 1);
    QCOMPARE(form.picOuter->size().width(), 400);
    const QRect mapInView(form.picInner->pos(), form.picInner->size());
    QVERIFY(mapInView.contains(QRect(QPoint(0, 0), form.picOuter->size())));
}

void tst_MapWindow::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Escape") << "escape";
    QTest::newRow("double click on the map") << "map";
    QTest::newRow("double click on lblCall") << "lblCall";
    QTest::newRow("another key stays open") << "key";
}

void tst_MapWindow::closes()
{
    QFETCH(QString, how);
    // London and the own station both in view on the Europe map.
    m_index = 1;
    m_values.StationLatitude = 51.5;
    m_values.StationLongitude = -0.13;
    MapWindow form(m_values, m_index);
    form.PlotMap();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy focus(&form, &MapWindow::FocusCallBox);

    if (how == QLatin1String("escape") || how == QLatin1String("key")) {
        QTest::keyClick(&form, how == QLatin1String("key") ? Qt::Key_A : Qt::Key_Escape);
    } else {
        // The labels let the double click through to the map.
        const QPoint centre = how == QLatin1String("lblCall")
            ? form.lblCall->mapTo(&form, form.lblCall->rect().center())
            : form.picInner->mapTo(&form, QPoint(100, 100) - form.picInner->pos());
        QVERIFY2(form.rect().contains(centre), "target not in view");
        QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    }
    const bool closed = how != QLatin1String("key");
    QCOMPARE(form.isVisible(), !closed);
    QCOMPARE(focus.count() >= 1, closed);
}

QTEST_MAIN(tst_MapWindow)
#include "tst_mapwindow.moc"
