#include "geo/Geodesy.h"

#include "core/ProgramValues.h"
#include "core/TextUtil.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace torvane {

using namespace geodesy;

namespace {
constexpr double kA = kEquatorRadiusKm;
constexpr double kB = kPolarRadiusKm;
constexpr double kE = kB * kB / (kA * kA);  // squared axis ratio

// Central angles below this (radians, about 6 mm on the ground) count as the same place.
constexpr double kSamePlace = 1e-9;

bool useMilesOf(const ProgramValues &values) { return values.UseMiles == 1; }
}  // namespace

double AtanQuad(double s, double c)
{
    if (s == 0 && c == 0)
        return kPi / 2;
    const double as = std::fabs(s);
    const double ac = std::fabs(c);
    // The ratio under the arc tangent is always the smaller over the larger.
    double x = as > ac ? kPi / 2 - std::atan(ac / as) : std::atan(as / ac);
    if (c < 0)
        x = kPi - x;
    if (s < 0)
        x = -x;
    return x;
}

double GeocentricAngle(double x, double factor)
{
    return AtanQuad(factor * std::sin(x), std::cos(x));
}

std::optional<DistanceAzimuth> CalcDistanceAzimuth(double ownLat, double ownLon, double lat,
                                                   double lon, bool useMiles)
{
    if (ownLat == 0 && ownLon == 0)
        return std::nullopt;
    const DistanceAzimuth samePlace{0, 0};
    if (ownLat == lat && ownLon == lon)
        return samePlace;

    const double p1 = ownLat * kDegToRad;
    const double l1 = ownLon * kDegToRad;
    const double p2 = lat * kDegToRad;
    const double l2 = lon * kDegToRad;

    double g1 = GeocentricAngle(p1, kE);
    double g2 = GeocentricAngle(p2, kE);

    // Rounding can push the cosine of the central angle just past +-1.
    const double c = std::clamp(
        std::cos(g1) * std::cos(g2) * std::cos(l1 - l2) + std::sin(g1) * std::sin(g2), -1.0, 1.0);
    const double s = std::sqrt(1 - c * c);
    const double d = AtanQuad(s, c);
    // Nearly identical positions: the heading is undefined and step 8 below would divide by zero.
    if (d < kSamePlace)
        return samePlace;

    double z = AtanQuad(std::sin(l2 - l1) * std::cos(g2) * std::cos(g1),
                        std::sin(g2) - std::sin(g1) * std::cos(d));
    if (z < 0)
        z += 2 * kPi;

    if (!(g1 < g2))
        std::swap(g1, g2);
    const double t = AtanQuad(std::sin(g1) * std::sin(d), std::sin(g2) - std::cos(d) * std::sin(g1));
    const double p = std::sin(t);
    const double q = std::sin(d + t);
    const double sv = std::fabs(p) > std::fabs(q) ? std::sin(g1) / p : std::sin(g2) / q;
    const double v = AtanQuad(sv, (kB / kA) * std::sqrt(std::fabs(1 - sv * sv)));
    const double k = (1 - kE) * std::sin(v) * std::sin(v);
    const double w = 1 / std::sqrt(1 - k);
    const double u1 = GeocentricAngle(t, w);
    const double u2 = GeocentricAngle(d + t, w);

    double distance = kA * ((u2 - u1) * (1 - k / 4) - k * (std::sin(2 * u2) - std::sin(2 * u1)) / kB);
    long long azimuth = floorInt(z / kDegToRad);
    if (azimuth >= 360)  // z just below zero lifted to 2 pi by rounding
        azimuth -= 360;
    if (!std::isfinite(distance))
        return samePlace;
    if (useMiles)
        distance = double(floorInt(distance / kKmPerMile));
    return DistanceAzimuth{distance, int(azimuth)};
}

std::optional<DistanceAzimuth> CalcDistanceAzimuth(const ProgramValues &values, double lat,
                                                   double lon)
{
    return CalcDistanceAzimuth(values.OwnLatitude, values.OwnLongitude, lat, lon,
                               useMilesOf(values));
}

QString formatWholeDistance(double distance, const QLocale &locale)
{
    QLocale grouped = locale;
    // The C locale leaves groups out by default; the pattern always groups.
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    const double whole = roundHalfEven(distance);
    return grouped.toString(static_cast<qlonglong>(whole));
}

std::optional<QString> FormatDistanceLine(double ownLat, double ownLon, double stationLat,
                                          double stationLon, bool useMiles, const QLocale &locale)
{
    if (stationLat == 0 || stationLon == 0)
        return std::nullopt;
    if (ownLat == 0 && ownLon == 0)
        return std::nullopt;
    DistanceAzimuth result;
    if (!(ownLat == stationLat && ownLon == stationLon)) {
        const auto computed = CalcDistanceAzimuth(ownLat, ownLon, stationLat, stationLon, useMiles);
        if (computed)
            result = *computed;
    }
    const QString azimuth = result.distance == 0 ? QStringLiteral("0")
                                                 : QString::number(result.azimuth);
    return QStringLiteral("Dx: ") + formatWholeDistance(result.distance, locale)
        + (useMiles ? QStringLiteral(" mi") : QStringLiteral(" km")) + QStringLiteral("  Az: ")
        + azimuth + QChar(0x00B0);
}

