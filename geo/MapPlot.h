#pragma once
// Geometry of the map window: where the two stations, their labels and frames, and the beam
// line go on the map picture, how the picture is panned inside the viewport, and the limits of
// dragging it. Pure computation in map-image pixels (x right, y down); the window only paints.

#include <QPoint>
#include <QList>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace torvane {

/// Picture size used when a map file is missing or cannot be decoded, pixels.
inline constexpr QSize kBlankMapSize{800, 600};

/// Radius of the large circle around the looked-up station, pixels; its label sits above it.
inline constexpr int kStationRing = 25;

/// Length of the beam-heading line, pixels.
inline constexpr double kBeamLength = 100;

/// What DrawStations reads.
struct StationPlotInput {
    QString mapName;        ///< "World Map"; a name the projection does not know plots at (0, 0)
    QSize picture;          ///< picInner size, pixels
    QSize viewport;         ///< picOuter size, pixels
    double ownLat = 0;      ///< degrees; 0/0 means not known
    double ownLon = 0;
    double stationLat = 0;  ///< degrees; a latitude of 0 means no looked-up station
    double stationLon = 0;
    bool useMiles = false;
    QString call;           ///< CurrentCall
    QString unitWord;       ///< language item 40 (miles) or 41 (kilometres)
    QString meText;         ///< language item 27, with its blanks
};

/// How the looked-up station is shown.
enum class StationCase {
    None,      ///< no looked-up position: only the own station
    BeamLine,  ///< own station on the map, station off it: a line along the beam heading
    Circles    ///< every other situation: two circles around the station
};

/// Everything DrawStations places, in picInner pixels.
struct StationDrawing {
    StationCase kind = StationCase::None;
    QPoint own;              ///< (ownX, ownY); (0, 0) when the own position is not known
    QPoint station;          ///< (x2, y2); (0, 0) in case None
    QPointF beamEnd;         ///< end of the beam line (case BeamLine)
    int distance = 0;        ///< shown distance, whole km or miles
    int azimuth = 0;         ///< shown azimuth, degrees
    QString callText;        ///< lblCall text; empty in case None
    QRect callLabel;         ///< lblCall geometry
    QRect callFrame;         ///< Shape2 geometry
    QString meText;          ///< lblMe text
    QRect meLabel;           ///< lblMe geometry
    QRect meFrame;           ///< Shape1 geometry
    std::optional<QPoint> picturePos;  ///< picInner left/top after the pan; empty: no pan
    QList<QList<QPointF>> path;   ///< the great-circle path between the stations, in pieces
};

/// The short great-circle path from the own station to the station on a map: the projected
/// path cut where the projection has no point or jumps (across the date line), pieces of at
/// least two points; none when either position is not known.
QList<QList<QPointF>> greatCircleOnMap(const QString &mapName, QSize picture, double ownLat,
                                  double ownLon, double stationLat, double stationLon);

/// Size in pixels a label takes for a text (the window measures with its font).
using LabelMeasure = std::function<QSize(const QString &text)>;

/// Own latitude as the plot keeps it: limited to -89..89 degrees.
double clampedOwnLatitude(double lat);

/// Places both stations, the labels, their frames and the pan for one plot.
StationDrawing DrawStations(const StationPlotInput &in, const LabelMeasure &measure);

/// Text of lblCall: " To K1ABC  Dx 5,871 km  Az 293° " for the beam line (toPrefix), else
/// " K1ABC  Dx ...". The distance is grouped by the current locale.
QString callLabelText(bool toPrefix, const QString &call, double distance,
                      const QString &unitWord, int azimuth);

/// Panning rule: picInner's left/top that centres the view on point, kept inside the limits so
/// that no edge of the viewport shows a gap; an axis on which the picture is not larger than
/// the viewport is centred instead.
QPoint panTo(QPoint point, QSize viewport, QSize picture);

/// Result of LayoutMapWindow.
struct MapLayout {
    QPoint picturePos;  ///< picInner left/top
    bool canDragX = false;
    bool canDragY = false;
};

/// Places the picture in a client area: centred where it is smaller, centred on the map where
/// it is larger (then draggable). border = picOuter's outer minus inner size.
MapLayout layoutMapWindow(QSize picture, QSize client, QSize border = QSize(0, 0));

/// picInner position after the viewport changed size: centred on an axis where the picture is
/// smaller, otherwise pos kept inside [viewport - picture, 0].
QPoint keepInView(QPoint pos, QSize viewport, QSize picture);

/// Left-button dragging of the picture. The anchor is a point in picture pixels; moving the
/// picture by (pointer - anchor) brings the pointer back onto the anchor.
class MapDrag {
public:
    /// Every plot disarms: the next move only takes the anchor.
    void reset() { m_armed = false; }
    bool armed() const { return m_armed; }
    QPoint anchor() const { return m_anchor; }

    /// Left button went down at pointer (picture pixels).
    void press(QPointF pointer);

    /// Pointer moved. Returns the new picInner position, or nothing when the picture stays.
    /// A move that would open a gap at an edge is ignored in that direction.
    std::optional<QPoint> move(QPointF pointer, bool leftHeld, QPoint picturePos, QSize viewport,
                               QSize picture, bool canDragX, bool canDragY);

private:
    bool m_armed = false;
    QPoint m_anchor;
};

/// Where PlotMap puts its window: the client area holds the map (capped to what fits on the
/// screen) below the menu bar, the window is centred in the available screen area.
struct MapWindowPlacement {
    QSize viewport;  ///< picOuter size
    QSize client;    ///< window client size (menu bar included)
    QPoint framePos; ///< top-left of the window frame on the screen
};

/// available: the screen without its panels; frameExtra: frame size minus client size.
MapWindowPlacement placeMapWindow(QSize picture, QRect available, QSize frameExtra,
                                  int menuHeight);

/// Window caption: "Map   World Map   (Hold down left button to move map)".
QString mapWindowCaption(const QString &mapName);

/// Blue of gradient line i (0 to 25) of the current map's menu-bar item: 250 at the top down
/// to 150 at the bottom.
int menuGradientBlue(int line);

}  // namespace torvane
