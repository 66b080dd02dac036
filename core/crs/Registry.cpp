#include "core/crs/Registry.h"

#include <proj.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace Epsg {

namespace {

// The C API of PROJ 8 or later: older ones lack calls this code relies on.
constexpr int kOldestMajor = 8;

constexpr double kDegree = std::numbers::pi / 180.0;  // PROJ's factor of the degree, so degrees stay exact

struct Destroy {
    void operator()(PJ* object) const { proj_destroy(object); }
};
using Object = std::unique_ptr<PJ, Destroy>;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string Label(const std::string& code) { return "EPSG:" + code; }

std::string Named(const std::string& code, const PJ* object) {
    const char* name = proj_get_name(object);
    return Label(code) + (name ? " (" + std::string(name) + ")" : std::string());
}

}  // namespace

struct Registry::Context {
    PJ_CONTEXT* pj = nullptr;
    std::string message;  // PROJ's last error, which it would otherwise print

    ~Context() {
        if (pj) proj_context_destroy(pj);
    }
    static void Log(void* self, int level, const char* text) {
        if (level != PJ_LOG_ERROR || !text) return;
        std::string_view message = text;
        // "proj_create_from_database: crs not found": the user needs no function name.
        if (message.starts_with("proj_") && message.find(": ") != std::string_view::npos)
            message.remove_prefix(message.find(": ") + 2);
        static_cast<Context*>(self)->message = message;
    }
    std::string Reason() const {
        return message.empty() ? proj_context_errno_string(pj, proj_context_errno(pj)) : message;
    }
};

Registry::Registry() : context_(std::make_unique<Context>()) {
    // Once a run: proj_info keeps the search path of the moment in PROJ's
    // default context, which every later context copies.
    static const PJ_INFO info = proj_info();
    if (info.major < kOldestMajor) {
        throw Error("PROJ " + std::string(info.version) + " is too old to read the EPSG registry: TARVANE needs PROJ " +
                    std::to_string(kOldestMajor) + ".0 or later");
    }
    Context& c = *context_;
    c.pj = proj_context_create();
    if (!c.pj) throw Error("PROJ cannot start: out of memory");
    proj_log_func(c.pj, &c, &Context::Log);
    // PROJ gives a missing database and an unreadable one the same error
    // code; its own words tell the user which.
    if (!proj_context_get_database_path(c.pj)) {
        throw Error("PROJ's database of coordinate reference systems, proj.db, cannot be opened (" + c.Reason() +
                    "): install the package proj-data, or set PROJ_DATA to the folder that holds proj.db");
    }
    if (!proj_context_get_database_metadata(c.pj, "EPSG.VERSION")) {
        throw Error("PROJ's database of coordinate reference systems holds no EPSG registry");
    }
}

Registry::~Registry() = default;

namespace {

// The number of a code as the user gives it: "32040" or "EPSG:32040".
int CodeNumber(std::string_view text) {
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ') digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ') digits.remove_suffix(1);
    if (digits.size() > 5 && Lower(digits.substr(0, 5)) == "epsg:") digits.remove_prefix(5);
    int number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || number <= 0) {
        throw Error("\"" + std::string(text) + "\" is not an EPSG code: give its number, such as 32040");
    }
    return number;
}

// Whether the registry has a CRS of this code, of any kind, deprecated or not.
bool HasCrs(PJ_CONTEXT* pj, const std::string& code) {
    PROJ_STRING_LIST codes = proj_get_codes_from_database(pj, "EPSG", PJ_TYPE_CRS, 1);
    bool found = false;
    for (PROJ_STRING_LIST c = codes; c && *c && !found; ++c) found = code == *c;
    proj_string_list_destroy(codes);
    return found;
}

// The operation of a projected CRS whose method is Lambert Conic Conformal
// (1SP) or (2SP), and whether it is the 1SP one.
Object ConicOperation(PJ_CONTEXT* pj, const std::string& code, const PJ* crs, bool& oneParallel) {
    const PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_GEOGRAPHIC_2D_CRS || type == PJ_TYPE_GEOGRAPHIC_3D_CRS || type == PJ_TYPE_GEOGRAPHIC_CRS) {
        throw Error(Named(code, crs) + " is a geographic CRS, not a grid: give the code of a Lambert conformal conic grid");
    }
    if (type != PJ_TYPE_PROJECTED_CRS) {
        throw Error(Named(code, crs) + " is not a projected CRS: give the code of a Lambert conformal conic grid");
    }
    Object operation(proj_crs_get_coordoperation(pj, crs));
    const char *methodName = nullptr, *methodAuthority = nullptr, *methodCode = nullptr;
    if (!operation || !proj_coordoperation_get_method_info(pj, operation.get(), &methodName, &methodAuthority, &methodCode)) {
        throw Error(Named(code, crs) + " has no projection method in PROJ's database");
    }
    const std::string method = methodName ? methodName : "";
    oneParallel = std::string_view(methodCode ? methodCode : "") == "9801";
    if (std::string_view(methodAuthority ? methodAuthority : "") != "EPSG" ||
        (!oneParallel && std::string_view(methodCode ? methodCode : "") != "9802")) {
        if (method.starts_with("Lambert Conic Conformal")) {
            throw Error(Named(code, crs) + " uses " + method +
                        ", a variant that TARVANE does not take: only the 1SP and 2SP methods");
        }
        throw Error(Label(code) + " is not a Lambert conformal conic grid (" + method + ")");
    }
    return operation;
}