std::optional<QString> FormatDistanceLine(const ProgramValues &values, const QLocale &locale)
{
    return FormatDistanceLine(values.OwnLatitude, values.OwnLongitude, values.StationLatitude,
                              values.StationLongitude, useMilesOf(values), locale);
}

std::optional<QString> FormatLongPath(const ProgramValues &values, const QLocale &locale)
{
    if (!FormatDistanceLine(values, locale))
        return std::nullopt;
    const bool miles = useMilesOf(values);
    const auto shortPath = CalcDistanceAzimuth(values.OwnLatitude, values.OwnLongitude,
                                               values.StationLatitude, values.StationLongitude, miles);
    if (!shortPath)
        return std::nullopt;
    const DistanceAzimuth lp = longPath(*shortPath, miles);
    return QStringLiteral("LP %1\u00B0 \u00B7 %2 %3")
        .arg(lp.azimuth)
        .arg(formatWholeDistance(lp.distance, locale), miles ? QStringLiteral("mi") : QStringLiteral("km"));
}

QString LatLonToGrid(double lat, double lon)
{
    if (!std::isfinite(lat) || !std::isfinite(lon))
        return QString();
    if (lat > 90 || lat < -90 || lon > 180 || lon < -180)
        return QString();

    // Whole degrees and minutes; the 0.0001 offsets keep negative values on the right side of
    // each floor step, so boundaries south and west fall into the cell farther from 0.
    const double absLat = std::fabs(lat);
    const double absLon = std::fabs(lon);
    double dLat = double(floorInt(absLat)) + 0.0001;
    if (lat < 0)
        dLat = -dLat;
    const double mLat = (absLat - double(floorInt(absLat))) * 60;
    double sLat = 2.5 * double(floorInt(mLat / 2.5)) + 0.0001;
    double dLon = double(floorInt(absLon)) + 0.0001;
    if (lon < 0)
        dLon = -dLon;
    const double mLon = (absLon - double(floorInt(absLon))) * 60;
    double sLon = double(floorInt(mLon)) + 0.0001;

    const double x = dLon + 180;
    const double y = dLat + 90;
    if (lon < 0)
        sLon = 60 - sLon;
    if (lat < 0)
        sLat = 60 - sLat;

    long long fieldLon = floorInt(x / 20);
    long long fieldLat = floorInt(y / 10);
    long long squareLon = floorInt(x / 2) - 10 * floorInt(x / 20);
    long long squareLat = floorInt(y) - 10 * floorInt(y / 10);
    long long subLon = floorInt(sLon / 5) + 12 * floorInt(x - 2 * double(floorInt(x / 2)));
    long long subLat = floorInt(sLat / 2.5);
    // -180 and -90 would step to the cell beyond the edge ("@9x"); they start the first cell.
    if (x < 0)
        fieldLon = squareLon = subLon = 0;
    if (y < 0)
        fieldLat = squareLat = subLat = 0;

    QString grid;
    grid += QChar(char16_t(65 + fieldLon));
    grid += QChar(char16_t(65 + fieldLat));
    grid += QChar(char16_t(48 + squareLon));
    grid += QChar(char16_t(48 + squareLat));
    grid += QChar(char16_t(97 + subLon));
    grid += QChar(char16_t(97 + subLat));
    return grid;
}

std::vector<LatLon> greatCirclePath(LatLon from, LatLon to, int segments)
{
    // Drawing needs no more than the sphere, with the full-precision pi.
    constexpr double rad = M_PI / 180;
    const auto unit = [](LatLon p) {
        const double lat = p.lat * rad, lon = p.lon * rad;
        return std::array<double, 3>{std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                                     std::sin(lat)};
    };
    const std::array<double, 3> a = unit(from), b = unit(to);
    const double dot = std::clamp(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], -1.0, 1.0);
    const double angle = std::acos(dot);
    // The unit vector at right angles to a, towards b (over the pole for antipodes).
    std::array<double, 3> c{b[0] - dot * a[0], b[1] - dot * a[1], b[2] - dot * a[2]};
    double length = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    if (length < 1e-12) {
        c = {-a[2] * std::cos(from.lon * rad), -a[2] * std::sin(from.lon * rad),
             std::cos(from.lat * rad)};  // north along the first point's meridian
        length = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    }
    std::vector<LatLon> points;
    segments = std::max(segments, 1);
    points.reserve(std::size_t(segments) + 1);
    for (int i = 0; i <= segments; ++i) {
        const double t = angle * i / segments;
        double v[3];
        for (int k = 0; k < 3; ++k)
            v[k] = a[k] * std::cos(t) + c[k] / length * std::sin(t);
        points.push_back({std::atan2(v[2], std::hypot(v[0], v[1])) / rad, std::atan2(v[1], v[0]) / rad});
    }
    points.back().lat = to.lat;  // the ends exactly, whatever the rounding on the way
    return points;
}

DistanceAzimuth longPath(const DistanceAzimuth &shortPath, bool useMiles)
{
    // Round the globe on a mean radius of 6,371 km.
    const double around = 2 * M_PI * 6371 / (useMiles ? kKmPerMile : 1);
    return {std::max(0.0, around - shortPath.distance), (shortPath.azimuth + 180) % 360};
}

}  // namespace torvane
