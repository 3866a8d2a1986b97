#include "geo/MapPlot.h"

#include "core/TextUtil.h"
#include "geo/Geodesy.h"
#include "geo/MapProjection.h"

#include <QChar>
#include <algorithm>
#include <cmath>

namespace torvane {

namespace {

// The beam angle is converted with the same constant as the polar maps (digits swapped on
// purpose), so the line matches the program's other drawings.
constexpr double kBeamPi = 3.14159625;

int whole(double value)
{
    const double r = roundHalfEven(value);
    if (!std::isfinite(r))
        return 0;
    return int(std::clamp(r, -1.0e9, 1.0e9));
}

// One axis of the panning rule: centre point in a viewport of length view over a picture of
// length pic.
int panAxis(int point, int view, int pic)
{
    if (pic <= view)
        return whole((view - pic) / 2.0);
    double p = view / 2.0 - point;
    if (p > 0)
        p = 0;
    if (p < view - pic)
        p = view - pic;
    return whole(p);
}

int keepAxis(int pos, int view, int pic)
{
    if (pic <= view)
        return whole((view - pic) / 2.0);
    return std::clamp(pos, view - pic, 0);
}

QPoint projectOrOrigin(const QString &mapName, double lat, double lon)
{
    return ProjectToMap(mapName, lat, lon).value_or(QPoint(0, 0));
}

}  // namespace

double clampedOwnLatitude(double lat)
{
    if (lat > 89)
        return 89;
    if (lat < -89)
        return -89;
    return lat;
}

QString callLabelText(bool toPrefix, const QString &call, double distance,
                      const QString &unitWord, int azimuth)
{
    return (toPrefix ? QStringLiteral(" To ") : QStringLiteral(" ")) + call
        + QStringLiteral("  Dx ") + formatWholeDistance(distance) + u' ' + unitWord
        + QStringLiteral("  Az ") + QString::number(azimuth) + QChar(0x00B0) + u' ';
}

StationDrawing DrawStations(const StationPlotInput &in, const LabelMeasure &measure)
{
    StationDrawing d;
    if (in.ownLat != 0 && in.ownLon != 0)
        d.own = projectOrOrigin(in.mapName, in.ownLat, in.ownLon);

    if (in.stationLat != 0) {
        d.station = projectOrOrigin(in.mapName, in.stationLat, in.stationLon);
        const int w = in.picture.width();
        const int h = in.picture.height();
        const bool ownInside = d.own.x() > 0 && d.own.x() < w && d.own.y() > 0 && d.own.y() < h;
        const bool stationOutside = d.station.x() < 0 || d.station.y() < 0 || d.station.x() > w
            || d.station.y() > h;

        // Own position 0/0 gives nothing: distance and azimuth stay 0.
        const DistanceAzimuth da = CalcDistanceAzimuth(in.ownLat, in.ownLon, in.stationLat,
                                                       in.stationLon, in.useMiles)
                                       .value_or(DistanceAzimuth{});
        d.distance = whole(da.distance);
        d.azimuth = da.azimuth;

        if (ownInside && stationOutside) {
            d.kind = StationCase::BeamLine;
            // Azimuth 0 points up, 90 to the right.
            const double a = (da.azimuth - 90) / 180.0 * kBeamPi;
            d.beamEnd = QPointF(d.own.x() + kBeamLength * std::cos(a),
                                d.own.y() + kBeamLength * std::sin(a));
            d.callText = callLabelText(true, in.call, da.distance, in.unitWord, d.azimuth);
            const QSize size = measure(d.callText);
            // Centred on the line's end, its bottom 2 pixels above it.
            d.callLabel = QRect(whole(d.beamEnd.x() - size.width() / 2.0),
                                whole(d.beamEnd.y() - size.height() - 2), size.width(),
                                size.height());
            d.picturePos = panTo(d.own, in.viewport, in.picture);
        } else {
            d.kind = StationCase::Circles;
            if (da.distance == 0)
                d.azimuth = 0;
            // Without the own position there is no distance to give: the call alone.
            d.callText = in.ownLat == 0 && in.ownLon == 0
                ? u' ' + in.call + u' '
                : callLabelText(false, in.call, da.distance, in.unitWord, d.azimuth);
            const QSize size = measure(d.callText);
            // Centred above the large circle.
            d.callLabel = QRect(whole(d.station.x() - size.width() / 2.0),
                                d.station.y() - size.height() - kStationRing, size.width(),
                                size.height());
            d.picturePos = panTo(d.station, in.viewport, in.picture);
        }
        d.callFrame = d.callLabel.adjusted(-2, -2, 2, 2);
    }

    d.path = greatCircleOnMap(in.mapName, in.picture, in.ownLat, in.ownLon, in.stationLat,
                              in.stationLon);

    // Own station label: left of the own point, centred vertically.
    d.meText = in.meText;
    const QSize me = measure(d.meText);
    d.meLabel = QRect(d.own.x() - me.width() - 6, whole(d.own.y() - me.height() / 2.0), me.width(),
                      me.height());
    d.meFrame = QRect(d.meLabel.left() - 1, d.meLabel.top() - 1, me.width() + 3, me.height() + 3);
    return d;
}

QList<QList<QPointF>> greatCircleOnMap(const QString &mapName, QSize picture, double ownLat,
                                  double ownLon, double stationLat, double stationLon)
{
    QList<QList<QPointF>> pieces;
    if ((ownLat == 0 && ownLon == 0) || stationLat == 0)
        return pieces;
    QList<QPointF> piece;
    const auto endPiece = [&] {
        if (piece.size() > 1)
            pieces.append(piece);
        piece.clear();
    };
    for (const LatLon &p : greatCirclePath({ownLat, ownLon}, {stationLat, stationLon})) {
        const std::optional<QPointF> at = ProjectToMapF(mapName, p.lat, p.lon);
        if (!at) {
            endPiece();
            continue;
        }
        if (!piece.isEmpty() && (std::abs(at->x() - piece.last().x()) > picture.width() / 2.0
                                 || std::abs(at->y() - piece.last().y()) > picture.height() / 2.0))
            endPiece();
        piece.append(*at);
    }
    endPiece();
    return pieces;
}

QPoint panTo(QPoint point, QSize viewport, QSize picture)
{
    return QPoint(panAxis(point.x(), viewport.width(), picture.width()),
                  panAxis(point.y(), viewport.height(), picture.height()));
}

MapLayout layoutMapWindow(QSize picture, QSize client, QSize border)
{
    MapLayout layout;
    const int needW = border.width() + picture.width();
    const int needH = border.height() + picture.height();
    const int fW = client.width();
    const int fH = client.height();
    if (needW < fW)
        layout.picturePos.setX(whole((fW - needW) / 2.0));
    if (needH < fH)
        layout.picturePos.setY(whole((fH - needH) / 2.0));
    layout.canDragX = needW > fW;
    layout.canDragY = needH > fH;
    // picOuter fills the client area; a larger map starts centred.
    if (layout.canDragX)
        layout.picturePos.setX(whole(-(picture.width() - fW) / 2.0));
    if (layout.canDragY)
        layout.picturePos.setY(whole(-(picture.height() - fH) / 2.0));
    return layout;
}

QPoint keepInView(QPoint pos, QSize viewport, QSize picture)
{
    return QPoint(keepAxis(pos.x(), viewport.width(), picture.width()),
                  keepAxis(pos.y(), viewport.height(), picture.height()));
}

void MapDrag::press(QPointF pointer)
{
    m_anchor = QPoint(whole(pointer.x()), whole(pointer.y()));
}

std::optional<QPoint> MapDrag::move(QPointF pointer, bool leftHeld, QPoint picturePos,
                                    QSize viewport, QSize picture, bool canDragX, bool canDragY)
{
    const QPoint p(whole(pointer.x()), whole(pointer.y()));
    if (!m_armed) {
        m_armed = true;
        m_anchor = p;
        return std::nullopt;
    }
    if (!leftHeld)
        return std::nullopt;
    QPoint pos = picturePos;
    bool moved = false;
    if (canDragY) {
        const int t = picturePos.y() + (p.y() - m_anchor.y());
        if (t < 1 && t > viewport.height() - picture.height()) {
            pos.setY(t);
            moved = true;
        }
    }
    if (canDragX) {
        const int l = picturePos.x() + (p.x() - m_anchor.x());
        if (l < 1 && l > viewport.width() - picture.width()) {
            pos.setX(l);
            moved = true;
        }
    }
    if (!moved)
        return std::nullopt;
    return pos;
}

MapWindowPlacement placeMapWindow(QSize picture, QRect available, QSize frameExtra,
                                  int menuHeight)
{
    MapWindowPlacement place;
    const QSize room(std::max(1, available.width() - frameExtra.width()),
                     std::max(1, available.height() - frameExtra.height() - menuHeight));
    place.viewport = picture.boundedTo(room).expandedTo(QSize(1, 1));
    place.client = QSize(place.viewport.width(), place.viewport.height() + menuHeight);
    const QSize frame = place.client + frameExtra;
    place.framePos = available.topLeft()
        + QPoint((available.width() - frame.width()) / 2, (available.height() - frame.height()) / 2);
    return place;
}

QString mapWindowCaption(const QString &mapName)
{
    return QStringLiteral("Map   ") + mapName
        + QStringLiteral("   (Hold down left button to move map)");
}

int menuGradientBlue(int line)
{
    return 250 - 4 * line;
}

}  // namespace torvane
