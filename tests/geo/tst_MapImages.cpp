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

enum class Surface { Land, Sea, Unclear };

int colourDistance(QRgb a, const QColor &b)
{
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) + std::abs(qBlue(a) - b.blue());
}

// Majority of the 5 x 5 pixels around p, each pixel taken as the nearest palette colour;
// lines (coast, borders, graticule) are neither land nor sea.
Surface surfaceAt(const QImage &image, QPoint p)
{
    int land = 0, sea = 0;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (!image.rect().contains(q))
                continue;
            const QRgb c = image.pixel(q);
            const int toLand = colourDistance(c, palette::kLand);
            const int toSea = colourDistance(c, palette::kSea);
            const int toLine = std::min({colourDistance(c, palette::kCoast),
                                         colourDistance(c, palette::kBorder),
                                         colourDistance(c, palette::kGraticule)});
            if (toLand < toSea && toLand < toLine)
                ++land;
            else if (toSea < toLand && toSea < toLine)
                ++sea;
        }
    }
    if (land > sea && land >= 8)
        return Surface::Land;
    if (sea > land && sea >= 8)
        return Surface::Sea;
    return Surface::Unclear;
}

const char *surfaceName(Surface s)
{
    return s == Surface::Land ? "land" : s == Surface::Sea ? "sea" : "unclear";
}

}  // namespace

class tst_MapImages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void placeFallsOnItsSurface_data();
    void placeFallsOnItsSurface();
    void imageHoldsItsBox_data();
    void imageHoldsItsBox();

private:
    QHash<QString, QImage> m_images;
};

void tst_MapImages::initTestCase()
{
    for (const QString &name : KnownMapNames()) {
        const QString path = mapsFolder() + name + QStringLiteral(".jpg");
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(": ") + reader.errorString()));
        QVERIFY2(QFileInfo(path).size() <= 1500 * 1000, qPrintable(path));
        m_images.insert(name, image);
    }
}

void tst_MapImages::placeFallsOnItsSurface_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<bool>("land");

    struct Place {
        const char *map;
        const char *what;
        double lat, lon;
        bool land;
    };
    const Place places[] = {
        {"World Map", "Cairo", 30.04, 31.24, true},
        {"World Map", "Madrid", 40.42, -3.70, true},
        {"World Map", "Brasilia", -15.79, -47.88, true},
        {"World Map", "Moscow", 55.76, 37.62, true},
        {"World Map", "Beijing", 39.90, 116.40, true},
        {"World Map", "Nairobi", -1.29, 36.82, true},
        {"World Map", "Canberra", -35.28, 149.13, true},
        {"World Map", "Ottawa", 45.42, -75.70, true},
        {"World Map", "Mexico City", 19.43, -99.13, true},
        {"World Map", "Lima", -12.05, -77.04, true},
        {"World Map", "Perth", -31.95, 115.86, true},
        {"World Map", "Tokyo", 35.69, 139.69, true},
        {"World Map", "Chukotka, drawn again east of 180", 66.0, -172.0, true},
        {"World Map", "mid Atlantic", 30.0, -40.0, false},
        {"World Map", "equatorial Pacific", 0.0, -140.0, false},
        {"World Map", "Pacific west of 170 W, wrapped", 0.0, -175.0, false},
        {"World Map", "Indian Ocean", -20.0, 80.0, false},
        {"World Map", "Southern Ocean", -55.0, 0.0, false},

        {"North America Map", "Washington", 38.90, -77.04, true},
        {"North America Map", "Denver", 39.74, -104.99, true},
        {"North America Map", "Mexico City", 19.43, -99.13, true},
        {"North America Map", "Seattle", 47.61, -122.33, true},
        {"North America Map", "Orlando", 28.54, -81.38, true},
        {"North America Map", "Havana", 23.11, -82.37, true},
        {"North America Map", "Halifax", 44.65, -63.57, true},
        {"North America Map", "Gulf of Mexico", 25.0, -90.0, false},
        {"North America Map", "Atlantic", 35.0, -65.0, false},
        {"North America Map", "Pacific", 30.0, -125.0, false},
        {"North America Map", "Caribbean", 15.0, -75.0, false},

        {"Australia Map", "Canberra", -35.28, 149.13, true},
        {"Australia Map", "Sydney", -33.87, 151.21, true},
        {"Australia Map", "Adelaide", -34.93, 138.60, true},
        {"Australia Map", "Brisbane", -27.47, 153.03, true},
        {"Australia Map", "Katherine", -14.47, 132.26, true},
        {"Australia Map", "Alice Springs", -23.70, 133.88, true},
        {"Australia Map", "Tasmania, central", -42.0, 146.6, true},
        {"Australia Map", "Tasman Sea", -38.0, 160.0, false},
        {"Australia Map", "Great Australian Bight", -36.0, 132.0, false},
        {"Australia Map", "Gulf of Carpentaria", -15.0, 139.0, false},

        {"New Zealand Map", "Wellington", -41.29, 174.78, true},
        {"New Zealand Map", "Auckland", -36.85, 174.76, true},
        {"New Zealand Map", "Christchurch", -43.53, 172.64, true},
        {"New Zealand Map", "Dunedin", -45.87, 170.50, true},
        {"New Zealand Map", "Queenstown", -45.03, 168.66, true},
        {"New Zealand Map", "Tasman Sea", -40.0, 168.0, false},
        {"New Zealand Map", "Pacific east of the South Island", -42.0, 177.0, false},

        {"UK Map", "London", 51.51, -0.13, true},
        {"UK Map", "Edinburgh", 55.95, -3.19, true},
        {"UK Map", "Cardiff", 51.48, -3.18, true},
        {"UK Map", "Belfast", 54.60, -5.93, true},
        {"UK Map", "Dublin", 53.35, -6.26, true},
        {"UK Map", "Birmingham", 52.49, -1.89, true},
        {"UK Map", "Aberdeen", 57.15, -2.09, true},
        {"UK Map", "North Sea", 56.0, 2.0, false},
        {"UK Map", "Irish Sea", 53.8, -5.2, false},
        {"UK Map", "Atlantic west of Ireland", 53.0, -11.0, false},
        {"UK Map", "English Channel", 50.2, -2.0, false},

        {"Europe Map", "Berlin", 52.52, 13.40, true},
        {"Europe Map", "Paris", 48.86, 2.35, true},
        {"Europe Map", "Rome", 41.90, 12.50, true},
        {"Europe Map", "Warsaw", 52.23, 21.01, true},
        {"Europe Map", "Athens", 37.98, 23.73, true},
        {"Europe Map", "Ankara", 39.93, 32.86, true},
        {"Europe Map", "Seville", 37.39, -5.98, true},
        {"Europe Map", "Mediterranean", 35.0, 18.0, false},
        {"Europe Map", "Black Sea", 43.0, 34.0, false},
        {"Europe Map", "Bay of Biscay", 45.5, -5.0, false},
        {"Europe Map", "Baltic", 58.0, 20.0, false},
        {"Europe Map", "Caspian Sea", 42.0, 50.5, false},

        {"Japan Map", "Tokyo", 35.69, 139.69, true},
        {"Japan Map", "Osaka", 34.69, 135.50, true},
        {"Japan Map", "Sapporo", 43.06, 141.35, true},
        {"Japan Map", "Fukuoka", 33.59, 130.40, true},
        {"Japan Map", "Seoul", 37.57, 126.98, true},
        {"Japan Map", "Sea of Japan", 40.0, 135.0, false},
        {"Japan Map", "Pacific", 33.0, 143.0, false},
        {"Japan Map", "East China Sea", 30.0, 127.0, false},

        {"Asia Map", "Beijing", 39.90, 116.40, true},
        {"Asia Map", "New Delhi", 28.61, 77.21, true},
        {"Asia Map", "Bangkok", 13.76, 100.50, true},
        {"Asia Map", "Jakarta", -6.21, 106.85, true},
        {"Asia Map", "Kabul", 34.53, 69.17, true},
        {"Asia Map", "Ulaanbaatar", 47.89, 106.91, true},
        {"Asia Map", "Manila", 14.60, 120.98, true},
        {"Asia Map", "Bay of Bengal", 15.0, 88.0, false},
        {"Asia Map", "Arabian Sea", 15.0, 65.0, false},
        {"Asia Map", "South China Sea", 12.0, 113.0, false},
        {"Asia Map", "Indian Ocean", -15.0, 90.0, false},

        {"N-Nederland Map", "Groningen", 53.22, 6.57, true},
        {"N-Nederland Map", "Leeuwarden", 53.20, 5.80, true},
        {"N-Nederland Map", "Assen", 52.99, 6.56, true},
        {"N-Nederland Map", "Den Helder", 52.95, 4.77, true},
        {"N-Nederland Map", "North Sea", 53.0, 4.3, false},
        {"N-Nederland Map", "Wadden Sea", 53.33, 5.6, false},
    };
    for (const Place &p : places) {
        QTest::addRow("%s: %s", p.map, p.what)
            << QString::fromLatin1(p.map) << p.lat << p.lon << p.land;
    }
}

