#include "core/crs/Geoid.h"

#include <proj.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>

namespace Geoid {

namespace {

struct Known {
    const char* name;   // as the option takes it
    const char* label;  // as messages and the README name it
    const char* grid;   // in PROJ's data folder
};
constexpr Known kModels[] = {{"egm96", "EGM96", "egm96_15.gtx"}};

struct Grid {
    std::string label, path;
    bool named = false;  // a model known by name
};

// PROJ's last error, which it would otherwise print.
void Log(void* message, int level, const char* text) {
    if (level == PJ_LOG_ERROR && text) *static_cast<std::string*>(message) = text;
}

class ProjModel : public Ground::GeoidModel {
public:
    ProjModel(PJ_CONTEXT* context, PJ* shift, std::string label, std::unique_ptr<std::string> log)
        : context_(context), shift_(shift), label_(std::move(label)), log_(std::move(log)) {}
    ~ProjModel() override {
        proj_destroy(shift_);
        proj_context_destroy(context_);
    }
    ProjModel(const ProjModel&) = delete;
    ProjModel& operator=(const ProjModel&) = delete;

    bool Height(double latitude, double longitude, double& N, std::string& why) override {
        // The shift adds multiplier * N to the height: with a height of 0, N.
        proj_errno_reset(shift_);
        const PJ_COORD in = proj_coord(proj_torad(longitude), proj_torad(latitude), 0.0, 0.0);
        const PJ_COORD out = proj_trans(shift_, PJ_FWD, in);
        if (proj_errno(shift_) != 0 || !std::isfinite(out.lpz.z) || out.lpz.z == HUGE_VAL) {
            why = "no geoid height here: outside the coverage of the geoid model " + label_;
            return false;
        }
        N = out.lpz.z;
        return true;
    }

private:
    PJ_CONTEXT* context_;
    PJ* shift_;
    std::string label_;
    std::unique_ptr<std::string> log_;
};

// The grid shift on a context of its own (PROJ's objects serve one thread
// each), with the network off: a grid comes from the disk or not at all.
std::unique_ptr<ProjModel> Create(const Grid& grid, std::string& reason) {
    PJ_CONTEXT* context = proj_context_create();
    if (!context) {
        reason = "out of memory";
        return nullptr;
    }
    auto log = std::make_unique<std::string>();
    proj_log_func(context, log.get(), &Log);
    proj_context_set_enable_network(context, 0);
    const std::string definition = "+proj=vgridshift +grids=" + grid.path + " +multiplier=1";
    PJ* shift = proj_create(context, definition.c_str());
    if (!shift) {
        reason = proj_context_errno_string(context, proj_context_errno(context));
        proj_context_destroy(context);
        return nullptr;
    }
    return std::make_unique<ProjModel>(context, shift, grid.label, std::move(log));
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

Grid Find(const std::string& model) {
    for (const Known& k : kModels)
        if (Lower(model) == k.name) return {k.label, k.grid, true};
    const std::string lower = Lower(model);
    const bool file = model.find('/') != std::string::npos || lower.ends_with(".gtx") || lower.ends_with(".tif") ||
                      lower.ends_with(".tiff");
    if (!file) {
        throw Error("\"" + model + "\" is neither a geoid model TARVANE knows (" + KnownNames() +
                    ") nor a grid file (.gtx, .tif)");
    }
    // PROJ reads a comma as the end of one grid's name and a leading @ as
    // "use it if it is there": a full path without either is this file, or
    // none; a bare name not in the working folder is one of PROJ's data.
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::absolute(model, ec);
    const bool here = !ec && std::filesystem::is_regular_file(path, ec);
    if (!here && model.find('/') != std::string::npos) throw Error("the grid file \"" + model + "\" cannot be found");
    const std::string grid = here ? path.string() : model;
    if (grid.find_first_of(", \t\"") != std::string::npos || grid.front() == '@') {
        throw Error("the name of the grid file \"" + model + "\" holds a comma, a blank, a quote or a leading @, "
                    "which PROJ reads otherwise: rename it");
    }
    return {path.filename().string(), grid, false};
}

}  // namespace

std::string KnownNames() {
    std::string names;
    for (const Known& k : kModels) names += (names.empty() ? "" : ", ") + std::string(k.name);
    return names;
}

Model Open(const std::string& model) {
    const Grid grid = Find(model);
    std::string reason;
    if (!Create(grid, reason)) {
        if (grid.named) {
            throw Error("the geoid model " + grid.label + " needs the grid " + grid.path + ", which PROJ cannot open (" +
                        reason + "): install the package proj-data, or set PROJ_DATA to the folder that holds it");
        }
        throw Error("PROJ cannot read \"" + model + "\" as a vertical grid (" + reason + ")");
    }
    return {grid.label, [grid]() -> std::unique_ptr<Ground::GeoidModel> {
                std::string ignored;
                return Create(grid, ignored);
            }};
}

}  // namespace Geoid
