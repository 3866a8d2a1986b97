#include "MapPainter.h"

#include "geo/MapProjection.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <cmath>

namespace torvane::mapgen {

namespace {

// A band of longitudes drawn with an offset: the world map shows 180..190 E a second time,
// as 170..180 W moved by 360 degrees.
struct LonBand {
    double lo, hi, offset;
};

QVector<LonBand> bandsFor(const QString &name)
{
    if (name == u"World Map")
        return {{-170, 180, 0}, {-180, -170, 360}};
    return {{-180, 180, 0}};
}

// Longitudes made continuous: a step of more than 180 degrees is a crossing of the 180 meridian.
Line unwrap(const Line &line)
{
    Line out = line;
    for (int i = 1; i < out.size(); ++i) {
        double lon = out[i].x();
        const double prev = out[i - 1].x();
        while (lon - prev > 180)
            lon -= 360;
        while (lon - prev < -180)
            lon += 360;
        out[i].setX(lon);
    }
    return out;
}

// A ring around a pole does not close after unwrapping; close it along the pole line.
Line closeAroundPole(Line ring)
{
    if (ring.size() < 3 || std::fabs(ring.last().x() - ring.first().x()) < 180)
        return ring;
    double sumLat = 0;
    for (const QPointF &p : ring)
        sumLat += p.y();
    const double pole = sumLat < 0 ? -90 : 90;
    ring << QPointF(ring.last().x(), pole) << QPointF(ring.first().x(), pole);
    return ring;
}

Line shifted(Line line, double by)
{
    for (QPointF &p : line)
        p.setX(p.x() + by);
    return line;
}

bool overlaps(const Line &line, const LonBand &band)
{
    double lo = 1e9, hi = -1e9;
    for (const QPointF &p : line) {
        lo = std::min(lo, p.x());
        hi = std::max(hi, p.x());
    }
    return hi >= band.lo && lo <= band.hi;
}

constexpr double kShifts[] = {-360, 0, 360};

QPointF cut(const QPointF &a, const QPointF &b, double lon)
{
    const double t = (lon - a.x()) / (b.x() - a.x());
    return QPointF(lon, a.y() + t * (b.y() - a.y()));
}

// Sutherland-Hodgman against one meridian; keepEast keeps lon >= limit, else lon <= limit.
Line clipRingSide(const Line &ring, double limit, bool keepEast)
{
    Line out;
    const int n = ring.size();
    auto inside = [&](const QPointF &p) { return keepEast ? p.x() >= limit : p.x() <= limit; };
    for (int i = 0; i < n; ++i) {
        const QPointF &cur = ring[i];
        const QPointF &prev = ring[(i + n - 1) % n];
        if (inside(cur)) {
            if (!inside(prev))
                out << cut(prev, cur, limit);
            out << cur;
        } else if (inside(prev)) {
            out << cut(prev, cur, limit);
        }
    }
    return out;
}

Line clipRing(const Line &ring, const LonBand &band)
{
    return clipRingSide(clipRingSide(ring, band.lo, true), band.hi, false);
}

QVector<Line> clipLine(const Line &line, const LonBand &band)
{
    QVector<Line> pieces;
    Line current;
    auto inside = [&](const QPointF &p) { return p.x() >= band.lo && p.x() <= band.hi; };
    for (int i = 0; i < line.size(); ++i) {
        const QPointF &p = line[i];
        if (i > 0) {
            const QPointF &q = line[i - 1];
            for (double limit : {band.lo, band.hi}) {
                const bool crosses = (q.x() < limit && p.x() > limit) || (q.x() > limit && p.x() < limit);
                if (crosses) {
                    const QPointF c = cut(q, p, limit);
                    if (inside(q)) {
                        current << c;
                        pieces << current;
                        current.clear();
                    } else {
                        current << c;
                    }
                }
            }
        }
        if (inside(p))
            current << p;
        else if (current.size() > 1) {
            pieces << current;
            current.clear();
        } else {
            current.clear();
        }
    }
    if (current.size() > 1)
        pieces << current;
    return pieces;
}

// Long edges bend under the conic projections: subdivide to at most step degrees.
Line densify(const Line &line, double step, bool closed)
{
    Line out;
    const int n = line.size();
    const int edges = closed ? n : n - 1;
    for (int i = 0; i < edges; ++i) {
        const QPointF a = line[i];
        const QPointF b = line[(i + 1) % n];
        out << a;
        const double len = std::max(std::fabs(b.x() - a.x()), std::fabs(b.y() - a.y()));
        const int parts = int(std::ceil(len / step));
        for (int k = 1; k < parts; ++k)
            out << a + (b - a) * (double(k) / parts);
    }
    if (!closed && n > 0)
        out << line.last();
    return out;
}

QPolygonF project(const QString &name, const Line &line, double offset)
{
    QPolygonF out;
    out.reserve(line.size());
    for (const QPointF &p : line)
        out << *ProjectToMapF(name, p.y(), p.x() + offset);
    return out;
}

// Artificial edges of the data set (the cut along 180 degrees, the south pole line) are no coast.
QVector<Line> splitArtificial(const Line &line)
{
    QVector<Line> pieces;
    Line current;
    for (int i = 0; i < line.size(); ++i) {
        if (i > 0) {
            const QPointF &a = line[i - 1];
            const QPointF &b = line[i];
            const bool onCut = std::fabs(a.x()) > 179.999 && std::fabs(b.x()) > 179.999
                && (a.x() > 0) == (b.x() > 0);
            const bool onPole = a.y() < -89.99 && b.y() < -89.99;
            if (onCut || onPole) {
                if (current.size() > 1)
                    pieces << current;
                current.clear();
            }
        }
        current << line[i];
    }
    if (current.size() > 1)
        pieces << current;
    return pieces;
}

void strokeLines(QPainter &painter, const MapSheet &sheet, const QVector<Line> &lines, double step)
{
    for (const Line &raw : lines) {
        const Line line = unwrap(raw);
        for (const LonBand &band : bandsFor(sheet.name)) {
            for (double shift : kShifts) {
                const Line moved = shifted(line, shift);
                if (!overlaps(moved, band))
                    continue;
                for (const Line &piece : clipLine(moved, band))
                    painter.drawPolyline(
                        project(sheet.name, densify(piece, step, false), band.offset));
            }
        }
    }
}

// The graticule as lines of longitude/latitude degrees.
QVector<Line> graticule(double step)
{
    QVector<Line> lines;
    const double fine = std::min(step / 4, 0.25);
    for (double lat = -90 + step; lat < 90 - 1e-9; lat += step) {
        Line line;
        for (double lon = -180; lon <= 180 + 1e-9; lon += fine)
            line << QPointF(lon, lat);
        lines << line;
    }
    for (double lon = -180; lon <= 180 + 1e-9; lon += step) {
        Line line;
        for (double lat = -90; lat <= 90 + 1e-9; lat += fine)
            line << QPointF(lon, lat);
        lines << line;
    }
    return lines;
}

// Outline of the world map: 170 W and 190 E edges and the two pole lines.
QPainterPath worldFrame(const QString &name)
{
    Line ring;
    for (double lat = -90; lat <= 90; lat += 0.25)
        ring << QPointF(-170, lat);
    for (double lon = -170; lon <= 190; lon += 0.5)
        ring << QPointF(lon, 90);
    for (double lat = 90; lat >= -90; lat -= 0.25)
        ring << QPointF(190, lat);
    for (double lon = 190; lon >= -170; lon -= 0.5)
        ring << QPointF(lon, -90);
    QPainterPath path;
    path.addPolygon(project(name, ring, 0));
    path.closeSubpath();
    return path;
}

}  // namespace

QSize coverSize(const QString &name)
{
    const auto box = ChoiceBox(name);
    if (!box)
        return QSize();
    double maxX = 0, maxY = 0;
    const int samples = 400;
    for (int i = 0; i <= samples; ++i) {
        const double f = double(i) / samples;
        const double lon = box->lonMin + f * (box->lonMax - box->lonMin);
        const double lat = box->latMin + f * (box->latMax - box->latMin);
        for (const QPointF &p : {QPointF(lon, box->latMin), QPointF(lon, box->latMax),
                                 QPointF(box->lonMin, lat), QPointF(box->lonMax, lat)}) {
            const QPointF px = *ProjectToMapF(name, p.y(), p.x());
            maxX = std::max(maxX, px.x());
            maxY = std::max(maxY, px.y());
        }
    }
    const int margin = 8;  // pixels past the box, so its edge is not the image edge
    return QSize(int(std::ceil(maxX)) + margin, int(std::ceil(maxY)) + margin);
}

QVector<MapSheet> shippedMaps()
{
    return {
        {QStringLiteral("World Map"), QSize(2800, 1410), 10, false},
        {QStringLiteral("North America Map"), coverSize(QStringLiteral("North America Map")), 5, false},
        {QStringLiteral("Australia Map"), coverSize(QStringLiteral("Australia Map")), 5, false},
        {QStringLiteral("New Zealand Map"), coverSize(QStringLiteral("New Zealand Map")), 2, true},
        {QStringLiteral("UK Map"), coverSize(QStringLiteral("UK Map")), 2, true},
        {QStringLiteral("Europe Map"), coverSize(QStringLiteral("Europe Map")), 5, false},
        {QStringLiteral("Japan Map"), coverSize(QStringLiteral("Japan Map")), 2, true},
        {QStringLiteral("Asia Map"), coverSize(QStringLiteral("Asia Map")), 5, false},
        // Northern Netherlands, from about 3.9 E to 7.2 E and 52.1 N to 53.7 N.
        {QStringLiteral("N-Nederland Map"), QSize(800, 600), 0.5, true},
    };
}

QImage drawMap(const MapSheet &sheet, const Topology &land)
{
    QImage image(sheet.size, QImage::Format_RGB32);
    const bool world = sheet.name == u"World Map";
    const double step = world ? 0.5 : 0.1;
    const double scale = world ? 0.8 : (sheet.name == u"N-Nederland Map" ? 1.6 : 1.0);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    if (world) {
        image.fill(palette::kOutside);
        frame = worldFrame(sheet.name);
        painter.fillPath(frame, palette::kSea);
        painter.setClipPath(frame);
    } else {
        image.fill(palette::kSea);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::kLand);
    for (const Polygon &polygon : land.polygons(QStringLiteral("land"))) {
        QVector<Line> rings;
        for (const Line &ring : polygon.rings)
            rings << closeAroundPole(unwrap(ring));
        for (const LonBand &band : bandsFor(sheet.name)) {
            for (double shift : kShifts) {
                QPainterPath path;
                path.setFillRule(Qt::OddEvenFill);
                for (const Line &ring : rings) {
                    const Line moved = shifted(ring, shift);
                    if (!overlaps(moved, band))
                        continue;
                    const Line clipped = clipRing(moved, band);
                    if (clipped.size() < 3)
                        continue;
                    path.addPolygon(project(sheet.name, densify(clipped, step, true), band.offset));
                    path.closeSubpath();
                }
                if (!path.isEmpty())
                    painter.drawPath(path);
            }
        }
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette::kGraticule, 0.6 * scale));
    strokeLines(painter, sheet, graticule(sheet.graticule), step);

    painter.setPen(QPen(palette::kBorder, 0.8 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    strokeLines(painter, sheet, land.sharedBorders(QStringLiteral("countries")), step);

    QVector<Line> coast;
    for (const Line &line : land.outline(QStringLiteral("land")))
        coast += splitArtificial(line);
    painter.setPen(QPen(palette::kCoast, 1.0 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    strokeLines(painter, sheet, coast, step);

    if (world) {
        painter.setClipping(false);
        painter.setPen(QPen(palette::kCoast, 1.2));
        painter.drawPath(frame);
    }
    painter.end();
    return image;
}

}  // namespace torvane::mapgen
