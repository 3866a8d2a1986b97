#include "geo/MapProjection.h"

#include "core/TextUtil.h"

#include <array>
#include <cmath>

namespace torvane {

namespace {

// The polar maps convert their angle with this constant (3.14159625, digits swapped on purpose:
// the images were fitted with it).
constexpr double kPolarPi = 3.14159625;

struct BoxRule {
    const char *name;
    double lonMin, lonMax, latMin, latMax;
};

// Tried in order; the first box that strictly contains the position wins.
constexpr std::array<BoxRule, 7> kBoxes = {{
    {"North America Map", -135, -55, 9, 55},
    {"Australia Map", 122, 155, -45, -10},
    {"New Zealand Map", 166, 179, -48, -33},
    {"UK Map", -12, 3, 49, 60},
    {"Europe Map", -23, 54, 29, 60},
    {"Japan Map", 126, 148, 25, 45},
    {"Asia Map", 54, 148, -26, 62},
}};

// World map: Robinson table at 5-degree steps, single precision, plus this program's
// horizontal correction in pixels.
struct WorldRow {
    float latitude;
    float length;    // relative length of the parallel
    float distance;  // relative distance from the equator
    int correction;  // pixels
};
constexpr std::array<WorldRow, 19> kWorld = {{
    {0, 1.0000f, 0.0000f, 0},    {5, 0.9986f, 0.0620f, 0},    {10, 0.9954f, 0.1240f, 0},
    {15, 0.9900f, 0.1860f, 1},   {20, 0.9822f, 0.2480f, 2},   {25, 0.9730f, 0.3100f, 2},
    {30, 0.9600f, 0.3720f, 3},   {35, 0.9427f, 0.4340f, 4},   {40, 0.9216f, 0.4958f, 5},
    {45, 0.8962f, 0.5571f, 7},   {50, 0.8679f, 0.6176f, 9},   {55, 0.8350f, 0.6769f, 11},
    {60, 0.7986f, 0.7346f, 13},  {65, 0.7597f, 0.7903f, 16},  {70, 0.7186f, 0.8435f, 19},
    {75, 0.6732f, 0.8936f, 22},  {80, 0.6213f, 0.9394f, 26},  {85, 0.5722f, 0.9761f, 30},
    {90, 0.5322f, 1.0000f, 35},
}};

QPointF polar(double cx, double cy, double angleDeg, double radius)
{
    const double a = angleDeg * kPolarPi / 180;
    return QPointF(cx + radius * std::cos(a), cy + radius * std::sin(a));
}

// Hand-fitted radius correction of the North America map, pixels.
double northAmericaCorrection(double lon)
{
    const double d = roundHalfEven(std::fabs(-95 - lon));
    if (d <= 9)
        return 0;
    if (d <= 15)
        return 3;
    if (d <= 20)
        return 7;
    if (d <= 25)
        return 10;
    if (d <= 35)
        return 15;
    return d;
}

QPointF worldMap(double lat, double lon)
{
    if (lon < -170)  // the map runs from 170 W to 190 E
        lon += 360;
    const double absLat = std::fabs(lat);
    const float a = float(absLat);
    int i = int(kWorld.size()) - 1;
    double f = 0;
    // At 90 degrees and beyond no row lies above: the pole line, the map's top or bottom edge.
    for (int row = 0; row < int(kWorld.size()); ++row) {
        if (kWorld[size_t(row)].latitude > a) {
            i = row - 1;
            // Linear between the 5-degree rows. Whole degrees only (Int(|lat|) mod 5) would put
            // a station up to a degree towards the equator and break every coastline drawn
            // through this projection into 1-degree steps.
            f = (absLat - 5.0 * i) / 5;
            break;
        }
    }
    const WorldRow &r = kWorld[size_t(i)];
    const WorldRow &next = kWorld[size_t(i < int(kWorld.size()) - 1 ? i + 1 : i)];
    const float distanceStep = next.distance - r.distance;
    const float lengthStep = r.length - next.length;
    const double d = double(r.distance) + f * double(distanceStep);
    const double y = lat >= 0 ? 706 - 698 * d : 706 + 698 * d;
    const double p = double(r.length) - f * double(lengthStep);
    const double x = lon >= 0 ? 1322 + lon * (1453 * p / 190) + r.correction
                              : 1322 - std::fabs(lon) * (1300 * p / 170) + r.correction;
    return QPointF(x, y);
}

}  // namespace

bool IsMapFile(const QString &fileName)
{
    return fileName.size() > 4 && fileName.chopped(4).endsWith(u"Map");
}

QString MapNameOf(const QString &fileName)
{
    return fileName.size() > 4 ? fileName.chopped(4) : QString();
}

QString MapCaptionOf(const QString &fileName)
{
    QString caption = fileName;
    caption.remove(QStringLiteral(" Map.jpg"));
    caption.remove(QStringLiteral(" Map.gif"));
    return caption;
}

int FindMapIndex(const QStringList &mapFiles, const QString &name)
{
    for (int i = 0; i < mapFiles.size(); ++i) {
        if (mapFiles[i].contains(name))
            return i;
    }
    return -1;
}

QStringList KnownMapNames()
{
    QStringList names;
    for (const BoxRule &box : kBoxes)
        names << QString::fromLatin1(box.name);
    names << QStringLiteral("World Map") << QStringLiteral("N-Nederland Map");
    return names;
}

std::optional<MapBox> ChoiceBox(const QString &name)
{
    for (const BoxRule &box : kBoxes) {
        if (name == QLatin1String(box.name))
            return MapBox{box.lonMin, box.lonMax, box.latMin, box.latMax};
    }
    return std::nullopt;
}

QString ChooseMapName(double lat, double lon)
{
    for (const BoxRule &box : kBoxes) {
        if (lon > box.lonMin && lon < box.lonMax && lat > box.latMin && lat < box.latMax)
            return QString::fromLatin1(box.name);
    }
    return QStringLiteral("World Map");
}

std::optional<QPointF> ProjectToMapF(const QString &name, double lat, double lon)
{
    if (name == u"North America Map")
        return polar(666, -1400, (-lon - 65) * 0.578 + 72.82,
                     (55 - lat) * 25.27 + 1492 - northAmericaCorrection(lon));
    if (name == u"Australia Map")
        return polar(648, 4500, (lon - 110) * 0.467 + 259.72, (lat + 36) * 35.62 + 3553);
    if (name == u"UK Map")
        return polar(483, -4100, 86.255 - lon * 0.827, (57 - lat) * 117 + 4412);
    if (name == u"Europe Map")
        return polar(800, -850, 105 - lon * 0.745, (60 - lat) * 33.12 + 1288);
    if (name == u"New Zealand Map")
        return polar(520, 7500, (lon - 170) * 0.6757 + 268.06, (lat + 38) * 106 + 7088);
    if (name == u"Japan Map")
        return polar(520, -4000, 90.37 - (lon - 136) * 0.555, (40 - lat) * 56.2 + 4450);
    if (name == u"Asia Map") {
        const double x = (lon - 40) * 13.72 + 130;
        const double y = lat < 0 ? std::pow(std::fabs(lat), 1.3) + 932 - lat * 11.5
                                 : 932 - lat * 11.5 - std::pow(lat, 1.3);
        return QPointF(x, y);
    }
    if (name == u"N-Nederland Map")
        return QPointF((lon - 3.828) * 240.16 - 14, 595 - (lat - 52.184) * 386.36 - 11);
    if (name == u"World Map")
        return worldMap(lat, lon);
    return std::nullopt;
}

std::optional<QPoint> ProjectToMap(const QString &name, double lat, double lon)
{
    const auto exact = ProjectToMapF(name, lat, lon);
    if (!exact)
        return std::nullopt;
    const auto x = toInt32(exact->x());
    const auto y = toInt32(exact->y());
    if (!x || !y)  // far outside any image (or not a number): no position
        return std::nullopt;
    return QPoint(*x, *y);
}

}  // namespace torvane
