#include "cli/Layout.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace Columns {

namespace {

std::string Lower(std::string_view s) {
    std::string l(s);
    for (char& c : l)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return l;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsWord(std::string_view v) {
    // A word begins with a letter; a co-ordinate begins with a digit, a sign or a point.
    return !v.empty() && ((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z') || v[0] == '_');
}

// The roles --columns names, with what they hold in a message.
struct Key {
    const char* key;
    Role role;
    const char* what;
};
constexpr Key kKeys[] = {
    {"lat", Role::Latitude, "the latitude"},     {"lon", Role::Longitude, "the longitude"},
    {"n", Role::Northing, "the northing"},       {"e", Role::Easting, "the easting"},
    {"h", Role::Height, "heights above the ellipsoid"}, {"elev", Role::Elevation, "elevations"},
};

const Key& KeyOf(Role role) {
    return *std::find_if(std::begin(kKeys), std::end(kKeys), [role](const Key& k) { return k.role == role; });
}

std::string Column(const Layout& l, int k) {
    return "column " + std::to_string(k + 1) + " \"" + l.names[static_cast<std::size_t>(k)] + "\"";
}

}  // namespace

Role RoleOfName(std::string_view name) {
    name = Trim(name);
    if (name == "H") return Role::Elevation;  // H above the geoid, h above the ellipsoid
    std::string n = Lower(name);
    std::replace(n.begin(), n.end(), ' ', '_');
    std::replace(n.begin(), n.end(), '-', '_');
    static const std::pair<Role, std::array<const char*, 9>> kNames[] = {
        {Role::Latitude, {"lat", "latitude", "phi"}},
        {Role::Longitude, {"lon", "long", "longitude", "lambda"}},
        {Role::Northing, {"n", "north", "northing", "y"}},
        {Role::Easting, {"e", "east", "easting", "x"}},
        {Role::Height, {"h", "height", "ellipsoid_height", "ellipsoidal_height", "h_ell", "hae", "ellh",
                        "ell_height", "height_above_ellipsoid"}},
        {Role::Elevation, {"elevation", "elev", "ortho_height", "orthometric_height", "z"}},
    };
    for (const auto& [role, names] : kNames)
        for (const char* known : names)
            if (known && n == known) return role;
    return Role::Other;
}

bool LooksLikeHeader(const std::vector<Records::Field>& fields, bool anyNames) {
    std::size_t named = fields.size();
    while (named > 0 && Trim(fields[named - 1].value).empty()) --named;
    bool known = anyNames;
    for (std::size_t k = 0; k < named; ++k) {
        const std::string_view v = Trim(fields[k].value);
        if (!IsWord(v)) return false;
        known = known || RoleOfName(v) != Role::Other;
    }
    return named > 0 && known;
}

char DetectSeparator(std::string_view first) {
    for (const char d : {'\t', ',', ';'})
        if (first.find(d) != std::string_view::npos) return d;
    return ',';
}

bool NamesHeaderColumns(std::string_view columns) {
    while (!columns.empty()) {
        const std::size_t comma = columns.find(',');
        const std::string_view item = columns.substr(0, comma);
        const std::string_view column = Trim(item.substr(std::min(item.find('='), item.size() - 1) + 1));
        if (!column.empty() && column.find_first_not_of("0123456789") != std::string_view::npos) return true;
        columns = comma == std::string_view::npos ? std::string_view() : columns.substr(comma + 1);
    }
    return false;
}

bool MapColumns(const std::vector<Records::Field>& header, bool hasHeader, std::string_view columns, bool inverse,
                Layout& l, std::string& error) {
    l.names.clear();
    std::vector<int> found[6];  // the columns that each role's names name
    for (std::size_t k = 0; k < header.size(); ++k) {
        l.names.push_back(hasHeader ? std::string(Trim(header[k].value)) : "column" + std::to_string(k + 1));
        const Role role = hasHeader ? RoleOfName(header[k].value) : Role::Other;
        if (role != Role::Other) found[static_cast<int>(role)].push_back(static_cast<int>(k));
    }
    int given[6] = {-1, -1, -1, -1, -1, -1};
    while (!columns.empty()) {
        const std::size_t comma = columns.find(',');
        const std::string_view item = columns.substr(0, comma);
        columns = comma == std::string_view::npos ? std::string_view() : columns.substr(comma + 1);
        const std::size_t eq = item.find('=');
        const std::string key = Lower(Trim(item.substr(0, eq)));
        const auto role = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const Key& k) { return key == k.key; });
        if (eq == std::string_view::npos || role == std::end(kKeys)) {
            error = "--columns: \"" + std::string(item) + "\" is not ROLE=COLUMN with ROLE lat, lon, n, e, h or elev";
            return false;
        }
        const std::string_view column = Trim(item.substr(eq + 1));
        int index = -1;
        const auto r = std::from_chars(column.data(), column.data() + column.size(), index);
        if (r.ec == std::errc() && r.ptr == column.data() + column.size()) {
            --index;
        } else {
            for (std::size_t k = 0; hasHeader && k < l.names.size() && index < 0; ++k)
                if (Lower(l.names[k]) == Lower(column)) index = static_cast<int>(k);
        }
        if (index < 0 || static_cast<std::size_t>(index) >= header.size()) {
            error = "--columns: no column \"" + std::string(column) + "\" in the " +
                    (hasHeader ? "header" : "first line") + " (" + std::to_string(header.size()) + " columns)";
            return false;
        }
        given[static_cast<int>(role->role)] = index;
    }
    // A role the conversion reads may be named by one column only, unless --columns chooses.
    const auto pick = [&](Role role, bool read) {
        const int r = static_cast<int>(role);
        if (given[r] >= 0) return given[r];
        if (found[r].size() > 1 && read) {
            error = Column(l, found[r][0]) + " and " + Column(l, found[r][1]) + " both hold " + KeyOf(role).what +
                    ": choose one with --columns " + KeyOf(role).key + "=N";
            return -2;
        }
        return found[r].empty() ? -1 : found[r][0];
    };
    if ((l.latitude = pick(Role::Latitude, !inverse)) == -2 || (l.longitude = pick(Role::Longitude, !inverse)) == -2 ||
        (l.northing = pick(Role::Northing, inverse)) == -2 || (l.easting = pick(Role::Easting, inverse)) == -2)
        return false;
    const int height = pick(Role::Height, true);
    const int elevation = height == -2 ? -2 : pick(Role::Elevation, height < 0);
    if (elevation == -2) return false;
    // Heights above the ellipsoid are what the factors want; an elevation only where there are none.
    l.height = height >= 0 ? height : elevation;
    l.elevation = height < 0 && elevation >= 0;
    l.passedOver = height >= 0 ? elevation : -1;
    return true;
}

bool PointLayout(std::string_view format, Layout& l) {
    static const char* const kFormats[] = {"pnezd", "penzd", "pnez", "penz", "pne", "pen", "pyxzd"};
    const std::string f = Lower(format);
    if (std::find(std::begin(kFormats), std::end(kFormats), f) == std::end(kFormats)) return false;
    l = Layout{};
    l.pointFormat = f;
    l.fieldCount = f.size();
    static const struct { char letter; const char* name; } kNames[] = {
        {'p', "point"}, {'n', "northing"}, {'e', "easting"}, {'y', "latitude"},
        {'x', "longitude"}, {'z', "elevation"}, {'d', "description"}};
    for (std::size_t k = 0; k < f.size(); ++k) {
        for (const auto& n : kNames)
            if (n.letter == f[k]) l.names.push_back(n.name);
        const int index = static_cast<int>(k);
        switch (f[k]) {
            case 'n': l.northing = index; break;
            case 'e': l.easting = index; break;
            case 'y': l.latitude = index; break;
            case 'x': l.longitude = index; break;
            case 'z': l.height = index, l.elevation = true; break;
            default: break;
        }
    }
    return true;
}

std::string HeightNote(const Layout& l, const std::string& geoid) {
    if (l.height < 0) return {};
    if (!l.elevation) {
        return "heights from " + Column(l, l.height) + ", above the ellipsoid" +
               (l.passedOver >= 0 ? " (not the elevations of " + Column(l, l.passedOver) + ")" : "");
    }
    if (!geoid.empty()) {
        return "heights from " + Column(l, l.height) + ": elevations above the geoid, made heights above the "
               "ellipsoid by adding the geoid height N of " + geoid + " (h = H + N)";
    }
    return "heights from " + Column(l, l.height) +
           ": elevations above the geoid, taken as heights above the ellipsoid; every 30 m between the geoid "
           "and the ellipsoid moves the elevation and combined factors by about 4.7 parts in a million "
           "(--geoid egm96 adds the geoid height)";
}

}  // namespace Columns
