#include "cli/BatchConvert.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include <unistd.h>

#include "cli/FixedText.h"
#include "cli/Records.h"
#include "cli/Table.h"
#include "core/setup/Antimeridian.h"
#include "core/setup/Causes.h"
#include "core/setup/Units.h"
#include "core/text/AngleInput.h"
#include "core/text/AngleText.h"
#include "core/text/Cp1252.h"
#include "engine/Tarvane_Module.h"

namespace BatchConvert {

namespace {

using BatchInput::Field;
using BatchInput::Layout;
using BatchInput::Record;

constexpr std::size_t kBlock = std::size_t{1} << 20;  // bytes written at a time

constexpr int kScaleDecimals = 9;        // as the window shows the scale factor
constexpr int kConvergenceDecimals = 9;  // degrees
constexpr int kRadiusDecimals = 3;       // metres
constexpr int kDegreeDecimals = 9;       // latitude and longitude

void AppendFixed(std::string& out, double value, int decimals) {
    char buffer[400];  // any finite double with up to 15 decimals fits
    std::string_view text(buffer, static_cast<std::size_t>(FormatFixed(buffer, value, decimals) - buffer));
    // No minus sign on a value that shows as zero, as in the window.
    if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string_view::npos) text.remove_prefix(1);
    out.append(text);
}

void AppendInteger(std::string& out, long value) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

// A text in a row; in comma- or semicolon-separated output quoted when it
// holds the separator, a quote or a line break.
void AppendText(std::string& out, std::string_view text, char sep) {
    if (sep == '\t' || text.find_first_of(std::string(",;\"\r\n")) == std::string_view::npos) {
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

bool Blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::vector<std::string> ResultNames(const Format& f, bool heights) {
    std::vector<std::string> names;
    if (f.inverse) names = {"latitude", "longitude"};
    else names = {"easting", "northing"};
    for (const char* n : {"scale_factor", "convergence", "meridian_radius", "prime_vertical_radius"}) names.push_back(n);
    if (f.inverse) names.push_back("iterations");
    if (heights) names.insert(names.end(), {"elevation_factor", "combined_factor"});
    return names;
}

// The results of a row: grid values or angles, then the data at the point.
void AppendResults(std::string& out, const Point& p, const Format& f, char sep, bool heights) {
    if (f.inverse && f.dms) {
        AppendText(out, HrHms(p.latitude, "LAT", "form", 3, '.'), sep);
        out += sep;
        AppendText(out, HrHms(p.longitude, "LON", "form", 3, '.'), sep);
    } else if (f.inverse) {
        AppendFixed(out, p.latitude, kDegreeDecimals);
        out += sep;
        AppendFixed(out, p.longitude, kDegreeDecimals);
    } else {
        AppendFixed(out, p.easting, f.precision);
        out += sep;
        AppendFixed(out, p.northing, f.precision);
    }
    const double data[4] = {p.scaleFactor, p.convergence, p.meridianRadius, p.normalRadius};
    const int decimals[4] = {kScaleDecimals, kConvergenceDecimals, kRadiusDecimals, kRadiusDecimals};
    for (int k = 0; k < 4; ++k) {
        out += sep;
        AppendFixed(out, data[k], decimals[k]);
    }
    if (f.inverse) {
        out += sep;
        AppendInteger(out, p.iterations);
    }
    if (heights) {
        out += sep;
        if (p.hasHeight) AppendFixed(out, p.elevationFactor, kScaleDecimals);
        out += sep;
        if (p.hasHeight) AppendFixed(out, p.combinedFactor, kScaleDecimals);
    }
}

// "ERROR" where the results would stand, the other result columns empty.
void AppendErrorResults(std::string& out, const Format& f, char sep, bool heights) {
    out += "ERROR";
    out.append(ResultNames(f, heights).size() - 1, sep);
}

// Reads the two co-ordinates and the height of a point, and converts it.
bool Compute(std::string_view a, std::string_view b, const Format& f, const double* height, Point& p,
             std::string& error) {
    using namespace BatchInput;
    double x = 0.0, y = 0.0;
    if (f.inverse) {
        if (!ReadNumber(a, x) || !ReadNumber(b, y)) {
            error = (ReadNumber(a, x) ? "northing " + Quote(b) : "easting " + Quote(a)) + ": not a number";
            return false;
        }
    } else if (!ReadAngle(a, AngleKind::Latitude, x, error) || !ReadAngle(b, AngleKind::Longitude, y, error)) {
        return false;
    }
    try {
        p = f.inverse ? Inverse(x, y, f.unitsPerMetre) : Forward(x, y, f.unitsPerMetre);
    } catch (const Tarvane_Module::ArithmeticError& e) {
        error = std::string(Causes::KindName(e.kind())) + ": " +
                Causes::Cause(f.inverse ? Causes::Step::Inverse : Causes::Step::Forward, e.kind());
        return false;
    }
    if (height && !AddHeight(p, *height, f.unitsPerMetre)) {
        char text[32];
        error = "height " + std::string(text, std::to_chars(text, text + sizeof text, *height).ptr) +
                ": at or below the centre of the earth";
        return false;
    }
    return true;
}

// One feature of a GeoJSON FeatureCollection: the point (longitude and
// latitude in decimal degrees), its input columns as texts and its results
// as numbers; on an error no geometry, and the error.
void AppendFeature(std::string& out, const std::vector<std::string>& names, const std::vector<Field>& fields,
                   const std::vector<std::string>& resultKeys, const Point* p, const std::string& error,
                   const Format& f) {
    out += "{\"type\":\"Feature\",\"geometry\":";
    if (p) {
        out += "{\"type\":\"Point\",\"coordinates\":[";
        AppendFixed(out, p->longitude, kDegreeDecimals);
        out += ',';
        AppendFixed(out, p->latitude, kDegreeDecimals);
        out += "]}";
    } else {
        out += "null";
    }
    out += ",\"properties\":{";
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k) out += ',';
        AppendJson(out, k < names.size() ? names[k] : "column" + std::to_string(k + 1));
        out += ':';
        AppendJson(out, fields[k].value);
    }
    if (p) {
        std::string row;
        Format numbers = f;
        numbers.dms = false;
        AppendResults(row, *p, numbers, '\t', true);
        std::size_t k = 0, begin = 0;
        for (;; ++k) {
            const std::size_t end = row.find('\t', begin);
            const std::string_view cell = std::string_view(row).substr(begin, end - begin);
            if (!cell.empty()) {
                out += fields.empty() && k == 0 ? "" : ",";
                AppendJson(out, resultKeys[k]);
                out += ':';
                out += cell;
            }
            if (end == std::string::npos) break;
            begin = end + 1;
        }
    } else {
        out += fields.empty() ? "" : ",";
        out += "\"error\":";
        AppendJson(out, error);
    }
    out += "}}";
}

}  // namespace

