// The page's way into the C++: the window's calculator, the settings file,
// the registry's grids and tarvane-convert's pipeline, each exposed as it is.
// Nothing here decides a rule of its own; it passes texts and bytes across
// and hands each command's messages back in the order they arose.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <vector>

#include "cli/BatchConvert.h"
#include "cli/BatchProjection.h"
#include "core/calc/Calculator.h"
#include "core/crs/Grids.h"
#include "core/crs/WindowFields.h"
#include "core/settings/Settings.h"
#include "core/text/AngleInput.h"
#include "engine/Tarvane_Module.h"

using emscripten::val;

namespace {

// Bytes to JavaScript as a Uint8Array of their own (a string would be read
// as UTF-8, and the settings file is Windows-1252).
val Bytes(std::string_view bytes) {
    return val::global("Uint8Array").new_(emscripten::typed_memory_view(bytes.size(), bytes.data())).call<val>("slice");
}

val Strings(const std::vector<std::string>& strings) {
    val list = val::array();
    for (const std::string& s : strings) list.call<void>("push", s);
    return list;
}

// The grids of the registry, read once from the file the build wrote.
std::vector<Epsg::Grid>& Grids() {
    static std::vector<Epsg::Grid> grids;
    return grids;
}

const Epsg::Grid* GridOf(int code) {
    for (const Epsg::Grid& g : Grids())
        if (g.code == code) return &g;
    return nullptr;
}

// The grid file's text; empty, or why it cannot be read.
std::string LoadGrids(const std::string& text) {
    std::vector<Epsg::Grid> grids;
    std::string error;
    if (Epsg::ReadGridLines(text, grids, error)) Grids() = std::move(grids);
    return error;
}

// The grids whose code or name holds every word of the query, at most
// `limit` of them, each with the reason when the form cannot hold it.
val SearchGrids(const std::string& query, int limit, const std::string& separator) {
    val found = val::array();
    int count = 0;
    for (const Epsg::Grid& g : Grids()) {
        if (!Epsg::Matches(Epsg::SearchText(g), query)) continue;
        if (count++ == limit) break;
        ProjectionSetup::ParameterFields fields;
        std::string reason;
        const bool usable = Epsg::WindowFields(g, separator.empty() ? '.' : separator[0], fields, reason);
        val row = val::object();
        row.set("code", g.code);
        row.set("name", g.name);
        row.set("unit", g.unitName);
        row.set("ellipsoid", g.ellipsoidName);
        row.set("usable", usable);
        row.set("reason", reason);
        found.call<void>("push", row);
    }
    return found;
}

// The calculator as the page drives it. Every command gives back the
// messages it showed, in order; the page shows them one after another.
class Page {
public:
    explicit Page(const std::string& separator)
        : calc_(separator.empty() ? '.' : separator[0], [this](const std::string& m) { messages_.push_back(m); }),
          separator_(separator.empty() ? '.' : separator[0]) {}

    val State() const {
        const Calc::FormState& s = calc_.State();
        val o = val::object();
        o.set("coordSystem", s.coordSystem);
        o.set("zone", s.zone);
        o.set("datum", s.datum);
        o.set("unit", s.unit);
        o.set("oneParallel", s.oneParallel);
        o.set("unitTag", s.unitTag);
        o.set("zoneList", Strings(s.zoneList));
        o.set("text", Strings(std::vector<std::string>(s.text.begin(), s.text.end())));
        o.set("lblUnit", s.lblUnit);
        o.set("lblParallel1", s.lblParallel1);
        o.set("lblTest", s.lblTest);
        o.set("lblScaleFactor", s.lblScaleFactor);
        o.set("lblMeridianRadius", s.lblMeridianRadius);
        o.set("lblNormalRadius", s.lblNormalRadius);
        o.set("initialized", s.initialized);
        o.set("parametersEnabled", s.parametersEnabled);
        o.set("zoneListShown", s.zoneListShown);
        o.set("zoneListRow", s.zoneListRow);
        o.set("northernRowShown", s.northernRowShown);
        return o;
    }

    // A settings file's bytes, or none for the defaults; the form starts
    // from them as the window starts from TARVANE.ini.
    val Start(const std::string& bytes) {
        return Run([&] {
            TarvaneSettings stored;
            if (bytes.empty() || !Read_Tarvane_Bytes(bytes, stored)) stored.iZone = -99;
            calc_.Start(stored);
        });
    }
    // Whether the bytes are a settings file at all.
    static bool IsSettingsFile(const std::string& bytes) {
        TarvaneSettings stored;
        return Read_Tarvane_Bytes(bytes, stored);
    }
    val SettingsBytes() const { return Bytes(Tarvane_File_Bytes(calc_.Settings())); }

    // A field number from outside names no field: nothing happens.
    val Edit(int field, const std::string& text) {
        return Run([&] { if (IsField(field)) calc_.Edit(static_cast<Calc::Field>(field), text); });
    }
    val Leave(int field) {
        return Run([&] { if (IsField(field)) calc_.Leave(static_cast<Calc::Field>(field)); });
    }
    val ChooseSystem(int i) { return Run([&] { calc_.ChooseSystem(i); }); }
    val ChooseZone(int i) { return Run([&] { calc_.ChooseZone(i); }); }
    val ChooseDatum(int i) { return Run([&] { calc_.ChooseDatum(i); }); }
    val ChooseUnit(int i) { return Run([&] { calc_.ChooseUnit(i); }); }
    val ChooseParallels(int i) { return Run([&] { calc_.ChooseParallels(i); }); }
    val Initialize() { return Run([&] { calc_.Initialize(); }); }
    val Convert(int i) { return Run([&] { calc_.Convert(i); }); }
    // A grid of the registry typed into the fields, as the window's EPSG dialog does it.
    val TypeGrid(int code) {
        return Run([&] {
            ProjectionSetup::ParameterFields fields;
            std::string reason;
            const Epsg::Grid* grid = GridOf(code);
            if (grid && Epsg::WindowFields(*grid, separator_, fields, reason)) calc_.TypeFields(fields);
        });
    }

private:
    static bool IsField(int field) { return field >= 0 && static_cast<std::size_t>(field) < Calc::kFieldCount; }

