#include "core/ground/Surface.h"

#include <cmath>

#include "core/convert/Conversion.h"

namespace Ground {

void Surface::FromGrid(double e, double n, double& se, double& sn) const {
    se = originEasting + (e - originEasting) * factor;
    sn = originNorthing + (n - originNorthing) * factor;
}

void Surface::ToGrid(double se, double sn, double& e, double& n) const {
    e = originEasting + (se - originEasting) / factor;
    n = originNorthing + (sn - originNorthing) / factor;
}

std::string SurfaceFactorFault(double factor) {
    if (!std::isfinite(factor) || !(factor > 0.0)) return "is not a factor greater than 0";
    // The highest and lowest ground on earth, on any grid, stay within a few
    // parts in a thousand of 1; farther than that is a slip, such as a
    // percentage or a scale in parts per million.
    if (std::fabs(factor - 1.0) > 0.01) {
        return "lies more than a hundredth from 1: a surface factor is ground over grid distance, the reciprocal of "
               "a combined factor";
    }
    return {};
}

bool SurfaceFactorAt(double latitude, double longitude, double height, double unitsPerMetre, double& factor,
                     double& combinedFactor) {
    Conversion::Point p = Conversion::Forward(latitude, longitude, unitsPerMetre);
    Conversion::AddPointData(p);
    if (!Conversion::AddHeight(p, height, unitsPerMetre)) return false;
    combinedFactor = p.combinedFactor;
    const double scale = std::pow(10.0, kSurfaceDecimals);
    factor = std::round(scale / combinedFactor) / scale;
    return true;
}

}  // namespace Ground