namespace {

// What the engine gives at a point besides its position (radians).
void AddPointData(Point& p, double lat, double lon) {
    using namespace Tarvane_Module;
    p.scaleFactor = PointScaleFactor(lat);
    p.meridianRadius = MeridianRadius(lat);
    p.normalRadius = PrimeVerticalRadius(lat);
    p.convergence = GridConvergence(lon) * kRadToDeg;
}

}  // namespace

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

Point Forward(double latitudeDegrees, double longitudeDegrees, double unitsPerMetre) {
    using namespace Tarvane_Module;
    const double lat = latitudeDegrees * kDegToRad;
    const double lon = Antimeridian::ToEngine(longitudeDegrees * kDegToRad);
    Point p;
    p.latitude = latitudeDegrees;
    p.longitude = longitudeDegrees;
    GeoToGrid(lat, lon, p.easting, p.northing);
    // Times 1 leaves metres as they are.
    p.northing = p.northing * unitsPerMetre;
    p.easting = p.easting * unitsPerMetre;
    AddPointData(p, lat, lon);
    return p;
}

Point Inverse(double easting, double northing, double unitsPerMetre) {
    using namespace Tarvane_Module;
    Point p;
    p.easting = easting;
    p.northing = northing;
    northing = northing / unitsPerMetre;
    easting = easting / unitsPerMetre;
    double lat = 0.0, lon = 0.0;
    GridToGeo(easting, northing, lat, lon, p.iterations);
    p.latitude = lat * kRadToDeg;
    p.longitude = Antimeridian::FromEngine(lon) * kRadToDeg;
    AddPointData(p, lat, lon);
    return p;
}

