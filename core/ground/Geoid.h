// A geoid model: the height N of the geoid above the ellipsoid, which turns
// an elevation H (above the geoid) into a height above the ellipsoid,
// h = H + N. The models come from grids that PROJ reads (core/crs/Geoid.h);
// what converts points needs only this.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace Ground {

class GeoidModel {
public:
    virtual ~GeoidModel() = default;
    // N in metres at a latitude and longitude (degrees); false, with the
    // reason, where the model has no value.
    virtual bool Height(double latitude, double longitude, double& N, std::string& why) = 0;
};

// Opens one more instance of a model, for one more thread; none when it
// cannot.
using GeoidSource = std::function<std::unique_ptr<GeoidModel>()>;

}  // namespace Ground