// Refuses a deprecated CRS, naming what the registry replaces it with.
void RefuseDeprecated(PJ_CONTEXT* pj, const std::string& code, const PJ* crs) {
    if (!proj_is_deprecated(crs)) return;
    std::string replacements;
    if (PJ_OBJ_LIST* list = proj_get_non_deprecated(pj, crs)) {
        for (int i = 0, n = proj_list_get_count(list); i < n; ++i) {
            const Object other(proj_list_get(pj, list, i));
            const char* otherCode = other ? proj_get_id_code(other.get(), 0) : nullptr;
            if (otherCode) replacements += (replacements.empty() ? "" : " or ") + Named(otherCode, other.get());
        }
        proj_list_destroy(list);
    }
    throw Error(Named(code, crs) + " is deprecated" +
                (replacements.empty() ? ", and the registry names no replacement"
                                      : "; the registry replaces it with " + replacements));
}

// The grid unit, which both axes share: its name and code, and metres in one.
double ReadUnit(PJ_CONTEXT* pj, const std::string& code, const PJ* crs, Grid& grid) {
    const Object cs(proj_crs_get_coordinate_system(pj, crs));
    double metresPerUnit[2] = {0.0, 0.0};
    const char *unitName = nullptr, *unitCode = nullptr;
    for (int axis = 0; axis < 2; ++axis) {
        if (!cs || !proj_cs_get_axis_info(pj, cs.get(), axis, nullptr, nullptr, nullptr, &metresPerUnit[axis],
                                          &unitName, nullptr, &unitCode)) {
            throw Error(Named(code, crs) + " has no grid axes in PROJ's database");
        }
    }
    if (metresPerUnit[0] != metresPerUnit[1] || !(metresPerUnit[0] > 0.0)) {
        throw Error(Named(code, crs) + " gives its easting and northing in different units");
    }
    grid.unitName = unitName ? unitName : "";
    grid.unitCode = unitCode ? std::atoi(unitCode) : 0;
    return metresPerUnit[0];
}

// Each parameter by its EPSG code, as a factor of its unit: angles in
// degrees (whatever unit the registry gives them in), lengths in the grid
// unit, the scale factor as it is.
void ReadParameters(PJ_CONTEXT* pj, const std::string& code, const PJ* crs, const PJ* operation, bool oneParallel,
                    double metresPerUnit, ProjectionSetup::ProjectionParameters& p) {
    const auto parameter = [&](const char* parameterCode, const char* what) {
        for (int i = 0, n = proj_coordoperation_get_param_count(pj, operation); i < n; ++i) {
            const char *authority = nullptr, *id = nullptr, *category = nullptr;
            double value = 0.0, factor = 0.0;
            if (proj_coordoperation_get_param(pj, operation, i, nullptr, &authority, &id, &value, nullptr, &factor,
                                              nullptr, nullptr, nullptr, &category) &&
                std::string_view(authority ? authority : "") == "EPSG" && std::string_view(id ? id : "") == parameterCode) {
                const std::string_view kind = category ? category : "";
                if (kind == "angular") return value * (factor / kDegree);
                if (kind == "linear") return factor == metresPerUnit ? value : value * factor / metresPerUnit;
                return value;
            }
        }
        throw Error(Named(code, crs) + " lacks its " + what + " in PROJ's database");
    };
    p.oneParallel = oneParallel;
    if (oneParallel) {
        p.originLat = parameter("8801", "latitude of natural origin");
        p.centralMeridian = parameter("8802", "longitude of natural origin");
        p.scaleFactor = parameter("8805", "scale factor at natural origin");
        p.falseEasting = parameter("8806", "false easting");
        p.falseNorthing = parameter("8807", "false northing");
    } else {
        p.originLat = parameter("8821", "latitude of false origin");
        p.centralMeridian = parameter("8822", "longitude of false origin");
        p.parallel1 = parameter("8823", "latitude of 1st standard parallel");
        p.parallel2 = parameter("8824", "latitude of 2nd standard parallel");
        p.falseEasting = parameter("8826", "easting at false origin");
        p.falseNorthing = parameter("8827", "northing at false origin");
    }
    p.unitsPerMetre = metresPerUnit == 1.0 ? 1.0 : 1.0 / metresPerUnit;
}