bool AddHeight(Point& p, double height, double unitsPerMetre) {
    // The geometric mean radius: the earth's radius in every direction at
    // the point, on average, to within a few parts in a million.
    const double R = std::sqrt(p.meridianRadius * p.normalRadius);
    const double h = height / unitsPerMetre;
    if (!(R + h > 0.0) || !std::isfinite(h)) return false;
    p.hasHeight = true;
    p.elevationFactor = R / (R + h);
    p.combinedFactor = p.scaleFactor * p.elevationFactor;
    return true;
}

std::string Header(const Format& f) {
    std::string header = f.inverse ? "easting,northing" : "latitude,longitude";
    for (const std::string& name : ResultNames(f, f.height)) header += "," + name;
    return header;
}

namespace {

// A row of a plain list: the two input fields, then the results or ERROR
// (in CSV with the other result columns empty).
void AppendPlainRow(std::string& out, std::string_view first, std::string_view second, const Point* p,
                    const Format& f) {
    const char sep = f.csv ? ',' : '\t';
    AppendText(out, first, sep);
    out += sep;
    AppendText(out, second, sep);
    out += sep;
    if (p) {
        AppendResults(out, *p, f, sep, f.height);
    } else {
        out += "ERROR";
        if (f.csv) out.append(ResultNames(f, f.height).size() - 1, sep);
    }
}

// The two fields of a plain line, and the point they give.
bool ConvertPlain(std::string_view line, const Format& f, std::string_view& first, std::string_view& second,
                  Point& p, std::string& error) {
    if (!BatchInput::SplitLine(line, !f.inverse, first, second, error)) {
        first = line;
        second = {};
        return false;
    }
    return Compute(first, second, f, f.height ? &f.heightValue : nullptr, p, error);
}

}  // namespace

bool ConvertLine(std::string_view line, const Format& f, std::string& out, std::string& error) {
    std::string_view first, second;
    Point p;
    const bool ok = ConvertPlain(line, f, first, second, p, error);
    AppendPlainRow(out, first, second, ok ? &p : nullptr, f);
    return ok;
}

namespace {

// What every record of a run shares: how to read it and how to write it.
struct Context {
    const Format& f;
    const Layout& layout;
    bool table, heights;
    char sep;
    const std::vector<std::string>& names;       // of the input's columns
    const std::vector<std::string>& resultKeys;  // of a feature's results
    const std::string& pointOut;                 // the columns of a point file written
};

// Records read but not yet converted, copied out of the reader's buffer.
struct Batch {
    struct Item {
        std::size_t text, textLength, lineEndLength;
        long line;
        Record::Fault fault;
    };
    std::string bytes;
    std::vector<Item> items;

    void Add(const Record& r) {
        items.push_back({bytes.size(), r.text.size(), r.lineEnd.size(), r.line, r.fault});
        bytes.append(r.text).append(r.lineEnd);
    }
    bool Full() const { return items.size() >= 8192 || bytes.size() >= (std::size_t{1} << 19); }
    Record Get(std::size_t k) const {
        const Item& i = items[k];
        Record r;
        r.text = std::string_view(bytes).substr(i.text, i.textLength);
        r.lineEnd = std::string_view(bytes).substr(i.text + i.textLength, i.lineEndLength);
        r.line = i.line;
        r.fault = i.fault;
        return r;
    }
    void Clear() {
        bytes.clear();
        items.clear();
    }
};

// Converts records one after another into rows or features, and the reasons
// of those that fail into messages.
class Converter {
public:
    explicit Converter(const Context& context) : c_(context), plainFields_(2) {}

    std::string output, messages;
    int status = 0;

