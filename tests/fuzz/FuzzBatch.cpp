// tarvane-convert's input from bytes to rows. Two kinds of input:
// - A first byte of 1: a table made from the bytes that follow, whose records
//   and fields are known (quoted fields with separators, quotes and line
//   breaks; plain fields with quotes inside; every line end), written out and
//   converted as a table with a header and as a point file. Every record
//   gives one row, in its place, beginning with its fields byte for byte and
//   ending in its own line end; a row marked ERROR has its message with its
//   line number; no quote is read as text.
// - Anything else: the bytes as a file, converted as a plain list (one row a
//   line, an ERROR row exactly where a message names its line), as a table,
//   as a point file (also in surface co-ordinates), as GeoJSON (which must
//   parse) and as a design's points (whole, in order). No crash, no hang.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "cli/BatchConvert.h"
#include "cli/ProjectPoints.h"
#include "core/setup/ProjectionSetup.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

struct Output {
    int status;
    std::string out, err;
};

std::string ReadAll(int fd) {
    std::string text(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
    fuzz::Require(::pread(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()), "cannot read back");
    ::close(fd);
    return text;
}

Output Convert(std::string_view input, const BatchConvert::Format& format) {
    const int in = ::memfd_create("in", 0), out = ::memfd_create("out", 0), err = ::memfd_create("err", 0);
    fuzz::Require(in >= 0 && out >= 0 && err >= 0, "no memory file");
    fuzz::Require(BatchConvert::WriteAll(in, input) && ::lseek(in, 0, SEEK_SET) == 0, "cannot write the input");
    const int status = BatchConvert::Run(in, out, err, format, false);
    ::close(in);
    fuzz::Require(status >= 0 && status <= 2, "an exit status beyond 2");
    return {status, ReadAll(out), ReadAll(err)};
}

// Lines by LF, CR LF or CR, as the reader ends them.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
    }
    return lines;
}

bool Names(const std::string& err, long line) {
    return err.find("tarvane-convert: line " + std::to_string(line) + ": ") != std::string::npos;
}

// The bytes as a file, in every kind of input.
void AsFile(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return;  // refused as UTF-16
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    for (const bool inverse : {false, true}) {
        const Output plain = Convert(bytes, {.inverse = inverse});
        std::string_view rows = plain.out;
        if (rows.starts_with("\xEF\xBB\xBF")) rows.remove_prefix(3);
        const std::vector<std::string_view> in = Lines(text), out = Lines(rows);
        if (plain.status == 2) continue;  // a table whose columns cannot be found
        if (!plain.err.empty() && plain.err.find("taken as a header") != std::string::npos) continue;
        fuzz::Require(in.size() == out.size(), "a plain list lost or merged lines");
        for (std::size_t k = 0; k < out.size(); ++k) {
            if (in[k].find_first_not_of(" \t") == std::string_view::npos || in[k].front() == '#') {
                fuzz::Require(out[k] == in[k], "an empty line or a comment not copied as it came");
                continue;
            }
            fuzz::Require(out[k].ends_with("\tERROR") == Names(plain.err, static_cast<long>(k + 1)),
                          "an ERROR row without its line number, or a message without its row");
        }
    }
    Convert(bytes, {.columns = "lat=1,lon=2,h=3"});
    Convert(bytes, {.inverse = true, .pointFormat = "pnezd", .surface = Ground::Surface{1.0001, 5e5, 4e6}});
    // A design's points come whole and in the order of their lines.
    std::vector<Ground::ProjectPoint> points;
    std::string messages;
    std::size_t at = 0;
    const auto source = [&](char* buffer, std::size_t size) {
        const std::size_t n = std::min(size, bytes.size() - at);
        std::copy_n(bytes.data() + at, n, buffer);
        at += n;
        return static_cast<long>(n);
    };
    ProjectPoints::Read(source, {.height = true, .heightValue = 10}, points, messages);
    for (std::size_t k = 1; k < points.size(); ++k)
        fuzz::Require(points[k].line > points[k - 1].line && points[k].height == 10, "a design's points out of order");
    const Output json = Convert(bytes, {.header = true, .geojson = true});
    if (json.status != 2) {
        const nlohmann::json parsed = nlohmann::json::parse(json.out, nullptr, false);
        fuzz::Require(!parsed.is_discarded() && parsed["features"].is_array(), "GeoJSON that does not parse");
    }
}

// Reads the rest of the input a byte at a time; 0 once it is used up.
struct Bytes {
    std::string_view data;
    std::size_t at = 0;
    unsigned char Next() { return at < data.size() ? static_cast<unsigned char>(data[at++]) : 0; }
};

// A table of known records, written as a file.
struct Table {
    char separator = ',';
    std::vector<std::vector<std::string>> fields;  // each as written, quotes and all
    std::vector<std::string> lineEnds;
    std::string text;
};

