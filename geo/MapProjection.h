#pragma once
// The map catalogue: which map suits a station, and where a position lands on each map image.
// Each map has its own hand-fitted projection; the constants are the calibration of the images
// in the Maps folder, which are drawn through these same functions.

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

namespace torvane {

/// A usable map file: its name without the last four characters (the extension) ends in "Map".
bool IsMapFile(const QString &fileName);

/// Map name of a file: the name without its last four characters ("World Map").
QString MapNameOf(const QString &fileName);

/// Menu caption of a map file: " Map.jpg" and then " Map.gif" removed ("World").
QString MapCaptionOf(const QString &fileName);

/// Index of the first entry of the map list that contains name (case-sensitive); -1 for none.
int FindMapIndex(const QStringList &mapFiles, const QString &name);

/// Names of every map the projection knows, in the order of the map choice
/// ("World Map" last but one, "N-Nederland Map" last: it is never chosen automatically).
QStringList KnownMapNames();

/// Box of the automatic map choice, degrees; a position strictly inside it gets the map.
struct MapBox {
    double lonMin, lonMax, latMin, latMax;
};

/// The box in which ChooseMapName picks the map called name; empty for "World Map" (everything
/// else), "N-Nederland Map" (menus only) and unknown names.
std::optional<MapBox> ChoiceBox(const QString &name);

/// The map that suits a station at (lat, lon) degrees; "World Map" when no smaller map's box
/// strictly contains the position.
QString ChooseMapName(double lat, double lon);

/// Image pixel position of (lat, lon) degrees on the map called name (exact, case-sensitive),
/// before rounding; empty for a name the projection does not know.
std::optional<QPointF> ProjectToMapF(const QString &name, double lat, double lon);

/// The same rounded to whole pixels, halves to the even neighbour.
std::optional<QPoint> ProjectToMap(const QString &name, double lat, double lon);

}  // namespace torvane
