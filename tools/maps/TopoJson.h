#pragma once
// Reader of the world-atlas TopoJSON files (Natural Earth land and countries).
// Coordinates come out as QPointF(longitude, latitude) in degrees.

#include <QHash>
#include <QPointF>
#include <QString>
#include <QVector>

namespace torvane::mapgen {

using Line = QVector<QPointF>;

/// One polygon: the outer ring first, then its holes.
struct Polygon {
    QVector<Line> rings;
};

class Topology {
public:
    /// Reads and decodes the file; false with a reason in error when it cannot.
    bool load(const QString &path, QString *error);

    /// Every polygon of the named object (a GeometryCollection of Polygon/MultiPolygon).
    QVector<Polygon> polygons(const QString &object) const;

    /// Every arc that the object's polygons use, once each: the land's coastline.
    QVector<Line> outline(const QString &object) const;

    /// Arcs that two different geometries of the object share: the borders between countries.
    QVector<Line> sharedBorders(const QString &object) const;

private:
    struct Geometry {
        // Rings as arc references: i for arc i, ~i for arc i reversed.
        QVector<QVector<QVector<int>>> polygons;
    };
    Line ring(const QVector<int> &refs) const;

    QVector<Line> m_arcs;
    QHash<QString, QVector<Geometry>> m_objects;
};

}  // namespace torvane::mapgen
