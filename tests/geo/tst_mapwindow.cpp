// The map window offscreen: real maps with two stations, missing and damaged map files, the
// map menu, dragging with the mouse, and closing by Escape or double click.

#include "geo/MapWindow.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
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

QStringList languageTexts()
{
    QStringList texts;
    for (int i = 1; i <= 73; ++i)
        texts << QStringLiteral("item %1").arg(i);
    texts[26] = QStringLiteral(" Me ");
    texts[39] = QStringLiteral("Miles");
    texts[40] = QStringLiteral("Kilometres");
    return texts;
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
    void ownLatitudeIsKeptBelow89();
    void openingCentresThePointer();
    void menuSelectsMap();
    void mapsItemReturnsToCallBox();
    void dragPansWithinLimits();
    void resizeKeepsMapInView();
    void closes_data();
    void closes();
};

void tst_MapWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QDir().mkpath(m_dir.filePath(QStringLiteral("Maps")));
    for (const char *file : {"World Map.jpg", "Europe Map.jpg", "North America Map.jpg"}) {
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
    m_values.MapList = QStringList{QStringLiteral("World Map.jpg"), QStringLiteral("Europe Map.jpg"),
                                   QStringLiteral("North America Map.jpg"),
                                   QStringLiteral("Broken Map.jpg"),
                                   QStringLiteral("Missing Map.jpg"), QStringLiteral("Cut Map.jpg")};
    m_values.LanguageText = languageTexts();
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
    QTest::addColumn<QString>("title");

    QTest::newRow("World: Connecticut") << 0 << 41.7 << -72.7 << StationCase::Circles
                                        << "Map   World Map   (Hold down left button to move map)";
    QTest::newRow("Europe: Rome") << 1 << 41.9 << 12.5 << StationCase::Circles
                                  << "Map   Europe Map   (Hold down left button to move map)";
    QTest::newRow("North America: Texas")
        << 2 << 30.27 << -97.74 << StationCase::Circles
        << "Map   North America Map   (Hold down left button to move map)";
    QTest::newRow("Europe: Connecticut off the map") << 1 << 41.7 << -72.7 << StationCase::BeamLine
                                                     << "Map   Europe Map   (Hold down left button to move map)";
}

void tst_MapWindow::plotsTwoStations()
{
    QFETCH(int, map);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(StationCase, kind);
    QFETCH(QString, title);

    m_index = int16_t(map);
    m_values.StationLatitude = lat;
    m_values.StationLongitude = lon;
    Form4 form(m_values, m_index);
    form.PlotMap();

    QVERIFY(form.isVisible());
    QCOMPARE(form.windowTitle(), title);
    const QImage file(shippedMap(m_values.MapList.at(map)));
    QCOMPARE(form.mapImage().size(), file.size());
    QCOMPARE(form.picInner->size(), file.size());
    const StationDrawing &d = form.drawing();
    QCOMPARE(d.kind, kind);
    QVERIFY(form.lblCall->isVisible());
    QVERIFY(form.Shape2->isVisible());
    QCOMPARE(form.lblCall->text(), d.callText);
    QCOMPARE(form.lblCall->geometry(), d.callLabel);
    QCOMPARE(form.Shape2->geometry(), d.callFrame);
    QCOMPARE(form.lblMe->text(), QStringLiteral(" Me "));
    QCOMPARE(form.lblMe->geometry(), d.meLabel);
    QCOMPARE(form.Shape1->geometry(), d.meFrame);
    QVERIFY(d.picturePos);
    QCOMPARE(form.picInner->pos(), *d.picturePos);
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
    QTest::addColumn<bool>("noMaps");
    QTest::addColumn<QSize>("picture");

    QTest::newRow("file that does not decode") << 3 << false << kBlankMapSize;
    QTest::newRow("file gone since start-up") << 4 << false << kBlankMapSize;
    QTest::newRow("map index past the list") << 9 << false << kBlankMapSize;
    QTest::newRow("negative map index") << -1 << false << kBlankMapSize;
    QTest::newRow("no maps at all") << 0 << true << kBlankMapSize;
    QTest::newRow("cut-off file keeps its size") << 5 << false << QSize(2800, 1410);
}

void tst_MapWindow::unusableMapGivesMarkersOnly()
{
    QFETCH(int, map);
    QFETCH(bool, noMaps);
    QFETCH(QSize, picture);

    if (noMaps)
        m_values.MapList.clear();
    m_index = int16_t(map);
    m_values.StationLatitude = 41.7;
    m_values.StationLongitude = -72.7;
    Form4 form(m_values, m_index);
    form.PlotMap();

    QVERIFY(form.isVisible());
    QCOMPARE(form.picInner->size(), picture);
    QVERIFY(form.lblMe->isVisible());
    QVERIFY(form.lblCall->isVisible());
    QVERIFY(!form.picInner->grab().isNull());
    if (picture == kBlankMapSize)
        QVERIFY(form.mapImage().isNull());
}

void tst_MapWindow::noStationHidesItsLabel()
{
    m_values.StationLatitude = 0;
    m_values.StationLongitude = -72.7;
    Form4 form(m_values, m_index);
    form.PlotMap();
    QCOMPARE(form.drawing().kind, StationCase::None);
    QVERIFY(!form.lblCall->isVisible());
    QVERIFY(!form.Shape2->isVisible());
    QVERIFY(form.lblMe->isVisible());
    QVERIFY(form.Shape1->isVisible());
}

