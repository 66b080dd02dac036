#include "cli/BatchConvert.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <memory>

#include <unistd.h>

#include "core/text/AngleInput.h"
#include "core/text/AngleText.h"
#include "cli/FixedText.h"
#include "engine/Tarvane_Module.h"
#include "core/setup/Antimeridian.h"
#include "core/setup/Causes.h"
#include "core/setup/Units.h"

namespace BatchConvert {

namespace {


constexpr std::size_t kBlock = std::size_t{1} << 20;    // bytes read and written at a time
constexpr std::size_t kMaxLine = std::size_t{1} << 16;  // a longer line is an error

constexpr int kScaleDecimals = 9;        // as the window shows the scale factor
constexpr int kConvergenceDecimals = 9;  // degrees
constexpr int kRadiusDecimals = 3;       // metres
constexpr int kDegreeDecimals = 9;       // inverse latitude and longitude

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

// An echoed input field; in CSV quoted when it holds a comma or a quote.
void AppendText(std::string& out, std::string_view text, bool csv) {
    if (!csv || text.find_first_of(",\"\r\n") == std::string_view::npos) {
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

int ComputedColumns(const Format& f) { return f.inverse ? 7 : 6; }

void AppendErrorRow(std::string& out, std::string_view first, std::string_view second, const Format& f) {
    const char sep = f.csv ? ',' : '\t';
    AppendText(out, first, f.csv);
    out += sep;
    AppendText(out, second, f.csv);
    out += sep;
    out += "ERROR";
    if (f.csv) out.append(static_cast<std::size_t>(ComputedColumns(f) - 1), ',');
}

bool Blank(std::string_view line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

// Writes all of `data`, going on after short writes.
bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

GridPoint Forward(double latitudeDegrees, double longitudeDegrees, double unitsPerMetre) {
    using namespace Tarvane_Module;
    const double lat = latitudeDegrees * kDegToRad;
    const double lon = Antimeridian::ToEngine(longitudeDegrees * kDegToRad);
    GridPoint p{};
    GeoToGrid(lat, lon, p.easting, p.northing);
    // Times 1 leaves metres as they are.
    p.northing = p.northing * unitsPerMetre;
    p.easting = p.easting * unitsPerMetre;
    p.scaleFactor = PointScaleFactor(lat);
    p.meridianRadius = MeridianRadius(lat);
    p.normalRadius = PrimeVerticalRadius(lat);
    p.convergence = GridConvergence(lon) * kRadToDeg;
    return p;
}

GeoPoint Inverse(double easting, double northing, double unitsPerMetre) {
    using namespace Tarvane_Module;
    northing = northing / unitsPerMetre;
    easting = easting / unitsPerMetre;
    double lat = 0.0, lon = 0.0;
    GeoPoint p{};
    p.iterations = 0;
    GridToGeo(easting, northing, lat, lon, p.iterations);
    p.latitude = lat * kRadToDeg;
    p.longitude = Antimeridian::FromEngine(lon) * kRadToDeg;
    p.scaleFactor = PointScaleFactor(lat);
    p.meridianRadius = MeridianRadius(lat);
    p.normalRadius = PrimeVerticalRadius(lat);
    p.convergence = GridConvergence(lon) * kRadToDeg;
    return p;
}

std::string Header(const Format& f) {
    return f.inverse ? "easting,northing,latitude,longitude,scale_factor,convergence,meridian_radius,"
                       "prime_vertical_radius,iterations"
                     : "latitude,longitude,easting,northing,scale_factor,convergence,meridian_radius,"
                       "prime_vertical_radius";
}

bool ConvertLine(std::string_view line, const Format& f, std::string& out, std::string& error) {
    using namespace BatchInput;
    std::string_view first, second;
    if (!SplitLine(line, !f.inverse, first, second, error)) {
        AppendErrorRow(out, line, {}, f);
        return false;
    }
    double a = 0.0, b = 0.0;
    bool read = false;
    if (f.inverse) {
        read = ReadNumber(first, a) && ReadNumber(second, b);
        if (!read) error = (ReadNumber(first, a) ? "northing " + Quote(second) : "easting " + Quote(first)) +
                           ": not a number";
    } else {
        read = ReadAngle(first, AngleKind::Latitude, a, error) && ReadAngle(second, AngleKind::Longitude, b, error);
    }
    if (!read) {
        AppendErrorRow(out, first, second, f);
        return false;
    }

    // Every engine step comes before the row is written, so that a failure
    // leaves no partial row.
    GridPoint grid{};
    GeoPoint geo{};
    try {
        if (f.inverse) {
            geo = Inverse(a, b, f.unitsPerMetre);
        } else {
            grid = Forward(a, b, f.unitsPerMetre);
        }
    } catch (const Tarvane_Module::ArithmeticError& e) {
        error = std::string(Causes::KindName(e.kind())) + ": " +
                Causes::Cause(f.inverse ? Causes::Step::Inverse : Causes::Step::Forward, e.kind());
        AppendErrorRow(out, first, second, f);
        return false;
    }

    const char sep = f.csv ? ',' : '\t';
    AppendText(out, first, f.csv);
    out += sep;
    AppendText(out, second, f.csv);
    out += sep;
    if (f.inverse) {
        if (f.dms) {
            AppendText(out, HrHms(geo.latitude, "LAT", "form", 3, '.'), f.csv);
            out += sep;
            AppendText(out, HrHms(geo.longitude, "LON", "form", 3, '.'), f.csv);
        } else {
            AppendFixed(out, geo.latitude, kDegreeDecimals);
            out += sep;
            AppendFixed(out, geo.longitude, kDegreeDecimals);
        }
    } else {
        AppendFixed(out, grid.easting, f.precision);
        out += sep;
        AppendFixed(out, grid.northing, f.precision);
    }
    const double data[4] = {f.inverse ? geo.scaleFactor : grid.scaleFactor,
                            f.inverse ? geo.convergence : grid.convergence,
                            f.inverse ? geo.meridianRadius : grid.meridianRadius,
                            f.inverse ? geo.normalRadius : grid.normalRadius};
    const int decimals[4] = {kScaleDecimals, kConvergenceDecimals, kRadiusDecimals, kRadiusDecimals};
    for (int k = 0; k < 4; ++k) {
        out += sep;
        AppendFixed(out, data[k], decimals[k]);
    }
    if (f.inverse) {
        out += sep;
        AppendInteger(out, geo.iterations);
    }
    return true;
}

int Run(int in, int out, int err, const Format& format, bool progress) {
    const std::unique_ptr<char[]> buffer(new char[kBlock]);
    std::string output, messages, reason;
    output.reserve(2 * kBlock);
    int status = 0;
    long lineNumber = 0;
    bool skipping = false;  // inside a line that was too long
    bool progressShown = false;
    auto lastProgress = std::chrono::steady_clock::now();

    const auto report = [&](const std::string& why) {
        messages += "tarvane-convert: line " + std::to_string(lineNumber) + ": " + why + "\n";
        status = 1;
    };
    const auto handle = [&](std::string_view line) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        if (line.size() > kMaxLine) {
            report("longer than " + std::to_string(kMaxLine) + " bytes");
            AppendErrorRow(output, {}, {}, format);
        } else if (line.empty() || line.front() == '#' || Blank(line)) {
            output.append(line);
        } else if (!ConvertLine(line, format, output, reason)) {
            report(reason);
        }
        output += '\n';
        if (progress && (lineNumber & 0x3FFF) == 0) {
            const auto now = std::chrono::steady_clock::now();
            if (now - lastProgress >= std::chrono::milliseconds(250)) {
                lastProgress = now;
                progressShown = true;
                WriteAll(err, "\rtarvane-convert: " + std::to_string(lineNumber) + " lines");
            }
        }
    };
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
    const auto stop = [&](const char* what, int error) {
        flush();
        WriteAll(err, std::string(progressShown ? "\r\x1b[K" : "") + "tarvane-convert: cannot " + what +
                          ": " + std::strerror(error) + "\n");
        return 1;
    };

    std::size_t have = 0;
    for (;;) {
        const std::size_t room = kBlock - have;
        const ssize_t n = ::read(in, buffer.get() + have, room);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return stop("read the input", errno);
        const bool end = n == 0;
        have += static_cast<std::size_t>(n);

        std::size_t pos = 0;
        while (const void* found = std::memchr(buffer.get() + pos, '\n', have - pos)) {
            const std::size_t nl = static_cast<std::size_t>(static_cast<const char*>(found) - buffer.get());
            if (skipping) {
                skipping = false;  // the end of the long line, reported already
            } else {
                handle(std::string_view(buffer.get() + pos, nl - pos));
            }
            pos = nl + 1;
        }
        std::size_t rest = have - pos;
        if (end && rest > 0 && !skipping) handle(std::string_view(buffer.get() + pos, rest));
        if (!end && !skipping && rest > kMaxLine) {
            // Reported now; the rest of it is skipped as it comes.
            handle(std::string_view(buffer.get() + pos, rest));
            skipping = true;
        }
        if (skipping) rest = 0;
        std::memmove(buffer.get(), buffer.get() + pos, rest);
        have = rest;

        // A short read means a slow source (a pipe, a terminal): pass on what
        // is done rather than wait for a full block.
        if (end || output.size() >= kBlock || static_cast<std::size_t>(n) < room) {
            if (!flush()) return stop("write the output", errno);
        }
        if (end) {
            if (progressShown) WriteAll(err, "\r\x1b[K");
            return status;
        }
    }
}

}  // namespace BatchConvert