// The engine counts longitudes from Greenwich: the prime meridian's
// longitude joins the central meridian.
void FromGreenwich(PJ_CONTEXT* pj, const std::string& code, const PJ* crs, ProjectionSetup::ProjectionParameters& p) {
    const Object meridian(proj_get_prime_meridian(pj, crs));
    double longitude = 0.0, factor = 0.0;
    if (!meridian || !proj_prime_meridian_get_parameters(pj, meridian.get(), &longitude, &factor, nullptr)) {
        throw Error(Named(code, crs) + " has no prime meridian in PROJ's database");
    }
    if (longitude != 0.0) p.centralMeridian += longitude * (factor / kDegree);
}

// The ellipsoid by its size and shape, and its name and code.
void ReadEllipsoid(PJ_CONTEXT* pj, const std::string& code, const PJ* crs, Grid& grid) {
    const Object ellipsoid(proj_get_ellipsoid(pj, crs));
    double a = 0.0, b = 0.0, inverseFlattening = 0.0;
    int bComputed = 0;
    if (!ellipsoid || !proj_ellipsoid_get_parameters(pj, ellipsoid.get(), &a, &b, &bComputed, &inverseFlattening)) {
        throw Error(Named(code, crs) + " has no ellipsoid in PROJ's database");
    }
    // An ellipsoid given by its two axes: 1/f = a / (a - b), 0 for a sphere.
    if (!bComputed) inverseFlattening = a == b ? 0.0 : a / (a - b);
    grid.parameters.ellipsoid = ProjectionSetup::Ellipsoid{a, inverseFlattening};
    grid.ellipsoidName = proj_get_name(ellipsoid.get()) ? proj_get_name(ellipsoid.get()) : "";
    const char* ellipsoidCode = proj_get_id_code(ellipsoid.get(), 0);
    grid.ellipsoidCode = ellipsoidCode ? std::atoi(ellipsoidCode) : 0;
}

// Where the grid is meant to be used, and the geographic CRS it stands on.
void ReadArea(PJ_CONTEXT* pj, const PJ* crs, Grid& grid) {
    const Object geographic(proj_crs_get_geodetic_crs(pj, crs));
    if (geographic && proj_get_name(geographic.get())) grid.geographicName = proj_get_name(geographic.get());
    if (!proj_get_area_of_use(pj, crs, &grid.west, &grid.south, &grid.east, &grid.north, nullptr) ||
        grid.west < -180.0 || grid.south < -90.0)
        grid.west = grid.south = grid.east = grid.north = 0.0;  // PROJ gives -1000 where the registry has none
}

}  // namespace

Grid Registry::Read(std::string_view text) const {
    Context& c = *context_;
    const int number = CodeNumber(text);
    const std::string code = std::to_string(number);
    c.message.clear();
    const Object crs(proj_create_from_database(c.pj, "EPSG", code.c_str(), PJ_CATEGORY_CRS, 0, nullptr));
    if (!crs) {
        if (!HasCrs(c.pj, code)) throw Error(Label(code) + " is not in the EPSG registry");
        throw Error(Label(code) + " cannot be read from PROJ's database: " + c.Reason());
    }
    bool oneParallel = false;
    const Object operation = ConicOperation(c.pj, code, crs.get(), oneParallel);
    RefuseDeprecated(c.pj, code, crs.get());
    Grid grid;
    grid.code = number;
    grid.name = proj_get_name(crs.get()) ? proj_get_name(crs.get()) : "";
    const double metresPerUnit = ReadUnit(c.pj, code, crs.get(), grid);
    ReadParameters(c.pj, code, crs.get(), operation.get(), oneParallel, metresPerUnit, grid.parameters);
    FromGreenwich(c.pj, code, crs.get(), grid.parameters);
    ReadEllipsoid(c.pj, code, crs.get(), grid);
    ReadArea(c.pj, crs.get(), grid);
    return grid;
}

std::vector<Grid> Registry::List() const {
    Context& c = *context_;
    PROJ_CRS_LIST_PARAMETERS* parameters = proj_get_crs_list_parameters_create();
    const PJ_TYPE projected = PJ_TYPE_PROJECTED_CRS;
    parameters->types = &projected;
    parameters->typesCount = 1;
    parameters->allow_deprecated = 0;
    int count = 0;
    PROJ_CRS_INFO** list = proj_get_crs_info_list_from_database(c.pj, "EPSG", parameters, &count);
    proj_get_crs_list_parameters_destroy(parameters);
    std::vector<Grid> grids;
    for (int i = 0; i < count; ++i) {
        const std::string_view method = list[i]->projection_method_name ? list[i]->projection_method_name : "";
        if (method != "Lambert Conic Conformal (1SP)" && method != "Lambert Conic Conformal (2SP)") continue;
        try {
            grids.push_back(Read(list[i]->code));
        } catch (const Error&) {
            // Not one that Read takes after all: not listed.
        }
    }
    proj_crs_info_list_destroy(list);
    std::sort(grids.begin(), grids.end(), [](const Grid& x, const Grid& y) { return x.code < y.code; });
    return grids;
}

}  // namespace Epsg
