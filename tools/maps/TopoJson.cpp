#include "TopoJson.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

namespace torvane::mapgen {

namespace {
int arcIndex(int ref) { return ref < 0 ? ~ref : ref; }

QVector<int> refsOf(const QJsonArray &array)
{
    QVector<int> refs;
    refs.reserve(array.size());
    for (const QJsonValue &v : array)
        refs << v.toInt();
    return refs;
}
}  // namespace

bool Topology::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (doc.isNull()) {
        *error = parse.errorString();
        return false;
    }
    const QJsonObject root = doc.object();
    const QJsonObject transform = root.value(u"transform").toObject();
    const QJsonArray scale = transform.value(u"scale").toArray();
    const QJsonArray translate = transform.value(u"translate").toArray();
    if (scale.size() != 2 || translate.size() != 2) {
        *error = QStringLiteral("not a quantized topology");
        return false;
    }
    const double kx = scale[0].toDouble(), ky = scale[1].toDouble();
    const double dx = translate[0].toDouble(), dy = translate[1].toDouble();

    // Arcs are delta-encoded integer positions.
    for (const QJsonValue &arcValue : root.value(u"arcs").toArray()) {
        Line line;
        long long x = 0, y = 0;
        for (const QJsonValue &pv : arcValue.toArray()) {
            const QJsonArray p = pv.toArray();
            x += p[0].toInteger();
            y += p[1].toInteger();
            line << QPointF(x * kx + dx, y * ky + dy);
        }
        m_arcs << line;
    }

    const QJsonObject objects = root.value(u"objects").toObject();
    for (auto it = objects.begin(); it != objects.end(); ++it) {
        QVector<Geometry> geometries;
        for (const QJsonValue &gv : it.value().toObject().value(u"geometries").toArray()) {
            const QJsonObject g = gv.toObject();
            const QString type = g.value(u"type").toString();
            const QJsonArray arcs = g.value(u"arcs").toArray();
            Geometry geometry;
            auto addPolygon = [&](const QJsonArray &rings) {
                QVector<QVector<int>> polygon;
                for (const QJsonValue &r : rings)
                    polygon << refsOf(r.toArray());
                geometry.polygons << polygon;
            };
            if (type == u"Polygon") {
                addPolygon(arcs);
            } else if (type == u"MultiPolygon") {
                for (const QJsonValue &p : arcs)
                    addPolygon(p.toArray());
            }
            geometries << geometry;
        }
        m_objects.insert(it.key(), geometries);
    }
    return true;
}

Line Topology::ring(const QVector<int> &refs) const
{
    Line line;
    for (int ref : refs) {
        const int index = arcIndex(ref);
        if (index >= m_arcs.size())
            continue;
        Line arc = m_arcs[index];
        if (ref < 0)
            std::reverse(arc.begin(), arc.end());
        // Consecutive arcs share their joining point.
        if (!line.isEmpty() && !arc.isEmpty())
            arc.removeFirst();
        line += arc;
    }
    return line;
}

QVector<Polygon> Topology::polygons(const QString &object) const
{
    QVector<Polygon> result;
    for (const Geometry &g : m_objects.value(object)) {
        for (const auto &polygon : g.polygons) {
            Polygon p;
            for (const auto &refs : polygon)
                p.rings << ring(refs);
            result << p;
        }
    }
    return result;
}

QVector<Line> Topology::outline(const QString &object) const
{
    QSet<int> used;
    for (const Geometry &g : m_objects.value(object))
        for (const auto &polygon : g.polygons)
            for (const auto &refs : polygon)
                for (int ref : refs)
                    used.insert(arcIndex(ref));
    // Sorted, so that the drawing (and the JPEG) is the same on every run.
    QList<int> indexes = used.values();
    std::sort(indexes.begin(), indexes.end());
    QVector<Line> lines;
    for (int index : indexes)
        if (index < m_arcs.size())
            lines << m_arcs[index];
    return lines;
}

QVector<Line> Topology::sharedBorders(const QString &object) const
{
    // Count the geometries that use each arc; an arc of two is an inner border.
    QHash<int, int> users;
    for (const Geometry &g : m_objects.value(object)) {
        QSet<int> mine;
        for (const auto &polygon : g.polygons)
            for (const auto &refs : polygon)
                for (int ref : refs)
                    mine.insert(arcIndex(ref));
        for (int index : mine)
            ++users[index];
    }
    QList<int> indexes;
    for (auto it = users.begin(); it != users.end(); ++it)
        if (it.value() >= 2 && it.key() < m_arcs.size())
            indexes << it.key();
    std::sort(indexes.begin(), indexes.end());
    QVector<Line> lines;
    for (int index : indexes)
        lines << m_arcs[index];
    return lines;
}

}  // namespace torvane::mapgen