    void Convert(const Record& r) {
        const Format& f = c_.f;
        const Layout& layout = c_.layout;
        const std::string& point = layout.pointFormat;
        const std::string_view lineEnd = c_.table && !r.lineEnd.empty() ? r.lineEnd : "\n";
        if (r.fault == Record::Fault::None && (Blank(r.text) || (!c_.table && r.text.front() == '#'))) {
            if (!f.geojson) output.append(r.text).append(lineEnd);  // copied unchanged
            return;
        }
        // Read the record into its fields, and convert its point.
        bool ok = false, split = false, comma = false;
        Point p;
        const std::vector<Field>* fields = &plainFields_;
        plainFields_[0] = plainFields_[1] = {};
        if (r.fault == Record::Fault::TooLong) {
            why_ = "longer than " + std::to_string(BatchInput::kMaxRecord) + " bytes";
        } else if (r.fault == Record::Fault::OpenQuote) {
            why_ = "a quoted field is not closed (by the end of the file, or within " +
                   std::to_string(BatchInput::kMaxRecord) + " bytes)";
        } else if (!c_.table) {
            std::string_view a, b;
            ok = ConvertPlain(r.text, f, a, b, p, why_);
            plainFields_[0] = {a, a};
            plainFields_[1] = {b, b};
        } else if (!(split = splitter_.Split(r.text, layout.delimiter, why_))) {
        } else if (fields = &splitter_.fields(); layout.fieldCount && fields->size() != layout.fieldCount) {
            why_ = "expected " + std::to_string(layout.fieldCount) + " fields" +
                   (point.empty() ? " as in the first line" : " (" + point + ")") + ", found " +
                   std::to_string(fields->size());
        } else {
            // Where a table is separated by semicolons, as spreadsheets write it
            // where the comma is the decimal mark, a number may have a decimal
            // comma; its row's results are then written with one too.
            const auto value = [&](int k) {
                const std::string_view v = (*fields)[static_cast<std::size_t>(k)].value;
                if (layout.delimiter != ';' || v.find(',') == v.npos || v.find('.') != v.npos) return v;
                std::string& copy = decimal_[k == layout.height ? 0 : k == layout.latitude || k == layout.easting ? 1 : 2];
                copy.assign(v);
                std::replace(copy.begin(), copy.end(), ',', '.');
                comma = true;
                return std::string_view(copy);
            };
            const bool column = layout.height >= 0 && !Blank(value(layout.height));
            double height = f.heightValue;
            if (column && !BatchInput::ReadNumber(value(layout.height), height)) {
                why_ = "height " + BatchInput::Quote(value(layout.height)) + ": not a number";
            } else {
                const double* h = column || f.height ? &height : nullptr;
                ok = f.inverse ? Compute(value(layout.easting), value(layout.northing), f, h, p, why_)
                               : Compute(value(layout.latitude), value(layout.longitude), f, h, p, why_);
            }
        }
        if (!ok) {
            messages += "tarvane-convert: line " + std::to_string(r.line) + ": " + why_ + "\n";
            status = 1;
        }
        if (c_.table && !split) fields = &plainFields_;  // nothing of it could be read

        // Write its row or feature.
        if (f.geojson) {
            output += ",\n";
            AppendFeature(output, c_.names, *fields, c_.resultKeys, ok ? &p : nullptr, why_, f);
            return;
        }
        if (!c_.table) {
            AppendPlainRow(output, (*fields)[0].raw, (*fields)[1].raw, ok ? &p : nullptr, f);
        } else if (!point.empty()) {
            // A point file keeps its columns, with ERROR in those it could not fill.
            const auto raw = [&](char c) {
                const std::size_t k = point.find(c);
                return k < fields->size() ? (*fields)[k].raw : std::string_view();
            };
            for (std::size_t k = 0; k < c_.pointOut.size(); ++k) {
                const char c = c_.pointOut[k];
                if (k) output += ',';
                if (c == 'p' || c == 'z' || c == 'd') output.append(raw(c));
                else if (!ok) output += "ERROR";
                else if (c == 'n' || c == 'e') AppendFixed(output, c == 'n' ? p.northing : p.easting, f.precision);
                else if (f.dms) AppendText(output, HrHms(c == 'y' ? p.latitude : p.longitude, c == 'y' ? "LAT" : "LON", "form", 3, '.'), ',');
                else AppendFixed(output, c == 'y' ? p.latitude : p.longitude, kDegreeDecimals);
            }
        } else {
            // The record as it came (in one quoted field when it could not be
            // read), then the results.
            if (split) output.append(r.text);
            else AppendText(output, r.text, c_.sep);
            output += c_.sep;
            const std::size_t results = output.size();
            if (ok) AppendResults(output, p, f, c_.sep, c_.heights);
            else AppendErrorResults(output, f, c_.sep, c_.heights);
            if (comma) std::replace(output.begin() + static_cast<std::ptrdiff_t>(results), output.end(), '.', ',');
        }
        output.append(lineEnd);
    }

private:
    const Context& c_;
    BatchInput::FieldSplitter splitter_;
    std::vector<Field> plainFields_;
    std::string why_;
    std::string decimal_[3];  // numbers of a row with their decimal comma made a point
};

}  // namespace

