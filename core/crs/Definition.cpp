#include "core/crs/Definition.h"

// The calls that build a CRS from its parts are in the experimental header.
#include <proj.h>
#include <proj_experimental.h>

#include <memory>

namespace Epsg {

namespace {

struct Destroy {
    void operator()(PJ* object) const { proj_destroy(object); }
};
using Object = std::unique_ptr<PJ, Destroy>;

struct Context {
    PJ_CONTEXT* pj = proj_context_create();
    ~Context() {
        if (pj) proj_context_destroy(pj);
    }
};

Object Checked(PJ* object, PJ_CONTEXT* pj, const char* what) {
    if (!object) throw Error(std::string("PROJ cannot make the ") + what + ": " +
                             proj_context_errno_string(pj, proj_context_errno(pj)));
    return Object(object);
}

const char* GeographicCode(Datum datum) {
    switch (datum) {
        case Datum::WGS84: return "4326";
        case Datum::NAD83: return "4269";
        case Datum::NAD27: return "4267";
    }
    return "4326";
}

}  // namespace

CrsText DefinitionOf(const ProjectionSetup::ProjectionParameters& p, const std::string& name) {
    if (p.ellipsoid) throw Error("a grid on an ellipsoid of its own has its definition in the registry already");
    Context c;
    if (!c.pj) throw Error("PROJ cannot start: out of memory");
    proj_log_level(c.pj, PJ_LOG_NONE);
    const Object geographic = Checked(
        proj_create_from_database(c.pj, "EPSG", GeographicCode(p.datum), PJ_CATEGORY_CRS, 0, nullptr), c.pj,
        "geographic CRS of the datum");
    const bool feet = p.unitsPerMetre != 1.0;
    const char* unit = feet ? "US survey foot" : "metre";
    const double metres = feet ? 1200.0 / 3937.0 : 1.0;
    const double degree = 0.0174532925199433;  // as the registry gives the degree
    PJ* conversion =
        p.oneParallel
            ? proj_create_conversion_lambert_conic_conformal_1sp(c.pj, p.originLat, p.centralMeridian, p.scaleFactor,
                                                                 p.falseEasting, p.falseNorthing, "degree", degree,
                                                                 unit, metres)
            : proj_create_conversion_lambert_conic_conformal_2sp(c.pj, p.originLat, p.centralMeridian, p.parallel1,
                                                                 p.parallel2, p.falseEasting, p.falseNorthing,
                                                                 "degree", degree, unit, metres);
    const Object operation = Checked(conversion, c.pj, "conversion");
    const Object axes =
        Checked(proj_create_cartesian_2D_cs(c.pj, PJ_CART2D_EASTING_NORTHING, unit, metres), c.pj, "axes");
    const Object crs = Checked(
        proj_create_projected_crs(c.pj, name.c_str(), geographic.get(), operation.get(), axes.get()), c.pj, "CRS");
    const char* wkt = proj_as_wkt(c.pj, crs.get(), PJ_WKT2_2019, nullptr);
    const char* proj = proj_as_proj_string(c.pj, crs.get(), PJ_PROJ_5, nullptr);
    if (!wkt || !proj) throw Error("PROJ cannot write the grid's definition");
    return {proj, wkt};
}

}  // namespace Epsg
