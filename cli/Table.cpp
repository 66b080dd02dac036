#include "cli/Table.h"

#include <charconv>
#include <cstring>

namespace BatchInput {

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

int& Slot(Layout& l, Role role) {
    static int none;
    none = -1;
    switch (role) {
        case Role::Latitude: return l.latitude;
        case Role::Longitude: return l.longitude;
        case Role::Northing: return l.northing;
        case Role::Easting: return l.easting;
        case Role::Height: return l.height;
        default: return none;
    }
}

}  // namespace

bool FieldSplitter::Split(std::string_view record, char delimiter, std::string& error) {
    fields_.clear();
    unquoted_.clear();
    unquoted_.reserve(record.size());  // never outgrown, so the views stay valid
    std::size_t i = 0;
    for (;;) {
        const std::size_t begin = i;
        if (i < record.size() && record[i] == '"') {
            const std::size_t start = unquoted_.size();
            for (++i;; ++i) {
                if (i == record.size()) {
                    error = "a quoted field is not closed";
                    return false;
                }
                if (record[i] != '"') {
                    unquoted_ += record[i];
                } else if (i + 1 < record.size() && record[i + 1] == '"') {
                    unquoted_ += '"';
                    ++i;
                } else {
                    break;
                }
            }
            ++i;  // past the closing quote
            if (i < record.size() && record[i] != delimiter) {
                error = "text after the closing quote of field " + std::to_string(fields_.size() + 1);
                return false;
            }
            fields_.push_back({record.substr(begin, i - begin),
                               std::string_view(unquoted_.data() + start, unquoted_.size() - start)});
        } else {
            const void* d = std::memchr(record.data() + i, delimiter, record.size() - i);
            i = d ? static_cast<std::size_t>(static_cast<const char*>(d) - record.data()) : record.size();
            fields_.push_back({record.substr(begin, i - begin), record.substr(begin, i - begin)});
        }
        if (i == record.size()) return true;
        ++i;  // past the delimiter
    }
}

Role RoleOfName(std::string_view name) {
    const std::string n = Lower(Trim(name));
    for (const char* s : {"lat", "latitude", "phi"})
        if (n == s) return Role::Latitude;
    for (const char* s : {"lon", "long", "longitude", "lambda"})
        if (n == s) return Role::Longitude;
    for (const char* s : {"n", "north", "northing", "y"})
        if (n == s) return Role::Northing;
    for (const char* s : {"e", "east", "easting", "x"})
        if (n == s) return Role::Easting;
    for (const char* s : {"h", "height", "ellipsoid_height", "elevation", "z"})
        if (n == s) return Role::Height;
    return Role::Other;
}

bool LooksLikeHeader(const std::vector<Field>& fields) {
    bool known = false;
    for (const Field& f : fields) {
        const std::string_view v = Trim(f.value);
        // A word begins with a letter; a co-ordinate begins with a digit, a sign or a point.
        if (v.empty() || !((v[0] >= 'A' && v[0] <= 'Z') || (v[0] >= 'a' && v[0] <= 'z') || v[0] == '_'))
            return false;
        known = known || RoleOfName(v) != Role::Other;
    }
    return known;
}

char DetectDelimiter(std::string_view first) {
    for (const char d : {'\t', ',', ';'})
        if (first.find(d) != std::string_view::npos) return d;
    return ',';
}

bool MapColumns(const std::vector<Field>& header, bool hasHeader, std::string_view columns, Layout& l,
                std::string& error) {
    l.names.clear();
    for (std::size_t k = 0; k < header.size(); ++k) {
        l.names.push_back(hasHeader ? std::string(Trim(header[k].value)) : "column" + std::to_string(k + 1));
        int& slot = Slot(l, hasHeader ? RoleOfName(header[k].value) : Role::Other);
        if (slot < 0) slot = static_cast<int>(k);
    }
    while (!columns.empty()) {
        const std::size_t comma = columns.find(',');
        const std::string_view item = columns.substr(0, comma);
        columns = comma == std::string_view::npos ? std::string_view() : columns.substr(comma + 1);
        const std::size_t eq = item.find('=');
        const std::string key = Lower(Trim(item.substr(0, eq)));
        const Role role = key == "lat" ? Role::Latitude : key == "lon" ? Role::Longitude : key == "n" ? Role::Northing
                        : key == "e" ? Role::Easting : key == "h" ? Role::Height : Role::Other;
        if (eq == std::string_view::npos || role == Role::Other) {
            error = "--columns: \"" + std::string(item) + "\" is not ROLE=COLUMN with ROLE lat, lon, n, e or h";
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
        Slot(l, role) = index;
    }
    return true;
}

bool PointLayout(std::string_view format, Layout& l) {
    static const char* const kFormats[] = {"pnezd", "penzd", "pnez", "penz", "pne", "pen", "pyxzd"};
    const std::string f = Lower(format);
    bool known = false;
    for (const char* k : kFormats) known = known || f == k;
    if (!known) return false;
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
            case 'z': l.height = index; break;
            default: break;
        }
    }
    return true;
}

}  // namespace BatchInput