    template <typename Command>
    val Run(const Command& command) {
        messages_.clear();
        command();
        return Strings(messages_);
    }

    Calc::Calculator calc_;
    char separator_;
    std::vector<std::string> messages_;
};

// --- Files: tarvane-convert's pipeline ----------------------------------------

// The projection of a settings file, as tarvane-convert --settings reads it,
// with the area of a State Plane zone's grid.
bool SettingsProjection(const std::string& bytes, ProjectionSetup::ProjectionParameters& p,
                        BatchConvert::Format& f, std::string& error) {
    TarvaneSettings s;
    const bool read = Read_Tarvane_Bytes(bytes, s) && BatchProjection::SettingsParameters(s, p, error);
    if (!read) {
        if (error.empty()) error = "the settings are not a settings file (thirteen lines as the window writes them)";
        return false;
    }
    BatchProjection::DescribeDatum(p.datum, f);
    if (const Epsg::Grid* grid = GridOf(BatchProjection::StoredZoneGridCode(s))) BatchProjection::DescribeZoneGrid(*grid, f);
    return true;
}

// Converts a whole file as tarvane-convert does. `options` holds what its
// options choose: inverse, csv, dms, precision (-1: its default), header,
// columns, pointFormat, geojson, height (text; empty: none), and the
// projection: settings (the bytes of a settings file) or epsg (a code).
// `read(address, size)` puts up to `size` bytes of the input at `address` of
// this module's memory and gives their count (0 at the end);
// `write(address, size)` and `say(text)` take the output and the messages.
// Result: tarvane-convert's exit status, or 2 after a message when the
// options or the projection cannot be.
int ConvertFile(val options, val read, val write, val say) {
    const BatchConvert::Writer messages = [&say](std::string_view text) {
        say(std::string(text));
        return true;
    };
    BatchConvert::Format f;
    f.inverse = options["inverse"].as<bool>();
    f.csv = options["csv"].as<bool>();
    f.dms = options["dms"].as<bool>();
    f.header = options["header"].as<bool>();
    f.geojson = options["geojson"].as<bool>();
    f.columns = options["columns"].as<std::string>();
    f.pointFormat = options["pointFormat"].as<std::string>();
    if (const int precision = options["precision"].as<int>(); precision >= 0) f.precision = precision;
    const std::string height = options["height"].as<std::string>();
    if (!height.empty() && !BatchInput::ReadNumber(height, f.heightValue)) {
        messages("tarvane-convert: --height: " + BatchInput::Quote(height) + " is not a number\n");
        return 2;
    }
    f.height = !height.empty();

    ProjectionSetup::ProjectionParameters p;
    std::string error;
    bool ready = false;
    if (options["epsg"].as<int>() > 0) {
        const Epsg::Grid* grid = GridOf(options["epsg"].as<int>());
        if (grid) {
            p = grid->parameters;
            BatchProjection::DescribeGrid(*grid, f);
            ready = true;
        } else {
            error = "--epsg: EPSG:" + std::to_string(options["epsg"].as<int>()) + " is not a grid of the page";
        }
    } else {
        ready = SettingsProjection(options["settings"].as<std::string>(), p, f, error);
    }
    f.unitsPerMetre = p.unitsPerMetre;
    if (!ready || !BatchProjection::Setup(p, error)) {
        messages("tarvane-convert: " + error + "\n");
        return 2;
    }
    const BatchConvert::Source source = [&read](char* buffer, std::size_t size) {
        return read(reinterpret_cast<std::uintptr_t>(buffer), size).as<long>();
    };
    const BatchConvert::Writer output = [&write](std::string_view data) {
        write(reinterpret_cast<std::uintptr_t>(data.data()), data.size());
        return true;
    };
    return BatchConvert::Convert(source, output, messages, f, false);
}

}  // namespace

EMSCRIPTEN_BINDINGS(tarvane) {
    emscripten::class_<Page>("Calculator")
        .constructor<std::string>()
        .function("state", &Page::State)
        .function("start", &Page::Start)
        .class_function("isSettingsFile", &Page::IsSettingsFile)
        .function("settingsBytes", &Page::SettingsBytes)
        .function("edit", &Page::Edit)
        .function("leave", &Page::Leave)
        .function("chooseSystem", &Page::ChooseSystem)
        .function("chooseZone", &Page::ChooseZone)
        .function("chooseDatum", &Page::ChooseDatum)
        .function("chooseUnit", &Page::ChooseUnit)
        .function("chooseParallels", &Page::ChooseParallels)
        .function("initialize", &Page::Initialize)
        .function("convert", &Page::Convert)
        .function("typeGrid", &Page::TypeGrid);
    emscripten::function("loadGrids", &LoadGrids);
    emscripten::function("searchGrids", &SearchGrids);
    emscripten::function("convertFile", &ConvertFile);
}
