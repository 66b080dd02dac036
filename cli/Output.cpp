#include "cli/Output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/text/AngleText.h"
#include "core/text/Cp1252.h"
#include "core/text/FixedText.h"

namespace Output {

namespace {

using BatchConvert::Format;

constexpr int kFactorDecimals = 9;       // as the window shows the scale factor
constexpr int kConvergenceDecimals = 9;  // degrees
constexpr int kRadiusDecimals = 3;       // metres
constexpr int kDegreeDecimals = 9;       // latitude and longitude
constexpr int kHeightDecimals = 3;       // the geoid height, grid unit

std::string Lower(std::string_view s) {
    std::string l(s);
    for (char& c : l)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return l;
}

// `name`, or with a prefix or a number where `taken` has it already; the
// result joins `taken`.
std::string Distinct(std::string name, std::vector<std::string>& taken, const char* prefix) {
    const auto has = [&](const std::string& n) {
        return std::any_of(taken.begin(), taken.end(), [&](const std::string& t) { return Lower(t) == Lower(n); });
    };
    if (has(name) && *prefix) name = prefix + name;
    const std::string base = name;
    for (int k = 2; has(name); ++k) name = base + "_" + std::to_string(k);
    taken.push_back(name);
    return name;
}

// A JSON string: quotes, backslashes and control characters escaped, and a
// byte that is not UTF-8 as U+FFFD.
void AppendJson(std::string& out, std::string_view text) {
    out += '"';
    for (const auto& c : Cp1252::DecodeUtf8(text)) {
        const char32_t u = c.codePoint;
        if (u == '"' || u == '\\') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
            out += escape;
        } else if (c.valid) {
            out.append(text.substr(c.offset, c.length));
        } else {
            Cp1252::AppendUtf8(out, u);
        }
    }
    out += '"';
}

std::string_view LineEnd(const Records::Record& r) { return r.lineEnd.empty() ? "\n" : r.lineEnd; }

// The results of a row, separated by `sep`, an angle's text quoted where the
// separator calls for it.
void AppendResults(std::string& out, const std::vector<Column>& columns, const Conversion::Point& p, const Format& f,
                   char sep) {
    std::string text;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (k) out += sep;
        text.clear();
        AppendResult(text, columns[k].result, p, f);
        AppendText(out, text, sep);
    }
}

// A plain list: the two input fields, then the results, tab-separated or
// with --csv comma-separated under a header line.
class PlainRows : public Writer {
public:
    PlainRows(const Format& f, bool heights) : f_(f), columns_(ResultColumns(f, heights)) {}

    void Head(std::string& out, const Records::Record*) override {
        if (!f_.csv) return;
        out += f_.inverse ? "easting,northing" : "latitude,longitude";
        for (const Column& c : columns_) out.append(",").append(c.name);
        out += '\n';
    }
    void Write(std::string& out, const Row& row) override {
        const char sep = f_.csv ? ',' : '\t';
        AppendText(out, row.fields[0].raw, sep);
        out += sep;
        AppendText(out, row.fields[1].raw, sep);
        out += sep;
        if (row.point) {
            AppendResults(out, columns_, *row.point, f_, sep);
        } else {
            out += "ERROR";
            if (f_.csv) out.append(columns_.size() - 1, sep);
        }
        out += '\n';
    }

private:
    const Format& f_;
    std::vector<Column> columns_;
};

// A table: every record as it came, then the results as new columns, named
// in the header row.
class TableRows : public Writer {
public:
    TableRows(const Format& f, const Columns::Layout& l, bool heights)
        : f_(f), l_(l), columns_(ResultColumns(f, heights)), names_(ResultNames(columns_, l.names)) {}

    void Head(std::string& out, const Records::Record* header) override {
        if (!header) return;
        out.append(header->text);
        for (const std::string& name : names_) out.append(1, l_.separator).append(name);
        out.append(LineEnd(*header));
    }
    void Write(std::string& out, const Row& row) override {
        const char sep = l_.separator;
        if (row.record.fault == Records::Record::Fault::None) out.append(row.record.text);
        else out.append(l_.fieldCount > 0 ? l_.fieldCount - 1 : 0, sep);  // nothing of it was kept
        out += sep;
        const std::size_t results = out.size();
        if (row.point) {
            AppendResults(out, columns_, *row.point, f_, sep);
        } else {
            out += "ERROR";
            out.append(columns_.size() - 1, sep);
        }
        // A row read with decimal commas gets its results so too.
        if (row.decimalComma)
            std::replace(out.begin() + static_cast<std::ptrdiff_t>(results), out.end(), '.', ',');
        out.append(LineEnd(row.record));
    }

private:
    const Format& f_;
    const Columns::Layout& l_;
    std::vector<Column> columns_;
    std::vector<std::string> names_;
};

