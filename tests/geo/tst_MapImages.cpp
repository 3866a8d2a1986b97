// The shipped map images against the projection that plots stations on them: places on land
// must fall on land pixels, open sea on sea pixels, and each image must hold its map's box.

#include "geo/MapProjection.h"
#include "tools/maps/MapPainter.h"

#include <QImage>
#include <QImageReader>
#include <QtTest>

using namespace torvane;
Q_DECLARE_METATYPE(torvane::MapBox)
namespace palette = torvane::mapgen::palette;

namespace {

QString mapsFolder() { return QStringLiteral(TORVANE_SOURCE_DIR "/data/Maps/"); }

int colourDistance(QRgb a, const QColor &b)
{
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) + std::abs(qBlue(a) - b.blue());
}

// "land" or "sea" by the majority of the 5 x 5 pixels around p, each pixel taken as the nearest
// palette colour; lines (coast, borders, graticule) count as neither. Else "unclear".
QString surfaceAt(const QImage &image, QPoint p)
{
    int land = 0, sea = 0;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (!image.rect().contains(p + QPoint(dx, dy)))
                continue;
            const QRgb c = image.pixel(p + QPoint(dx, dy));
            const int toLand = colourDistance(c, palette::kLand), toSea = colourDistance(c, palette::kSea);
            const int toLine = std::min({colourDistance(c, palette::kCoast), colourDistance(c, palette::kBorder),
                                         colourDistance(c, palette::kGraticule)});
            land += toLand < toSea && toLand < toLine;
            sea += toSea < toLand && toSea < toLine;
        }
    }
    if (land > sea && land >= 8)
        return QStringLiteral("land");
    return sea > land && sea >= 8 ? QStringLiteral("sea") : QStringLiteral("unclear");
}

}  // namespace

class tst_MapImages : public QObject {
    Q_OBJECT
    QHash<QString, QImage> m_images;

private slots:
    void initTestCase()
    {
        for (const QString &name : KnownMapNames()) {
            const QString path = mapsFolder() + name + QStringLiteral(".jpg");
            QImageReader reader(path);
            QCOMPARE(reader.format(), QByteArray("jpeg"));
            m_images.insert(name, reader.read());
            QVERIFY2(!m_images[name].isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
            QVERIFY2(QFileInfo(path).size() <= 1500 * 1000, qPrintable(path));
        }
    }

    void placeFallsOnItsSurface_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("surface");
        // On each map a city that must be on land and a place that must be at sea.
        const auto places = [](const char *map, const char *city, double lat, double lon, const char *sea, double seaLat,
                               double seaLon) {
            QTest::addRow("%s: %s", map, city) << QString::fromLatin1(map) << lat << lon << QStringLiteral("land");
            QTest::addRow("%s: %s", map, sea) << QString::fromLatin1(map) << seaLat << seaLon << QStringLiteral("sea");
        };
        places("World Map", "Canberra", -35.28, 149.13, "mid Atlantic", 30.0, -40.0);
        places("World Map", "Chukotka, drawn again east of 180", 66.0, -172.0, "Pacific west of 170 W", 0.0, -175.0);
        places("North America Map", "Washington", 38.90, -77.04, "Pacific", 30.0, -125.0);
        places("Australia Map", "Sydney", -33.87, 151.21, "Great Australian Bight", -36.0, 132.0);
        places("New Zealand Map", "Wellington", -41.29, 174.78, "Tasman Sea", -40.0, 168.0);
        places("UK Map", "London", 51.51, -0.13, "North Sea", 56.0, 2.0);
        places("Europe Map", "Seville", 37.39, -5.98, "Mediterranean", 35.0, 18.0);
        places("Japan Map", "Sapporo", 43.06, 141.35, "Pacific", 33.0, 143.0);
        places("Asia Map", "Jakarta", -6.21, 106.85, "Indian Ocean", -15.0, 90.0);
        places("N-Nederland Map", "Groningen", 53.22, 6.57, "Wadden Sea", 53.33, 5.6);
    }
    void placeFallsOnItsSurface()
    {
        QFETCH(QString, map);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, surface);
        const QPoint pixel = ProjectToMap(map, lat, lon).value_or(QPoint(-99, -99));  // off the image: unclear
        QCOMPARE(surfaceAt(m_images[map], pixel), surface);
    }

    // Every point of the box that the projection puts at x, y >= 0 lies on the image: a station
    // for which this map is chosen is never plotted off the bottom or right edge.
    void imageHoldsItsBox_data()
    {
        QTest::addColumn<QString>("map");
        QTest::addColumn<MapBox>("box");
        for (const QString &name : KnownMapNames())
            if (const auto box = ChoiceBox(name))
                QTest::newRow(qPrintable(name)) << name << *box;
        // The world map holds the whole globe from 170 W to 190 E.
        QTest::newRow("World Map") << QStringLiteral("World Map") << MapBox{-170, 190, -90, 90};
    }
    void imageHoldsItsBox()
    {
        QFETCH(QString, map);
        QFETCH(MapBox, box);
        for (int i = 0; i <= 100; ++i) {
            for (int j = 0; j <= 100; ++j) {
                const double lat = box.latMin + (box.latMax - box.latMin) * j / 100;
                const double lon = box.lonMin + (box.lonMax - box.lonMin) * i / 100;
                const QPoint p = *ProjectToMap(map, lat, lon);
                if (p.x() >= 0 && p.y() >= 0)
                    QVERIFY2(m_images[map].rect().contains(p), qPrintable(QStringLiteral("%1, %2").arg(lat).arg(lon)));
            }
        }
    }
};

QTEST_MAIN(tst_MapImages)
#include "tst_MapImages.moc"