void tst_MapImages::placeFallsOnItsSurface()
{
    QFETCH(QString, map);
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(bool, land);

    const QImage &image = m_images[map];
    const auto pixel = ProjectToMap(map, lat, lon);
    QVERIFY(pixel);
    QVERIFY2(image.rect().contains(*pixel), qPrintable(QStringLiteral("(%1, %2) off the image")
                                                           .arg(pixel->x())
                                                           .arg(pixel->y())));
    const Surface found = surfaceAt(image, *pixel);
    QVERIFY2(found == (land ? Surface::Land : Surface::Sea),
             qPrintable(QStringLiteral("(%1, %2) is %3")
                            .arg(pixel->x())
                            .arg(pixel->y())
                            .arg(QLatin1String(surfaceName(found)))));
}

void tst_MapImages::imageHoldsItsBox_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<MapBox>("box");
    for (const QString &name : KnownMapNames())
        if (const auto box = ChoiceBox(name))
            QTest::newRow(qPrintable(name)) << name << *box;
    // The world map holds the whole globe from 170 W to 190 E.
    QTest::newRow("World Map") << QStringLiteral("World Map") << MapBox{-170, 190, -90, 90};
}

void tst_MapImages::imageHoldsItsBox()
{
    // Every point of the box that the projection puts at x, y >= 0 lies on the image: a station
    // for which this map is chosen is never plotted off the bottom or right edge.
    QFETCH(QString, map);
    QFETCH(MapBox, box);
    const QImage &image = m_images[map];
    for (int i = 0; i <= 100; ++i) {
        const double lon = box.lonMin + (box.lonMax - box.lonMin) * i / 100;
        for (int j = 0; j <= 100; ++j) {
            const double lat = box.latMin + (box.latMax - box.latMin) * j / 100;
            const QPoint p = *ProjectToMap(map, lat, lon);
            if (p.x() >= 0 && p.y() >= 0)
                QVERIFY2(image.rect().contains(p),
                         qPrintable(QStringLiteral("%1, %2 at (%3, %4)")
                                        .arg(lat).arg(lon).arg(p.x()).arg(p.y())));
        }
    }
}

QTEST_MAIN(tst_MapImages)
#include "tst_MapImages.moc"