// A point file keeps its point, elevation and description as they came; a
// grid file gives latitude and longitude (y, x), a latitude/longitude file
// northing and easting, with ERROR in those it cannot fill.
class PointRows : public Writer {
public:
    PointRows(const Format& f, const Columns::Layout& l) : f_(f), in_(l.pointFormat) {
        out_ = f.inverse ? "pyx" : "pne";
        for (const char c : {'z', 'd'})
            if (in_.find(c) != std::string::npos) out_ += c;
    }

    void Head(std::string&, const Records::Record*) override {}
    void Write(std::string& out, const Row& row) override {
        for (std::size_t k = 0; k < out_.size(); ++k) {
            const char c = out_[k];
            if (k) out += ',';
            if (c == 'p' || c == 'z' || c == 'd') {
                const std::size_t at = in_.find(c);
                if (at < row.fields.size()) out.append(row.fields[at].raw);
            } else if (!row.point) {
                out += "ERROR";
            } else {
                // A point file in surface co-ordinates stays one.
                const bool surface = f_.surface.has_value();
                const Result r = c == 'n' ? (surface ? Result::SurfaceNorthing : Result::Northing)
                               : c == 'e' ? (surface ? Result::SurfaceEasting : Result::Easting)
                               : c == 'y' ? Result::Latitude : Result::Longitude;
                std::string text;
                AppendResult(text, r, *row.point, f_);
                AppendText(out, text, ',');
            }
        }
        out.append(LineEnd(row.record));
    }

private:
    const Format& f_;
    std::string in_, out_;
};

// A GeoJSON FeatureCollection: a feature a record, the point in longitude
// and latitude (decimal degrees), its columns as texts and its results as
// numbers; a record that fails has no geometry, and its error.
class GeoJson : public Writer {
public:
    GeoJson(const Format& f, const Columns::Layout& l, bool table, bool heights)
        : f_(f), columns_(ResultColumns(f, heights)) {
        std::vector<std::string> input = table ? l.names
                                               : f.inverse ? std::vector<std::string>{"easting", "northing"}
                                                           : std::vector<std::string>{"latitude", "longitude"};
        std::vector<std::string> taken;
        for (std::size_t k = 0; k < input.size(); ++k)
            keys_.push_back(Distinct(input[k].empty() ? "column" + std::to_string(k + 1) : input[k], taken, ""));
        for (const Column& c : columns_) resultKeys_.push_back(Distinct(c.name, taken, "computed_"));
    }

    void Head(std::string& out, const Records::Record*) override {
        out += "{\"type\":\"FeatureCollection\",";
        // RFC 7946 readers take positions as WGS 84; the datum they are on is named here.
        if (!f_.datum.empty()) {
            out += "\"datum\":";
            AppendJson(out, f_.datum);
            out += ',';
        }
        out += "\"features\":[";
    }
    void Copy(std::string&, const Records::Record&) override {}
    std::string_view Separator() const override { return ",\n"; }
    void Write(std::string& out, const Row& row) override {
        out += ",\n{\"type\":\"Feature\",\"geometry\":";
        if (row.point) {
            out += "{\"type\":\"Point\",\"coordinates\":[";
            AppendFixed(out, row.point->longitude, kDegreeDecimals);
            out += ',';
            AppendFixed(out, row.point->latitude, kDegreeDecimals);
            out += "]}";
        } else {
            out += "null";
        }
        out += ",\"properties\":{";
        bool first = true;
        const auto key = [&](const std::string& name) {
            if (!first) out += ',';
            first = false;
            AppendJson(out, name);
            out += ':';
        };
        for (std::size_t k = 0; k < row.fields.size(); ++k) {
            key(k < keys_.size() ? keys_[k] : "column" + std::to_string(k + 1));
            AppendJson(out, row.fields[k].value);
        }
        if (row.point) {
            for (std::size_t k = 0; k < columns_.size(); ++k) {
                std::string value;
                AppendResult(value, columns_[k].result, *row.point, f_);
                if (value.empty()) continue;  // a factor of a point without a height
                key(resultKeys_[k]);
                out += value;
            }
        } else {
            key("error");
            AppendJson(out, row.error);
        }
        out += "}}";
    }
    void Tail(std::string& out) override { out += "\n]}\n"; }

private:
    const Format& f_;
    std::vector<Column> columns_;
    std::vector<std::string> keys_, resultKeys_;
};

