// The map window offscreen: plotting on each map, the map menu, the open map following a drag
// and a lookup, closing. tst_mapplot checks MapPlot's arithmetic.

#include "windows/MapWindow.h"

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace torvane;

class tst_MapWindow : public QObject {
    Q_OBJECT
    ProgramValues m_values;
    int16_t m_index = 0;

    // The station at (lat, lon) plotted on map `map` of the list; the own station in Utrecht.
    std::unique_ptr<MapWindow> plot(int map, double lat, double lon)
    {
        m_index = int16_t(map);
        m_values.StationLatitude = lat;
        m_values.StationLongitude = lon;
        auto form = std::make_unique<MapWindow>(m_values, m_index);
        form->PlotMap();
        return form;
    }

private slots:
    void init()
    {
        m_values = ProgramValues();
        m_values.DataFolder = QStringLiteral(TORVANE_SOURCE_DIR "/data");  // only read
        m_values.MapList = {"World Map.jpg", "Europe Map.jpg", "Gone Map.jpg"};
        m_values.OwnLatitude = 52.1;
        m_values.OwnLongitude = 5.1;
    }

    void plotsChosenMap_data()
    {
        QTest::addColumn<int>("map");
        QTest::addColumn<double>("lat");
        QTest::addColumn<QSize>("picture");
        QTest::newRow("World: station ringed") << 0 << 41.7 << QSize(2800, 1410);
        QTest::newRow("Europe: station off it, beam line") << 1 << 41.7 << QSize(1795, 1473);
        QTest::newRow("no station: its label hidden") << 0 << 0.0 << QSize(2800, 1410);
        QTest::newRow("file gone: blank") << 2 << 41.7 << kBlankMapSize;
        QTest::newRow("index past the list: blank") << 9 << 41.7 << kBlankMapSize;
    }
    void plotsChosenMap()
    {
        QFETCH(int, map);
        QFETCH(double, lat);
        QFETCH(QSize, picture);
        const auto form = plot(map, lat, -72.7);
        const StationDrawing &d = form->drawing();
        QVERIFY(form->isVisible() && form->lblMe->isVisible());
        QCOMPARE(form->picInner->size(), picture);
        QCOMPARE(form->lblCall->isVisible(), lat != 0);
        QCOMPARE(form->Shape2->isVisible(), lat != 0);
        QVERIFY2(QRect(form->picInner->pos(), picture).contains(form->picOuter->rect()), "gap");

        // Painted: black rings round the station, or a blue line along the heading.
        const QImage painted = form->picInner->grab().toImage();
        const QPoint ring = d.station + QPoint(kStationRing, 0);
        const QPoint beam = ((QPointF(d.own) + d.beamEnd) / 2).toPoint();
        if (d.kind == StationCase::Circles)
            QVERIFY2(painted.valid(ring) && qGray(painted.pixel(ring)) < 60, "no ring");
        if (d.kind == StationCase::BeamLine)
            QVERIFY2(qBlue(painted.pixel(beam)) > 200 && qRed(painted.pixel(beam)) < 80, "no beam");
    }

    void menuChoosesMap()
    {
        const auto form = plot(0, 41.7, -72.7);
        form->mnuMap.at(2)->trigger();
        QCOMPARE(m_index, int16_t(1));
        QCOMPARE(form->paintedMenuItem(), 2);
        QVERIFY2(form->windowTitle().contains(u"Europe Map"), qPrintable(form->windowTitle()));
        QCOMPARE(form->picInner->size(), QSize(1795, 1473));  // re-plotted on it
        // " Maps " goes back to the call box and leaves the map as it is.
        QSignalSpy focus(form.get(), &MapWindow::FocusCallBox);
        form->mnuMap.at(0)->trigger();
        QCOMPARE(focus.count(), 1);
        QCOMPARE(m_index, int16_t(1));
    }

    // The open map follows a drag and pans to the station of a new lookup; a drag begun before
    // the lookup does not carry on.
    void openMapFollowsDragAndLookup()
    {
        const auto form = plot(0, -33.87, 151.21);  // Sydney: the view at the lower right corner
        QWidget *map = form->picInner;
        const QPoint start = map->pos();
        const QPoint anchor = QPoint(300, 200) - start;  // a point in view, in map pixels
        QTest::mousePress(map, Qt::LeftButton, {}, anchor);
        QTest::mouseMove(map, anchor);  // arms only
        QTest::mouseMove(map, anchor + QPoint(30, 20));
        QCOMPARE(map->pos(), start + QPoint(30, 20));
        QTest::mouseRelease(map, Qt::LeftButton, {}, anchor + QPoint(30, 20));
        QTest::mouseMove(map, anchor + QPoint(-40, -40));
        QCOMPARE(map->pos(), start + QPoint(30, 20));

        m_values.StationLatitude = 5.0;  // West Africa
        m_values.StationLongitude = 20.0;
        m_values.OwnLatitude = 89.5;  // held within 89 degrees by every plot
        QTest::mousePress(map, Qt::LeftButton, {}, anchor);
        form->PlotMap();
        QCOMPARE(m_values.OwnLatitude, 89.0);
        const QPoint africa = map->pos();
        QVERIFY(africa != start);
        QCOMPARE(africa, form->drawing().picturePos.value_or(QPoint(-9999, -9999)));
        QCOMPARE(form->lblCall->geometry(), form->drawing().callLabel);
        QCOMPARE(form->lblMe->geometry(), form->drawing().meLabel);
        QTest::mouseMove(map, anchor + QPoint(25, 25));
        QCOMPARE(map->pos(), africa);
    }

    void closes_data()
    {
        QTest::addColumn<int>("key");  // 0: a double click on lblCall, which lets it through
        QTest::addColumn<bool>("closed");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("double click on the station's label") << 0 << true;
        QTest::newRow("another key stays open") << int(Qt::Key_A) << false;
    }
    void closes()
    {
        QFETCH(int, key);
        QFETCH(bool, closed);
        const auto form = plot(1, 51.5, -0.13);  // London: both stations in view on Europe
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QSignalSpy focus(form.get(), &MapWindow::FocusCallBox);
        const QPoint label = form->lblCall->mapTo(form.get(), form->lblCall->rect().center());
        if (key)
            QTest::keyClick(form.get(), Qt::Key(key));
        else
            QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, label);
        QCOMPARE(form->isVisible(), !closed);
        QCOMPARE(focus.count() >= 1, closed);
    }
};

QTEST_MAIN(tst_MapWindow)
#include "tst_mapwindow.moc"
