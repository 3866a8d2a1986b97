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
        {"World Map", "Canberra", -35.28, 149.13, true},
        {"World Map", "Chukotka, drawn again east of 180", 66.0, -172.0, true},
        {"World Map", "mid Atlantic", 30.0, -40.0, false},
        {"World Map", "Pacific west of 170 W, wrapped", 0.0, -175.0, false},
        {"North America Map", "Washington", 38.90, -77.04, true},
        {"North America Map", "Pacific", 30.0, -125.0, false},
        {"Australia Map", "Sydney", -33.87, 151.21, true},
        {"Australia Map", "Great Australian Bight", -36.0, 132.0, false},
        {"New Zealand Map", "Wellington", -41.29, 174.78, true},
        {"New Zealand Map", "Tasman Sea", -40.0, 168.0, false},
        {"UK Map", "London", 51.51, -0.13, true},
        {"UK Map", "North Sea", 56.0, 2.0, false},
        {"Europe Map", "Seville", 37.39, -5.98, true},
        {"Europe Map", "Ankara", 39.93, 32.86, true},
        {"Japan Map", "Sapporo", 43.06, 141.35, true},
        {"Japan Map", "Pacific", 33.0, 143.0, false},
        {"Asia Map", "Jakarta", -6.21, 106.85, true},
        {"Asia Map", "Indian Ocean", -15.0, 90.0, false},
        {"N-Nederland Map", "Groningen", 53.22, 6.57, true},
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

    const auto pixel = ProjectToMap(map, lat, lon);
    QVERIFY(pixel);
    // Off the image nothing is counted: unclear.
    const Surface found = surfaceAt(m_images[map], *pixel);
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
                         qPrintable(QStringLiteral("%1, %2").arg(lat).arg(lon)));
        }
    }
}

QTEST_MAIN(tst_MapImages)
#include "tst_MapImages.moc"