// Each converted point, its latitude, longitude and height, for a design;
// nothing else.
class DesignPoints : public Writer {
public:
    explicit DesignPoints(const Columns::Layout& l) {
        // The point of a point file; the first column of a table that holds no co-ordinate or height.
        const int taken[] = {l.latitude, l.longitude, l.northing, l.easting, l.height};
        for (int k = 0; name_ < 0 && k < static_cast<int>(l.fieldCount); ++k)
            if (std::find(std::begin(taken), std::end(taken), k) == std::end(taken)) name_ = k;
    }
    void Head(std::string&, const Records::Record*) override {}
    void Copy(std::string&, const Records::Record&) override {}
    void Write(std::string& out, const Row& row) override {
        if (!row.point) return;
        const std::string_view name =
            name_ >= 0 && static_cast<std::size_t>(name_) < row.fields.size() ? row.fields[name_].value : "";
        const DesignPoint p{row.record.line, row.point->latitude, row.point->longitude, row.point->height, name.size()};
        char bytes[sizeof p];
        std::memcpy(bytes, &p, sizeof p);
        out.append(bytes, sizeof p).append(name);
    }

private:
    int name_ = -1;
};

}  // namespace

std::vector<Column> ResultColumns(const Format& f, bool heights) {
    std::vector<Column> c;
    const bool surface = f.surface.has_value();
    if (f.inverse) {
        c = {{Result::Latitude, "latitude"}, {Result::Longitude, "longitude"}};
        if (surface) c.insert(c.end(), {{Result::Easting, "grid_easting"}, {Result::Northing, "grid_northing"}});
    } else {
        c = {{Result::Easting, "easting"}, {Result::Northing, "northing"}};
        if (surface)
            c.insert(c.end(), {{Result::SurfaceEasting, "surface_easting"}, {Result::SurfaceNorthing, "surface_northing"}});
    }
    c.insert(c.end(), {{Result::ScaleFactor, "scale_factor"}, {Result::Convergence, "convergence"},
                       {Result::MeridianRadius, "meridian_radius"}, {Result::NormalRadius, "prime_vertical_radius"}});
    if (f.inverse) c.push_back({Result::Iterations, "iterations"});
    if (f.geoid) c.push_back({Result::GeoidHeight, "geoid_height"});
    if (heights) c.insert(c.end(), {{Result::ElevationFactor, "elevation_factor"}, {Result::CombinedFactor, "combined_factor"}});
    return c;
}

std::vector<std::string> ResultNames(const std::vector<Column>& columns, const std::vector<std::string>& inputNames) {
    std::vector<std::string> taken = inputNames, names;
    for (const Column& c : columns) names.push_back(Distinct(c.name, taken, "computed_"));
    return names;
}

void AppendResult(std::string& out, Result result, const Conversion::Point& p, const Format& f) {
    switch (result) {
        case Result::Easting: return AppendFixed(out, p.easting, f.precision);
        case Result::Northing: return AppendFixed(out, p.northing, f.precision);
        case Result::Latitude:
        case Result::Longitude: {
            const bool lat = result == Result::Latitude;
            const double v = lat ? p.latitude : p.longitude;
            if (f.dms) out += HrHms(v, lat ? AngleKind::Latitude : AngleKind::Longitude, AngleStyle::Form, static_cast<std::int16_t>(f.precision), '.');
            else AppendFixed(out, v, kDegreeDecimals);
            return;
        }
        case Result::ScaleFactor: return AppendFixed(out, p.scaleFactor, kFactorDecimals);
        case Result::Convergence: return AppendFixed(out, p.convergence, kConvergenceDecimals);
        case Result::MeridianRadius: return AppendFixed(out, p.meridianRadius, kRadiusDecimals);
        case Result::NormalRadius: return AppendFixed(out, p.normalRadius, kRadiusDecimals);
        case Result::Iterations: out += std::to_string(p.iterations); return;
        case Result::ElevationFactor:
            if (p.hasHeight) AppendFixed(out, p.elevationFactor, kFactorDecimals);
            return;
        case Result::CombinedFactor:
            if (p.hasHeight) AppendFixed(out, p.combinedFactor, kFactorDecimals);
            return;
        case Result::GeoidHeight:
            if (p.hasGeoid) AppendFixed(out, p.geoidHeight, kHeightDecimals);
            return;
        case Result::SurfaceEasting: return AppendFixed(out, p.surfaceEasting, f.precision);
        case Result::SurfaceNorthing: return AppendFixed(out, p.surfaceNorthing, f.precision);
    }
}

void AppendText(std::string& out, std::string_view text, char sep) {
    if (sep == '\t' || text.find_first_of(",;\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void Writer::Copy(std::string& out, const Records::Record& record) {
    out.append(record.text).append(LineEnd(record));
}

void Writer::Tail(std::string&) {}

std::unique_ptr<Writer> MakeWriter(const Format& f, const Columns::Layout& l, bool table, bool heights) {
    if (f.designPoints) return std::make_unique<DesignPoints>(l);
    if (f.geojson) return std::make_unique<GeoJson>(f, l, table, heights);
    if (!l.pointFormat.empty()) return std::make_unique<PointRows>(f, l);
    if (table) return std::make_unique<TableRows>(f, l, heights);
    return std::make_unique<PlainRows>(f, heights);
}

}  // namespace Output
