#include "core/crs/Grids.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include <fmt/format.h>

#include "core/text/Floats.h"

namespace Epsg {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

constexpr int kFieldCount = 22;

// The shortest text that reads back to the same double.
std::string Number(double value) { return fmt::format("{}", value); }

bool Read(std::string_view text, int& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool Read(std::string_view text, double& value) {
    const auto r = ParseFloat(text.data(), text.data() + text.size(), value, FloatForm::General);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool Read(std::string_view text, bool& value) {
    value = text == "1";
    return text == "0" || text == "1";
}

bool Read(std::string_view text, std::string& value) {
    value = text;
    return true;
}

}  // namespace

std::string GridLine(const Grid& g) {
    const ProjectionSetup::ProjectionParameters& p = g.parameters;
    const ProjectionSetup::Ellipsoid e = p.ellipsoid.value_or(ProjectionSetup::Ellipsoid{});
    std::string line = fmt::format("{}\t{}\t{}\t{}\t{}\t{}\t{}", g.code, g.name, g.unitName, g.unitCode,
                                   g.ellipsoidName, g.ellipsoidCode, g.geographicName);
    for (const double value : {g.west, g.south, g.east, g.north, e.semiMajorAxis, e.inverseFlattening,
                               p.unitsPerMetre})
        line += '\t' + Number(value);
    line += p.oneParallel ? "\t1" : "\t0";
    for (const double value : {p.originLat, p.parallel1, p.parallel2, p.scaleFactor, p.centralMeridian,
                               p.falseNorthing, p.falseEasting})
        line += '\t' + Number(value);
    return line + '\n';
}

bool ReadGridLines(std::string_view text, std::vector<Grid>& grids, std::string& error) {
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        std::vector<std::string_view> f;
        for (std::size_t at = 0;;) {
            const std::size_t tab = std::min(line.find('\t', at), line.size());
            f.push_back(line.substr(at, tab - at));
            if (tab == line.size()) break;
            at = tab + 1;
        }
        Grid g;
        ProjectionSetup::Ellipsoid e;
        ProjectionSetup::ProjectionParameters& p = g.parameters;
        const bool read = f.size() == kFieldCount && Read(f[0], g.code) && Read(f[1], g.name) &&
                          Read(f[2], g.unitName) && Read(f[3], g.unitCode) && Read(f[4], g.ellipsoidName) &&
                          Read(f[5], g.ellipsoidCode) && Read(f[6], g.geographicName) && Read(f[7], g.west) &&
                          Read(f[8], g.south) && Read(f[9], g.east) && Read(f[10], g.north) &&
                          Read(f[11], e.semiMajorAxis) && Read(f[12], e.inverseFlattening) &&
                          Read(f[13], p.unitsPerMetre) && Read(f[14], p.oneParallel) && Read(f[15], p.originLat) &&
                          Read(f[16], p.parallel1) && Read(f[17], p.parallel2) && Read(f[18], p.scaleFactor) &&
                          Read(f[19], p.centralMeridian) && Read(f[20], p.falseNorthing) &&
                          Read(f[21], p.falseEasting);
        if (!read) {
            error = "line " + std::to_string(number) + " of the grids is not a grid of " +
                    std::to_string(kFieldCount) + " fields";
            return false;
        }
        p.ellipsoid = e;
        grids.push_back(std::move(g));
    }
    return true;
}

std::string SearchText(const Grid& grid) { return std::to_string(grid.code) + ' ' + Lower(grid.name); }

bool Matches(std::string_view searchText, std::string_view query) {
    const std::string words = Lower(query);
    std::size_t at = 0;
    while ((at = words.find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t end = std::min(words.find(' ', at), words.size());
        if (searchText.find(std::string_view(words).substr(at, end - at)) == std::string_view::npos) return false;
        at = end;
    }
    return true;
}

}  // namespace Epsg
