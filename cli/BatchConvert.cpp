#include "cli/BatchConvert.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <unistd.h>

#include <fmt/format.h>

#include "cli/Layout.h"
#include "cli/Output.h"
#include "cli/Records.h"
#include "core/convert/Conversion.h"
#include "core/setup/Causes.h"
#include "core/text/AngleInput.h"
#include "engine/Tarvane_Module.h"

namespace BatchConvert {

namespace {

using Records::Field;
using Records::Record;

constexpr std::size_t kBlock = std::size_t{1} << 20;  // bytes written at a time
constexpr std::size_t kListedLines = 10;              // line numbers a summary names

bool Blank(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// Copied unchanged: an empty line or a comment.
bool Copied(const Record& r) {
    return r.fault == Record::Fault::None && (Blank(r.text) || r.text.front() == '#');
}

std::string Message(long line, const std::string& text) {
    return "tarvane-convert: line " + std::to_string(line) + ": " + text + "\n";
}

// Whether a point lies in an area, across the antimeridian where the area does.
bool Inside(const Area& a, double lat, double lon) {
    if (lat < a.south || lat > a.north) return false;
    return a.west <= a.east ? (lon >= a.west && lon <= a.east) : (lon >= a.west || lon <= a.east);
}

// What every record of a run shares.
struct Context {
    const Format& f;
    const Columns::Layout& layout;
    bool table;
    Output::Writer& writer;
};

// Converts records one after another into rows, and the reasons of those
// that fail into messages.
class Converter {
public:
    explicit Converter(const Context& context)
        : c_(context), plain_(2), geoid_(context.f.geoid ? context.f.geoid() : nullptr) {}

    std::string output, messages;
    int status = 0;
    long outside = 0, outsideSigned = 0;  // points outside the grid's area; of them, inside with the other sign
    std::vector<long> outsideLines;

    void Convert(const Record& r) {
        if (Copied(r)) return c_.writer.Copy(output, r);
        if (r.ordinaryQuote) {
            messages += Message(r.line, "field " + std::to_string(r.ordinaryQuote) +
                                            " begins with a quote that nothing closes on its line: the quote is "
                                            "read as part of the text");
        }
        const std::vector<Field>* fields = &plain_;
        plain_[0] = plain_[1] = {};
        bool ok = false;
        comma_ = false;
        if (r.fault == Record::Fault::TooLong) {
            why_ = "longer than " + std::to_string(Records::kMaxRecord >> 20) + " MiB: not read";
            if (c_.table) fields = &none_;
        } else if (!c_.table) {
            std::string_view a, b;
            if (!BatchInput::SplitLine(r.text, !c_.f.inverse, a, b, why_)) {
                a = r.text, b = {};
                if (why_ == "more than two fields") why_ += ": a table needs a header line that names its columns, or --columns";
            } else {
                double height = c_.f.heightValue;
                ok = Compute(a, b, c_.f.height ? &height : nullptr, false);
            }
            plain_[0] = {a, a};
            plain_[1] = {b, b};
        } else {
            fields = &splitter_.Split(r.text, c_.layout.separator);
            ok = ConvertFields(*fields);
        }
        if (!ok) {
            messages += Message(r.line, why_);
            status = 1;
        } else if (c_.f.area && !Inside(*c_.f.area, point_.latitude, point_.longitude)) {
            ++outside;
            if (Inside(*c_.f.area, point_.latitude, -point_.longitude)) ++outsideSigned;
            if (outsideLines.size() < kListedLines) outsideLines.push_back(r.line);
        }
        c_.writer.Write(output, {r, *fields, ok ? &point_ : nullptr, why_, comma_});
    }

private:
    bool ConvertFields(const std::vector<Field>& fields) {
        const Columns::Layout& l = c_.layout;
        if (l.fieldCount && fields.size() != l.fieldCount) {
            why_ = "expected " + std::to_string(l.fieldCount) + " fields" +
                   (l.pointFormat.empty() ? " as in the first line" : " (" + l.pointFormat + ")") + ", found " +
                   std::to_string(fields.size());
            return false;
        }
        // Where a table is separated by semicolons, as spreadsheets write it
        // where the comma is the decimal mark, a number may have a decimal
        // comma; its row's results are then written with one too.
        const auto value = [&](int k) {
            const std::string_view v = fields[static_cast<std::size_t>(k)].value;
            if (l.separator != ';' || v.find(',') == v.npos || v.find('.') != v.npos) return v;
            std::string& copy = decimal_[k == l.height ? 0 : k == l.latitude || k == l.easting ? 1 : 2];
            copy.assign(v);
            std::replace(copy.begin(), copy.end(), ',', '.');
            comma_ = true;
            return std::string_view(copy);
        };
        double height = c_.f.heightValue;
        const bool column = l.height >= 0 && !Blank(value(l.height));
        if (column && !BatchInput::ReadNumber(value(l.height), height)) {
            why_ = "height " + BatchInput::Quote(value(l.height)) + ": not a number";
            return false;
        }
        double* h = column || c_.f.height ? &height : nullptr;
        const bool elevation = column && l.elevation;
        return c_.f.inverse ? Compute(value(l.easting), value(l.northing), h, elevation)
                            : Compute(value(l.latitude), value(l.longitude), h, elevation);
    }

    // Reads the two co-ordinates of a point, and converts it; an elevation
    // becomes a height above the ellipsoid where a geoid model is given.
    bool Compute(std::string_view a, std::string_view b, double* height, bool elevation) {
        using namespace BatchInput;
        const Format& f = c_.f;
        double x = 0.0, y = 0.0;
        if (f.inverse) {
            if (!ReadNumber(a, x) || !ReadNumber(b, y)) {
                why_ = (ReadNumber(a, x) ? "northing " + Quote(b) : "easting " + Quote(a)) + ": not a number";
                return false;
            }
        } else if (!ReadAngle(a, AngleKind::Latitude, x, why_) || !ReadAngle(b, AngleKind::Longitude, y, why_)) {
            return false;
        }
        try {
            point_ = f.inverse ? Inverse(x, y) : Forward(x, y);
            Conversion::AddPointData(point_);
        } catch (const Tarvane_Module::ArithmeticError& e) {
            why_ = std::string(Causes::KindName(e.kind())) + ": " +
                   Causes::Cause(f.inverse ? Causes::Step::Inverse : Causes::Step::Forward, e.kind());
            return false;
        }
        if (f.geoid && !AddGeoid(height, elevation)) return false;
        if (height && !Conversion::AddHeight(point_, *height, f.unitsPerMetre)) {
            why_ = fmt::format("height {}: at or below the centre of the earth", *height);
            return false;
        }
        if (f.designPoints && !height) {
            why_ = "no height: a design needs every point's height (or --height for those without)";
            return false;
        }
        return true;
    }

    // Surface co-ordinates in: the grid's are found first.
    Conversion::Point Inverse(double x, double y) {
        const Format& f = c_.f;
        if (!f.surface) return Conversion::Inverse(x, y, f.unitsPerMetre);
        double e = 0, n = 0;
        f.surface->ToGrid(x, y, e, n);
        Conversion::Point p = Conversion::Inverse(e, n, f.unitsPerMetre);
        p.hasSurface = true;
        p.surfaceEasting = x, p.surfaceNorthing = y;
        return p;
    }

    Conversion::Point Forward(double lat, double lon) {
        Conversion::Point p = Conversion::Forward(lat, lon, c_.f.unitsPerMetre);
        if (c_.f.surface) {
            c_.f.surface->FromGrid(p.easting, p.northing, p.surfaceEasting, p.surfaceNorthing);
            p.hasSurface = true;
        }
        return p;
    }

    // The geoid height at the point; an elevation becomes a height above
    // the ellipsoid with it, h = H + N.
    bool AddGeoid(double* height, bool elevation) {
        double N = 0.0;
        if (!geoid_) {
            why_ = "the geoid model " + c_.f.geoidName + " cannot be opened";
            return false;
        }
        if (!geoid_->Height(point_.latitude, point_.longitude, N, why_)) return false;
        point_.hasGeoid = true;
        point_.geoidHeight = N * c_.f.unitsPerMetre;
        if (height && elevation) *height += point_.geoidHeight;
        return true;
    }

    const Context& c_;
    Records::Splitter splitter_;
    std::vector<Field> plain_, none_;
    Conversion::Point point_;
    std::string why_;
    bool comma_ = false;
    std::string decimal_[3];  // numbers of a row with their decimal comma made a point
    std::unique_ptr<Ground::GeoidModel> geoid_;  // this thread's own
};

// Records read but not yet converted, copied out of the reader's buffer.
struct Batch {
    struct Item {
        std::size_t text, textLength, lineEndLength;
        long line;
        Record::Fault fault;
        int ordinaryQuote;
    };
    std::string bytes;
    std::vector<Item> items;

    void Add(const Record& r) {
        items.push_back({bytes.size(), r.text.size(), r.lineEnd.size(), r.line, r.fault, r.ordinaryQuote});
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
        r.ordinaryQuote = i.ordinaryQuote;
        return r;
    }
    void Clear() {
        bytes.clear();
        items.clear();
    }
};

// Where the rows and the messages go: passed on a block at a time, with the
// count of records done shown on a terminal now and then.
class Out {
public:
    Out(const Writer& out, const Writer& err, bool progress) : out_(out), err_(err), progress_(progress) {
        output.reserve(2 * kBlock);
    }

    std::string output, messages;
    int writeError = 0;

    // Passes on what is done; a failed write is remembered, and nothing is
    // written after it.
    void Flush() {
        if (progressShown_ && !messages.empty()) {
            messages.insert(0, "\r\x1b[K");  // the messages go over the line count
            progressShown_ = false;
        }
        err_(messages);
        messages.clear();
        if (writeError == 0 && !out_(output)) writeError = errno ? errno : EIO;
        output.clear();
    }
    void Done(long records) {
        if (output.size() >= kBlock) Flush();
        if (!progress_ || records - shown_ < 0x4000) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(250)) return;
        last_ = now;
        shown_ = records;
        progressShown_ = true;
        err_("\rtarvane-convert: " + std::to_string(records) + " records");
    }
    // The last words of a run, over the line count.
    void Say(const std::string& text) {
        messages += text;
        Flush();
        if (progressShown_) err_("\r\x1b[K");
        progressShown_ = false;
    }

private:
    const Writer &out_, &err_;
    bool progress_, progressShown_ = false;
    long shown_ = 0;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

// What the input is (a point file, a table with its columns, or a plain
// list), from the options and the first record that is not copied. False,
// with the reason, when the columns to read cannot be found.
bool FindLayout(const Format& f, const Record* first, Columns::Layout& layout, bool& table, std::string& notes,
                std::string& error) {
    if (!f.pointFormat.empty()) {
        Columns::PointLayout(f.pointFormat, layout);
        table = true;
    } else if (first && first->fault == Record::Fault::None) {
        layout.separator = Columns::DetectSeparator(first->text);
        Records::Splitter splitter;
        const std::vector<Field>& fields = splitter.Split(first->text, layout.separator);
        const bool byName = Columns::NamesHeaderColumns(f.columns);
        layout.header = f.header || byName || Columns::LooksLikeHeader(fields, !f.columns.empty());
        table = layout.header || !f.columns.empty();
        if (table && !Columns::MapColumns(fields, layout.header, f.columns, f.inverse, layout, error)) return false;
        layout.fieldCount = table ? fields.size() : 0;
        if (layout.header && !f.header && !byName) {
            notes += "tarvane-convert: line " + std::to_string(first->line) +
                     " is taken as a header naming the columns (--header says so)\n";
        }
    }
    if (!table) return true;
    const bool missing = f.inverse ? layout.easting < 0 || layout.northing < 0 : layout.latitude < 0 || layout.longitude < 0;
    if (missing) {
        error = std::string("no ") +
                (f.inverse ? (layout.easting < 0 ? "easting column (e, east, easting or x)"
                                                 : "northing column (n, north, northing or y)")
                           : (layout.latitude < 0 ? "latitude column (lat, latitude or phi)"
                                                  : "longitude column (lon, long, longitude or lambda)")) +
                ": name it in the header or give --columns" +
                (f.inverse ? "" : " (a file of grid co-ordinates needs --inverse)");
        return false;
    }
    if (f.designPoints && layout.height < 0 && !f.height) {
        error = "no height or elevation column (h, height, elevation, z, ...): a design needs the points' heights; "
                "name the column, or give --height";
        return false;
    }
    // Heights matter where their factors are written: not in a point file.
    const std::string heights = Columns::HeightNote(layout, f.geoidName);
    if (!heights.empty() && (layout.pointFormat.empty() || f.Structured())) notes += "tarvane-convert: " + heights + "\n";
    return true;
}

// What the input is, from its head: the layout of its columns, and the
// lines before its first record (`copied`, none for GeoJSON). False after a
// message when the input cannot be read as `f` says.
bool Head(Records::Reader& reader, Record& r, bool& pending, const Format& f, Out& out, Columns::Layout& layout,
          bool& table, std::string& copied) {
    if (reader.utf16()) {
        out.Say("tarvane-convert: the input is UTF-16 text, which tarvane-convert cannot read: save it as UTF-8 (or "
                "plain ASCII) text and convert that\n");
        return false;
    }
    if (reader.byteOrderMark() && !f.Structured()) out.output += "\xEF\xBB\xBF";  // never in JSON
    while (pending && Copied(r)) {
        copied.append(r.text).append(r.lineEnd.empty() ? "\n" : r.lineEnd);
        if (copied.size() > kBlock) break;  // a file of comments alone: a plain list
        pending = reader.Next(r);
    }
    std::string notes, error;
    if (!FindLayout(f, pending && !Copied(r) ? &r : nullptr, layout, table, notes, error)) {
        out.output.clear();
        out.Say("tarvane-convert: " + error + "\n");
        return false;
    }
    out.messages += notes;
    if (f.geojson && !f.nearWgs84) {
        out.messages += "tarvane-convert: the GeoJSON positions are on " + f.datum +
                        ", not WGS 84, which GeoJSON readers take them to be on: a map on WGS 84 shows them off by "
                        "as much as the datums differ (tens of metres for NAD27); the output names the datum\n";
    }
    if (f.Structured()) copied.clear();
    return true;
}

// The summary of the points outside the grid's area.
std::string OutsideNote(const Area& area, long count, long signedCount, const std::vector<long>& lines) {
    std::string text = "tarvane-convert: " + std::to_string(count) + (count == 1 ? " point lies" : " points lie") +
                       " outside the area of " + area.label + ": line" + (count == 1 ? " " : "s ");
    for (std::size_t k = 0; k < lines.size(); ++k) text += (k ? ", " : "") + std::to_string(lines[k]);
    if (static_cast<std::size_t>(count) > lines.size()) text += ", ...";
    if (signedCount > 0) text += "; a longitude without its sign?";
    return text + "\n";
}

// The records of a run, converted a batch at a time, half of each batch on
// a second core where there is one: the engine only reads its record while
// it converts. The rows keep their order.
class Pass {
public:
    Pass(const Context& context, std::string_view separator)
        : first_(context), second_(context), separator_(separator) {}

    long records = 0, outside = 0, outsideSigned = 0;
    std::vector<long> outsideLines;

    void Convert(Batch& batch, Out& out) {
        const std::size_t n = batch.items.size();
        const std::size_t half = twoCores_ && n >= 64 ? n / 2 : n;
        std::thread helper;
        if (half < n) helper = std::thread([&] { for (std::size_t k = half; k < n; ++k) second_.Convert(batch.Get(k)); });
        for (std::size_t k = 0; k < half; ++k) first_.Convert(batch.Get(k));
        if (helper.joinable()) helper.join();
        for (Converter* c : {&first_, &second_}) Collect(*c, out);
        records += static_cast<long>(n);
        batch.Clear();
        out.Done(records);
    }
    int status() const { return std::max(first_.status, second_.status); }

private:
    void Collect(Converter& c, Out& out) {
        std::string_view done = c.output;
        if (firstRow_ && !done.empty()) {
            done.remove_prefix(separator_.size());  // none before the first row
            firstRow_ = false;
        }
        out.output.append(done);
        out.messages += c.messages;
        c.output.clear();
        c.messages.clear();
        outside += c.outside;
        outsideSigned += c.outsideSigned;
        for (const long line : c.outsideLines)
            if (outsideLines.size() < kListedLines) outsideLines.push_back(line);
        c.outside = c.outsideSigned = 0;
        c.outsideLines.clear();
    }

    Converter first_, second_;
    std::string_view separator_;
    bool firstRow_ = true;
    const bool twoCores_ = std::thread::hardware_concurrency() > 1;
};

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

int Convert(const Source& source, const Writer& output, const Writer& messages, const Format& f, bool progress) {
    Out out(output, messages, progress);
    std::function<void()> onWait = [&] { out.Flush(); };  // before the input may keep us waiting
    Records::Reader reader(source, [&] { onWait(); });
    if (!f.pointFormat.empty()) reader.ReadTable(',', f.pointFormat.size());
    Record r;
    bool pending = reader.Next(r), table = false;
    Columns::Layout layout;
    std::string copied;
    if (!Head(reader, r, pending, f, out, layout, table, copied)) return 2;
    if (table && f.pointFormat.empty()) reader.ReadTable(layout.separator, layout.fieldCount);
    const std::unique_ptr<Output::Writer> writer = Output::MakeWriter(f, layout, table, f.height || layout.height >= 0);
    // Lines before a header stay before it; before a plain list's own head, after it.
    if (layout.header) out.output += copied;
    writer->Head(out.output, layout.header ? &r : nullptr);
    if (!layout.header) out.output += copied;
    if (layout.header) pending = reader.Next(r);

    const Context context{f, layout, table, *writer};
    Batch batch;
    Pass pass(context, writer->Separator());
    onWait = [&]() {
        pass.Convert(batch, out);
        out.Flush();
    };
    for (; pending && out.writeError == 0; pending = reader.Next(r)) {
        batch.Add(r);
        if (batch.Full()) pass.Convert(batch, out);
    }
    pass.Convert(batch, out);
    writer->Tail(out.output);
    out.Flush();
    std::string last;
    if (pass.outside > 0) last = OutsideNote(*f.area, pass.outside, pass.outsideSigned, pass.outsideLines);
    const int failure = out.writeError ? out.writeError : reader.error();
    if (failure != 0) {
        last += std::string("tarvane-convert: cannot ") + (out.writeError ? "write the output" : "read the input") +
                ": " + std::strerror(failure) + "\n";
    }
    out.Say(last);
    return failure != 0 ? 1 : pass.status();
}

Source ReadFrom(int in) {
    return [in](char* buffer, std::size_t size) {
        for (;;) {
            const ssize_t n = ::read(in, buffer, size);
            if (n >= 0 || errno != EINTR) return static_cast<long>(n);
        }
    };
}

int Run(int in, int out, int err, const Format& f, bool progress) {
    return Convert(ReadFrom(in), [out](std::string_view data) { return WriteAll(out, data); },
                   [err](std::string_view data) { return WriteAll(err, data); }, f, progress);
}

}  // namespace BatchConvert