std::string Field(Bytes& b, char separator, bool first) {
    const unsigned kind = b.Next() % 4, length = b.Next() % 12;
    std::string value;
    for (unsigned k = 0; k < length; ++k) {
        const unsigned char c = b.Next();
        value += c < 40 ? "\",;\t\r\n -.#\"\" N2905EW"[c % 20] : static_cast<char>(c);
    }
    if (kind == 0) value = (b.Next() % 2 ? "29." : "-95.") + std::to_string(b.Next());  // a co-ordinate that may convert
    if (kind == 3 && !first) {  // quoted: anything goes inside
        std::string quoted = "\"";
        for (const char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return std::string(b.Next() % 3 == 0 ? " " : "") + quoted + "\"";
    }
    // Plain: no separator or line break, and no quote where a quote would open the field.
    std::string plain;
    for (const char c : value)
        if (c != separator && c != '\r' && c != '\n') plain += c;
    const std::size_t start = plain.find_first_not_of(separator == '\t' ? " " : " \t");
    if (start != std::string::npos && plain[start] == '"') plain.insert(start, "x");
    return first ? "P" + plain : plain;  // a point's name: never a comment, never blank
}

Table MakeTable(Bytes& b, std::size_t count, bool header) {
    Table t;
    t.separator = header ? ",;\t"[b.Next() % 3] : ',';
    const std::size_t records = 1 + b.Next() % 100;
    if (header) {
        t.text = std::string("id") + t.separator + "lat" + t.separator + "lon";
        for (std::size_t k = 3; k < count; ++k) t.text += t.separator + std::string("c") + std::to_string(k);
        t.text += "\n";
    }
    for (std::size_t r = 0; r < records; ++r) {
        std::vector<std::string> record;
        for (std::size_t k = 0; k < count; ++k) {
            record.push_back(Field(b, t.separator, k == 0));
            t.text += (k ? std::string(1, t.separator) : std::string()) + record.back();
        }
        const std::string end = r + 1 == records && b.Next() % 4 == 0 ? "" : (const char*[]){"\n", "\r\n", "\r"}[b.Next() % 3];
        t.text += end;
        t.fields.push_back(record);
        t.lineEnds.push_back(end);
    }
    return t;
}

long LineBreaks(std::string_view text) { return static_cast<long>(Lines(std::string(text) + "x").size()) - 1; }

// Each record's row, in its place: its fields as written (or, for a point
// file, its point, elevation and description), then results or ERROR, then
// its own line end.
void CheckRows(const Table& t, const Output& o, bool pointFile) {
    fuzz::Require(o.err.find("begins with a quote") == std::string::npos, "a quote that opens a field read as text");
    std::string_view out = o.out;
    long line = pointFile ? 1 : 2;
    if (!pointFile) {
        fuzz::Require(out.starts_with(t.text.substr(0, t.text.find('\n'))), "the header row is not the header");
        out.remove_prefix(out.find('\n') + 1);
    }
    for (std::size_t r = 0; r < t.fields.size(); ++r) {
        const std::vector<std::string>& f = t.fields[r];
        std::string head = pointFile ? f[0] + "," : "", tail = pointFile ? "," + f[3] + "," + f[4] : "";
        for (std::size_t k = 0; !pointFile && k < f.size(); ++k) head += f[k] + t.separator;
        fuzz::Require(out.starts_with(head), "a row does not begin with its record's fields");
        const std::string end = t.lineEnds[r].empty() ? "\n" : t.lineEnds[r];
        const std::size_t found = pointFile ? out.find(tail + end, head.size()) : out.find_first_of("\r\n", head.size());
        fuzz::Require(found != std::string_view::npos && out.substr(found + tail.size()).starts_with(end),
                      "a row lost its line end");
        const bool error = out.substr(head.size(), found - head.size()).find("ERROR") != std::string_view::npos;
        fuzz::Require(error == Names(o.err, line), "an ERROR row without its line number, or a message without its row");
        out.remove_prefix(found + tail.size() + end.size());
        for (const std::string& field : f) line += LineBreaks(field);
        line += 1;
    }
    fuzz::Require(out.empty(), "rows beyond the records");
}

void AsTable(Bytes b) {
    const Table table = MakeTable(b, 3 + b.Next() % 3, true);
    CheckRows(table, Convert(table.text, {}), false);
    const Table points = MakeTable(b, 5, false);
    CheckRows(points, Convert(points.text, {.inverse = true, .pointFormat = "pnezd"}), true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int ready = (ProjectionSetup::SetupFromFields(ProjectionSetup::ZoneFields(false, 4204, '.'),
                                                               [](const std::string&) {}), 0);
    (void)ready;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.empty() && bytes.front() == 1) AsTable({bytes.substr(1)});
    else AsFile(bytes);
    return 0;
}
