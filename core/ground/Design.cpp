#include "core/ground/Design.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <fmt/format.h>

#include "core/convert/Conversion.h"
#include "core/text/AngleText.h"
#include "core/text/FixedText.h"

namespace Ground {

namespace {

using ProjectionSetup::ProjectionParameters;

constexpr int kScaleDecimals = 6;          // k0 as practitioners publish it
constexpr double kRound = 10000.0;         // false values are multiples of this, grid unit
constexpr double kMargin = 20000.0;        // the smallest co-ordinate of a point, grid unit
constexpr double kApartMetres = 100000.0;  // from the other grid's values on the same axis
constexpr int kMostCandidates = 120;       // latitudes of origin tried in the first pass

// A longitude brought within 180 degrees of another.
double Near(double lon, double reference) { return reference + std::remainder(lon - reference, 360.0); }

struct Extent {
    double south = 0, north = 0, middleLat = 0, middleLon = 0;
};

// The latitudes the points span, and the middle of their box, across the
// antimeridian where they lie across it.
Extent ExtentOf(const std::vector<ProjectPoint>& points) {
    Extent x{points[0].latitude, points[0].latitude, 0, 0};
    double west = points[0].longitude, east = west;
    for (const ProjectPoint& p : points) {
        x.south = std::min(x.south, p.latitude);
        x.north = std::max(x.north, p.latitude);
        const double lon = Near(p.longitude, points[0].longitude);
        west = std::min(west, lon);
        east = std::max(east, lon);
    }
    x.middleLat = (x.south + x.north) / 2;
    x.middleLon = std::remainder((west + east) / 2, 360.0);
    return x;
}

// The least largest distortion a latitude of origin allows, and the k0 that
// gives it: with every combined factor at k0 = 1 between lo and hi, k0 g - 1
// stays within +-(hi - lo) / (hi + lo) for k0 = 2 / (hi + lo), and for no
// other k0.
struct Fit {
    double originMinutes = 0, k0 = 1, worst = std::numeric_limits<double>::infinity();
};

Fit FitAt(const std::vector<ProjectPoint>& points, ProjectionParameters p, double minutes) {
    p.originLat = minutes / 60.0;
    p.scaleFactor = 1.0;
    Fit fit;
    fit.originMinutes = minutes;
    try {
        const Distortion d = Measure(points, p);
        double lo = d.points[0].combinedFactor, hi = lo;
        for (const PointDistortion& q : d.points) lo = std::min(lo, q.combinedFactor), hi = std::max(hi, q.combinedFactor);
        fit.k0 = 2.0 / (hi + lo);
        fit.worst = (hi - lo) / (hi + lo);
    } catch (const Tarvane_Module::ArithmeticError&) {
        // No cone at this latitude (the equator), or a point where it has no value.
    }
    return fit;
}

// The best whole minute from `first` to `last` in steps of `step`; of two
// alike, the one nearer the middle of the points.
Fit Scan(const std::vector<ProjectPoint>& points, const ProjectionParameters& p, long first, long last, long step,
         double middleMinutes) {
    Fit best;
    for (long m = first; m <= last; m += step) {
        if (m == 0) continue;  // a cone of one parallel needs one off the equator
        const Fit fit = FitAt(points, p, static_cast<double>(m));
        const bool tie = std::fabs(fit.worst - best.worst) < 1e-15;
        if (fit.worst < best.worst - 1e-15 ||
            (tie && std::fabs(m - middleMinutes) < std::fabs(best.originMinutes - middleMinutes)))
            best = fit;
    }
    return best;
}

// Of the two values of six decimals around k0, the one whose largest
// distortion is less.
double RoundScale(const std::vector<ProjectPoint>& points, const ProjectionParameters& p, double k0) {
    const double scale = std::pow(10.0, kScaleDecimals);
    double best = k0, worst = std::numeric_limits<double>::infinity();
    for (const double m : {std::floor(k0 * scale), std::ceil(k0 * scale)}) {
        ProjectionParameters q = p;
        q.scaleFactor = m / scale;  // the double nearest the decimal, as the window reads its text
        const Distortion d = Measure(points, q);
        if (d.LargestAbs() < worst) worst = d.LargestAbs(), best = q.scaleFactor;
    }
    return best;
}

// A false value, a multiple of kRound, that puts the smallest co-ordinate
// at kMargin or more; then, where the co-ordinates would come within
// kApartMetres of the other grid's on that axis, above them.
double FalseValue(double low, double high, bool hasOther, double otherLow, double otherHigh, double unitsPerMetre) {
    double f = kRound * std::ceil((kMargin - low) / kRound);
    const double apart = kApartMetres * unitsPerMetre;
    if (hasOther && low + f < otherHigh + apart && high + f > otherLow - apart)
        f = kRound * std::ceil((otherHigh + apart - low) / kRound);
    return f;
}

// The smallest and largest easting (axis 0) or northing (axis 1) of a grid,
// in the design's unit.
void Range(const Distortion& d, int axis, double unitsPerMetre, double& low, double& high) {
    low = std::numeric_limits<double>::infinity();
    high = -low;
    for (const PointDistortion& q : d.points) {
        const double v = (axis == 0 ? q.easting : q.northing) * unitsPerMetre / d.unitsPerMetre;
        low = std::min(low, v);
        high = std::max(high, v);
    }
}

void PlaceFalseValues(const std::vector<ProjectPoint>& points, const DesignChoices& c, Design& design) {
    const Distortion d = Measure(points, design.parameters);
    const double u = design.parameters.unitsPerMetre;
    double value[2];
    for (int axis = 0; axis < 2; ++axis) {
        double low = 0, high = 0, otherLow = 0, otherHigh = 0;
        Range(d, axis, u, low, high);
        if (c.other) Range(*c.other, axis, u, otherLow, otherHigh);
        value[axis] = FalseValue(low, high, c.other != nullptr, otherLow, otherHigh, u);
    }
    design.fields.falseEasting = ProjectionSetup::PlainNumber(value[0], c.decimalSeparator);
    design.fields.falseNorthing = ProjectionSetup::PlainNumber(value[1], c.decimalSeparator);
}

std::string AngleOf(double degrees, AngleKind kind, char separator) {
    return HrHms(degrees, kind, AngleStyle::Form, 3, separator);
}

// The fields read as the window reads them, so that every figure is the
// window's own.
ProjectionParameters Read(const ProjectionSetup::ParameterFields& fields) {
    return ProjectionSetup::ReadFields(fields, [](const std::string&) {});
}

}  // namespace

double Distortion::LargestAbs() const { return std::max(std::fabs(smallest), std::fabs(largest)); }

Distortion Measure(const std::vector<ProjectPoint>& points, const ProjectionParameters& grid) {
    ProjectionSetup::Setup(grid);
    Distortion d;
    d.unitsPerMetre = grid.unitsPerMetre;
    d.smallest = std::numeric_limits<double>::infinity();
    d.largest = -d.smallest;
    double sum = 0;
    for (const ProjectPoint& p : points) {
        Conversion::Point q = Conversion::Forward(p.latitude, p.longitude, grid.unitsPerMetre);
        Conversion::AddPointData(q);
        if (!Conversion::AddHeight(q, p.height, 1.0))
            throw DesignError(fmt::format("line {}: height {} m: at or below the centre of the earth", p.line, p.height));
        const double ppm = (q.combinedFactor - 1.0) * 1e6;
        d.points.push_back({q.easting, q.northing, q.combinedFactor, ppm});
        d.smallest = std::min(d.smallest, ppm);
        d.largest = std::max(d.largest, ppm);
        sum += ppm;
        d.within10 += std::fabs(ppm) <= 10;
        d.within20 += std::fabs(ppm) <= 20;
        d.within50 += std::fabs(ppm) <= 50;
    }
    const double n = static_cast<double>(std::max<std::size_t>(points.size(), 1));
    d.mean = sum / n;
    d.within10 /= n, d.within20 /= n, d.within50 /= n;
    return d;
}

Design Propose(const std::vector<ProjectPoint>& points, const DesignChoices& c) {
    if (points.size() < kFewestPoints) {
        throw DesignError(fmt::format("a grid needs at least {} points to fit, with their heights; {} found",
                                      kFewestPoints, points.size()));
    }
    const Extent x = ExtentOf(points);
    Design design;
    design.middleLatitude = x.middleLat;
    design.middleLongitude = x.middleLon;
    ProjectionSetup::ParameterFields& f = design.fields;
    f.datum = c.datum;
    f.unit = c.unit;
    f.oneParallel = true;
    f.centralMeridian = AngleOf(std::round(x.middleLon * 60.0) / 60.0, AngleKind::Longitude, c.decimalSeparator);
    // Whole strings moved in: GCC 12 warns, wrongly, of an overlapping copy
    // where a short literal is assigned here.
    f.falseEasting = f.falseNorthing = std::string("0");
    f.parallel[0] = AngleOf(x.middleLat, AngleKind::Latitude, c.decimalSeparator);
    f.parallel[1] = std::string("1");
    const ProjectionParameters base = Read(f);

    // Every whole minute across the points, or a sample of them and then
    // every minute around the best of the sample.
    const double middle = x.middleLat * 60.0;
    long first = static_cast<long>(std::ceil(x.south * 60.0)), last = static_cast<long>(std::floor(x.north * 60.0));
    if (first > last) first = last = std::lround(middle);
    const long step = std::max(1L, (last - first) / kMostCandidates + 1);
    Fit best = Scan(points, base, first, last, step, middle);
    if (step > 1 && std::isfinite(best.worst)) {
        const long m = std::lround(best.originMinutes);
        best = Scan(points, base, m - step + 1, m + step - 1, 1, middle);
    }
    if (!std::isfinite(best.worst)) throw DesignError("no cone of one standard parallel fits these points");

    f.parallel[0] = AngleOf(best.originMinutes / 60.0, AngleKind::Latitude, c.decimalSeparator);
    const double k0 = RoundScale(points, Read(f), best.k0);
    f.parallel[1] = ProjectionSetup::PlainNumber(k0, c.decimalSeparator);
    design.parameters = Read(f);
    PlaceFalseValues(points, c, design);
    design.parameters = Read(f);
    ProjectionSetup::Setup(design.parameters);
    return design;
}

std::string Summary(const Design& design, const Distortion& mine, const Distortion* other,
                    const std::string& otherLabel, const std::string& otherName) {
    const ProjectionSetup::ParameterFields& f = design.fields;
    std::string out = fmt::format(
        "Lambert conformal conic, one standard parallel, {}, {}:\n"
        "  latitude of origin  {}\n  central meridian    {}\n  scale factor        {}\n"
        "  false easting       {}\n  false northing      {}\n"
        "Distortion at the {} points (combined factor - 1), parts per million:\n",
        DatumName(f.datum), f.unit == GridUnit::USFeet ? "US survey feet" : "metres", f.parallel[0],
        f.centralMeridian, f.parallel[1], f.falseEasting, f.falseNorthing, mine.points.size());
    out += fmt::format("  {:<15}{:>10}", "", "this grid");
    if (other) out += fmt::format("  {:>10}", otherLabel);
    out += '\n';
    const auto row = [&](const char* name, double a, double b, bool share) {
        // No minus sign on a figure that shows as zero.
        const auto figure = [share](double v) { return share ? FixedText(v * 100, 0) + "%" : FixedText(v, 1); };
        out += fmt::format("  {:<15}{:>10}", name, figure(a));
        if (other) out += fmt::format("  {:>10}", figure(b));
        out += '\n';
    };
    const Distortion none;
    const Distortion& o = other ? *other : none;
    row("smallest", mine.smallest, o.smallest, false);
    row("largest", mine.largest, o.largest, false);
    row("mean", mine.mean, o.mean, false);
    row("within 10 ppm", mine.within10, o.within10, true);
    row("within 20 ppm", mine.within20, o.within20, true);
    row("within 50 ppm", mine.within50, o.within50, true);
    if (other && !otherName.empty()) out += "  " + otherLabel + ": " + otherName + "\n";
    return out;
}

}  // namespace Ground