void tst_MapWindow::ownLatitudeIsKeptBelow89()
{
    m_values.OwnLatitude = 89.5;
    Form4 form(m_values, m_index);
    form.PlotMap();
    QCOMPARE(m_values.OwnLatitude, 89.0);
}

void tst_MapWindow::openingCentresThePointer()
{
    QCursor::setPos(3, 3);
    if (QCursor::pos() != QPoint(3, 3))
        QSKIP("this platform does not move the pointer");
    Form4 form(m_values, m_index);
    form.PlotMap();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(QCursor::pos(), QPoint(screen.x() + screen.width() / 2, screen.y() + screen.height() / 2));
    // Only the first plot of an opened window moves it.
    QCursor::setPos(5, 5);
    form.PlotMap();
    QCOMPARE(QCursor::pos(), QPoint(5, 5));
}

void tst_MapWindow::menuSelectsMap()
{
    Form4 form(m_values, m_index);
    form.PlotMap();
    QCOMPARE(form.mnuMap.size(), m_values.MapList.size() + 1);
    QCOMPARE(form.mnuMap.at(0)->text(), QStringLiteral(" Maps "));
    QCOMPARE(form.mnuMap.at(3)->text(), QStringLiteral("North America"));
    QCOMPARE(form.paintedMenuItem(), 1);

    form.mnuMap.at(2)->trigger();
    QCOMPARE(m_index, int16_t(1));
    QCOMPARE(form.paintedMenuItem(), 2);
    QVERIFY(form.windowTitle().contains(QStringLiteral("   Europe Map   ")));
    QCOMPARE(form.picInner->size(), QSize(1795, 1473));
    // The painted item: blue from 250 at the top to about 150 at the bottom.
    const QImage bar = form.Pic2->pixmap().toImage();
    QVERIFY(!bar.isNull());
    QVERIFY(near(bar.pixel(0, 0), QColor(0, 0, 250), 2));
    QVERIFY(near(bar.pixel(0, bar.height() - 1), QColor(0, 0, 154), 10));
}

void tst_MapWindow::mapsItemReturnsToCallBox()
{
    Form4 form(m_values, m_index);
    form.PlotMap();
    QSignalSpy focus(&form, &Form4::FocusCallBox);
    form.mnuMap.at(0)->trigger();
    QCOMPARE(focus.count(), 1);
    QCOMPARE(m_index, int16_t(0));
    QVERIFY(form.isVisible());
}

void tst_MapWindow::dragPansWithinLimits()
{
    // West Africa: the view sits well inside the world map, which is larger than the screen.
    m_values.StationLatitude = 5.0;
    m_values.StationLongitude = 20.0;
    Form4 form(m_values, m_index);
    form.PlotMap();
    QVERIFY(form.canDragX());
    QVERIFY(form.canDragY());
    QWidget *map = form.picInner;
    const QPoint start = map->pos();
    const QPoint anchor = QPoint(-start.x(), -start.y()) + QPoint(300, 200);

    sendMouse(map, QEvent::MouseButtonPress, anchor, Qt::LeftButton, Qt::LeftButton);
    sendMouse(map, QEvent::MouseMove, anchor, Qt::NoButton, Qt::LeftButton);  // arms only
    QCOMPARE(map->pos(), start);
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(map->pos(), start + QPoint(30, 20));
    // Pulled far to the right: a gap would open on the left, so only the vertical part moves.
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(5000, -10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(map->pos(), start + QPoint(30, 10));
    // Without the button nothing moves.
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(-40, -40), Qt::NoButton, Qt::NoButton);
    QCOMPARE(map->pos(), start + QPoint(30, 10));

    // A new plot disarms: its first move only takes the anchor.
    form.PlotMap();
    const QPoint replotted = map->pos();
    sendMouse(map, QEvent::MouseMove, anchor + QPoint(25, 25), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(map->pos(), replotted);
}

void tst_MapWindow::resizeKeepsMapInView()
{
    Form4 form(m_values, m_index);
    form.PlotMap();
    QSignalSpy focus(&form, &Form4::FocusCallBox);
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
    QTest::newRow("double click on lblMe") << "lblMe";
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
    Form4 form(m_values, m_index);
    form.PlotMap();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy focus(&form, &Form4::FocusCallBox);

    if (how == QLatin1String("escape") || how == QLatin1String("key")) {
        QTest::keyClick(&form, how == QLatin1String("key") ? Qt::Key_A : Qt::Key_Escape);
    } else {
        QWidget *target = how == QLatin1String("lblMe")   ? static_cast<QWidget *>(form.lblMe)
            : how == QLatin1String("lblCall")             ? static_cast<QWidget *>(form.lblCall)
                                                          : form.picInner;
        const QPoint centre = target == form.picInner
            ? form.picInner->mapTo(&form, QPoint(-form.picInner->x(), -form.picInner->y())
                                              + QPoint(100, 100))
            : target->mapTo(&form, target->rect().center());
        QVERIFY2(form.rect().contains(centre), "target not in view");
        QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
    }
    const bool closed = how != QLatin1String("key");
    QCOMPARE(form.isVisible(), !closed);
    QCOMPARE(focus.count() >= 1, closed);
}

QTEST_MAIN(tst_MapWindow)
#include "tst_mapwindow.moc"
