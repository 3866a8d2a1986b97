#pragma once
// Draws one map image through the program's own projection, so that a station plotted later
// lands where the drawing shows its place.

#include "TopoJson.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace torvane::mapgen {

struct MapSheet {
    QString name;          ///< map name as the projection knows it ("World Map")
    QSize size;            ///< pixels
    double graticule = 0;  ///< degrees between grid lines
    bool fineData = false; ///< 10m instead of 50m Natural Earth data
};

/// Colours of the shipped maps; the calibration test reads land and sea back from the images.
namespace palette {
inline const QColor kOutside(0xf4, 0xf4, 0xf2);   // beyond the world map's outline
inline const QColor kSea(0xcf, 0xdf, 0xea);
inline const QColor kLand(0xee, 0xe8, 0xd5);
inline const QColor kCoast(0x6f, 0x8c, 0xa3);
inline const QColor kBorder(0xa8, 0x8f, 0x7a);
inline const QColor kGraticule(0x9f, 0xb4, 0xc4);
}  // namespace palette

/// The nine shipped maps with their pixel sizes.
QVector<MapSheet> shippedMaps();

/// Smallest image (from the origin) that holds the map's choice box, in pixels.
QSize coverSize(const QString &name);

QImage drawMap(const MapSheet &sheet, const Topology &land);

}  // namespace torvane::mapgen
