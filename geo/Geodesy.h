#pragma once
// Distance, beam heading and Maidenhead locator between the own station and a far station.
// Angles are decimal degrees (north and east positive) unless a name says radians.

#include <QLocale>
#include <QString>
#include <optional>
#include <vector>

namespace torvane {

struct ProgramValues;

namespace geodesy {
/// The program's pi: eight decimals, on purpose not the full-precision value.
inline constexpr double kPi = 3.14159265;
inline constexpr double kDegToRad = kPi / 180;
inline constexpr double kEquatorRadiusKm = 6378;
inline constexpr double kPolarRadiusKm = 6356;
inline constexpr double kKmPerMile = 1.609;
}  // namespace geodesy

/// Result of CalcDistanceAzimuth.
struct DistanceAzimuth {
    double distance = 0;  ///< km unrounded, or whole miles
    int azimuth = 0;      ///< whole degrees 0-359, clockwise from true north
};

/// Four-quadrant arc tangent of S/C built on the one-argument one; radians, -pi..pi.
/// Both zero gives pi/2.
double AtanQuad(double s, double c);

/// AtanQuad(factor * sin x, cos x): geocentric latitude for factor (B/A)^2, radians.
double GeocentricAngle(double x, double factor);

/// Ellipsoid distance and azimuth from the own station to (lat, lon).
/// Empty when the own position is 0/0 (the caller keeps what it had).
/// Identical or nearly identical positions give distance 0 and azimuth 0.
std::optional<DistanceAzimuth> CalcDistanceAzimuth(double ownLat, double ownLon, double lat,
                                                   double lon, bool useMiles);
/// The same with the own position and the unit taken from the program values.
std::optional<DistanceAzimuth> CalcDistanceAzimuth(const ProgramValues &values, double lat,
                                                   double lon);

/// The distance line of the main window ("Dx: 4,215 mi  Az: 47°") for the looked-up station.
/// Empty when the label is to keep its text: station latitude or longitude 0, or own position 0/0.
/// The thousands separator comes from locale.
std::optional<QString> FormatDistanceLine(double ownLat, double ownLon, double stationLat,
                                          double stationLon, bool useMiles,
                                          const QLocale &locale = QLocale());
std::optional<QString> FormatDistanceLine(const ProgramValues &values,
                                          const QLocale &locale = QLocale());

/// A point on the globe, degrees, north and east positive.
struct LatLon {
    double lat = 0;
    double lon = 0;
};

/// The short great-circle path between two points on a sphere: `segments` + 1 points from the
/// first to the second, evenly spaced; longitudes in -180..180. Antipodes have no single short
/// path: their path runs over the north pole.
std::vector<LatLon> greatCirclePath(LatLon from, LatLon to, int segments = 90);

/// The long path the other way round the globe: the heading opposite to the short path's and
/// the rest of the circumference (km, or miles when useMiles).
DistanceAzimuth longPath(const DistanceAzimuth &shortPath, bool useMiles);

/// The long path as the distance line's tooltip gives it, e.g. "LP 111° · 34,287 km"; empty
/// when FormatDistanceLine is.
std::optional<QString> FormatLongPath(const ProgramValues &values, const QLocale &locale = QLocale());

/// A whole distance with thousands grouped by locale (pattern "##,##0"), halves to even.
QString formatWholeDistance(double distance, const QLocale &locale = QLocale());

/// Six-character Maidenhead locator ("FN20xr"); empty when the position is out of range.
QString LatLonToGrid(double lat, double lon);

}  // namespace torvane