int Run(int in, int out, int err, const Format& f, bool progress) {
    std::string output, messages, why;
    output.reserve(2 * kBlock);
    int status = 0;
    bool progressShown = false;
    long shownRecords = 0;
    auto lastProgress = std::chrono::steady_clock::now();

    // Passes on what is done; false with errno set when the output fails.
    const auto flush = [&]() {
        if (progressShown && !messages.empty()) {
            messages.insert(0, "\r\x1b[K");  // the messages go over the line count
            progressShown = false;
        }
        WriteAll(err, messages);
        messages.clear();
        const bool ok = WriteAll(out, output);
        output.clear();
        return ok;
    };
    int writeError = 0;
    const auto flushOrNote = [&]() {
        if (writeError == 0 && !flush()) writeError = errno ? errno : EIO;
    };
    const bool knownTable = !f.pointFormat.empty() || f.header || !f.columns.empty();
    std::function<void()> onWait = flushOrNote;  // before the input may keep us waiting
    BatchInput::RecordReader reader(in, knownTable, [&] { onWait(); });
    BatchInput::FieldSplitter splitter;
    Record r;
    bool pending = reader.Next(r);  // a record read but not yet handled

    // What the input is: a point file, a table with its columns, or a plain list.
    Layout layout;
    bool table = false;
    if (!f.pointFormat.empty()) {
        BatchInput::PointLayout(f.pointFormat, layout);
        table = true;
    } else if (pending && r.fault == Record::Fault::None) {
        layout.delimiter = BatchInput::DetectDelimiter(r.text);
        const bool split = splitter.Split(r.text, layout.delimiter, why);
        layout.header = f.header || (split && BatchInput::LooksLikeHeader(splitter.fields()));
        table = layout.header || !f.columns.empty();
        if (table && !split) {
            WriteAll(err, "tarvane-convert: line 1: " + why + "\n");
            return 2;
        }
        if (table && !BatchInput::MapColumns(splitter.fields(), layout.header, f.columns, layout, why)) {
            WriteAll(err, "tarvane-convert: " + why + "\n");
            return 2;
        }
        layout.fieldCount = table ? splitter.fields().size() : 0;
        if (layout.header && !f.header) {
            messages += "tarvane-convert: line 1 is taken as a header naming the columns (--header says so)\n";
        }
    }
    if (table) {
        const bool inverse = f.inverse;
        const char* missing = inverse ? (layout.easting < 0 ? "easting column (e, east, easting or x)"
                                         : layout.northing < 0 ? "northing column (n, north, northing or y)" : nullptr)
                                      : (layout.latitude < 0 ? "latitude column (lat, latitude or phi)"
                                         : layout.longitude < 0 ? "longitude column (lon, long, longitude or lambda)"
                                                                : nullptr);
        if (missing) {
            WriteAll(err, std::string("tarvane-convert: no ") + missing +
                              ": name it in the header or give --columns" +
                              (inverse ? "" : " (a file of grid co-ordinates needs --inverse)") + "\n");
            return 2;
        }
        reader.setQuoted(true);
    }
    const bool heights = f.height || layout.height >= 0;
    const char sep = table ? layout.delimiter : (f.csv ? ',' : '\t');
    std::vector<std::string> names = layout.names;
    if (!table) names = f.inverse ? std::vector<std::string>{"easting", "northing"}
                                  : std::vector<std::string>{"latitude", "longitude"};
    // Result keys of a feature, apart from the input's own names.
    std::vector<std::string> resultKeys = ResultNames(f, true);
    for (std::string& key : resultKeys)
        if (std::find(names.begin(), names.end(), key) != names.end()) key = "computed_" + key;

    // The output's head. JSON is never written with a byte order mark.
    if (reader.byteOrderMark() && !f.geojson) output += "\xEF\xBB\xBF";
    if (f.geojson) {
        output += "{\"type\":\"FeatureCollection\",\"features\":[";
    } else if (layout.header) {
        output.append(r.text);
        for (const std::string& name : ResultNames(f, heights)) {
            output += sep;
            output += name;
        }
        output.append(r.lineEnd.empty() ? "\n" : r.lineEnd);
    } else if (!table && f.csv) {
        output += Header(f) + "\n";
    }
    if (layout.header) pending = reader.Next(r);

    // Output columns of a point file: a grid file gives latitude and
    // longitude (y, x), a latitude/longitude file gives northing and easting.
    std::string pointOut;
    if (!layout.pointFormat.empty()) {
        pointOut = f.inverse ? "pyx" : "pne";
        for (const char c : {'z', 'd'})
            if (layout.pointFormat.find(c) != std::string::npos) pointOut += c;
    }
    const Context context{f, layout, table, heights, sep, names, resultKeys, pointOut};

    // Records are converted a batch at a time, half of each batch on a second
    // core where there is one: the engine only reads its record while it
    // converts. The rows keep their order.
    Batch batch;
    Converter first(context), second(context);
    const bool twoCores = std::thread::hardware_concurrency() > 1;
    bool firstFeature = true;
    long records = 0;
    const auto convert = [&]() {
        const std::size_t n = batch.items.size();
        const std::size_t half = twoCores && n >= 64 ? n / 2 : n;
        std::thread helper;
        if (half < n) helper = std::thread([&] { for (std::size_t k = half; k < n; ++k) second.Convert(batch.Get(k)); });
        for (std::size_t k = 0; k < half; ++k) first.Convert(batch.Get(k));
        if (helper.joinable()) helper.join();
        for (Converter* c : {&first, &second}) {
            std::string_view done = c->output;
            if (f.geojson && firstFeature && !done.empty()) {
                done.remove_prefix(1);  // no comma before the first feature
                firstFeature = false;
            }
            output.append(done);
            messages += c->messages;
            status = std::max(status, c->status);
            c->output.clear();
            c->messages.clear();
        }
        records += static_cast<long>(n);
        batch.Clear();
        if (progress && records - shownRecords >= 0x4000) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastProgress >= std::chrono::milliseconds(250)) {
                lastProgress = now;
                shownRecords = records;
                progressShown = true;
                WriteAll(err, "\rtarvane-convert: " + std::to_string(records) + " records");
            }
        }
        if (output.size() >= kBlock) flushOrNote();
    };
    onWait = [&]() {
        convert();
        flushOrNote();
    };
    for (; pending && !writeError; pending = reader.Next(r)) {
        batch.Add(r);
        if (batch.Full()) convert();
    }
    convert();
    if (f.geojson) output += "\n]}\n";
    flushOrNote();
    const int failure = writeError ? writeError : reader.error();
    if (failure != 0) {
        WriteAll(err, std::string(progressShown ? "\r\x1b[K" : "") + "tarvane-convert: cannot " +
                          (writeError ? "write the output" : "read the input") + ": " + std::strerror(failure) + "\n");
        return 1;
    }
    if (progressShown) WriteAll(err, "\r\x1b[K");
    return status;
}

}  // namespace BatchConvert
