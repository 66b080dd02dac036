// The records of a batch input and their fields: one grammar, in one place,
// for where a record ends and what its fields are.
//
// A plain list is read a line at a time. A table (CSV, a point file) is read
// as RFC 4180 with the leniency that field files need: a quote opens a
// quoted field only as the first character of a field (blanks before it
// aside), and anywhere else it is an ordinary character (5/8" REBAR). A
// quoted field ends at a quote followed by the separator or the end of the
// line (blanks between aside); a doubled quote inside it is one quote. A
// quote that no such quote closes is an ordinary character too. A quoted
// field may hold line breaks only where the record then ends properly with
// as many fields as the table has; otherwise its record is the one line.
// Lines end in LF, CR LF or CR alone.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Records {

// A record is at most this long; a longer one is a fault of its own, and
// reading goes on after its line.
inline constexpr std::size_t kMaxRecord = std::size_t{16} << 20;

struct Field {
    std::string_view raw;    // as it stands in the record, blanks and quotes and all
    std::string_view value;  // a quoted field without its quotes, "" read as "
};

// The fields of one record of a table. `record` is a whole record, as the
// reader gave it. The views stay valid until the next call and while
// `record` does.
class Splitter {
public:
    const std::vector<Field>& Split(std::string_view record, char separator);

private:
    std::vector<Field> fields_;
    std::string unquoted_;
};

struct Record {
    enum class Fault {
        None,
        TooLong,  // longer than kMaxRecord: `text` is empty, the line is skipped
    };
    std::string_view text;     // without its line end; valid until the next call
    std::string_view lineEnd;  // "\n", "\r\n", "\r", or empty at the end of the input
    long line = 0;             // the number of its first line
    Fault fault = Fault::None;
    // A quote read as an ordinary character at the start of this field
    // (from 1), where a reader may have meant a quoted field; 0 for none.
    int ordinaryQuote = 0;
};

class Reader {
public:
    // Up to `size` bytes of the input into `buffer`: their count, 0 at the
    // end, or -1 with errno set when reading fails.
    using Source = std::function<long(char* buffer, std::size_t size)>;

    // `beforeWait` runs before a read that may wait for a slow source (a pipe
    // or a terminal that gave less than was asked for), so that the caller
    // can pass on what is done.
    explicit Reader(Source source, std::function<void()> beforeWait = {});
    ~Reader();

    // The next record; false at the end of the input or when reading failed.
    bool Next(Record& record);

    // From the next record on, read a table: fields separated by
    // `separator`, `fieldCount` of them in each record (0: any number).
    void ReadTable(char separator, std::size_t fieldCount);

    // errno of a failed read, 0 when the input simply ended.
    int error() const { return error_; }

    // What the input began with, known once the first record is read: a
    // UTF-8 byte order mark (the output keeps it, so that a spreadsheet
    // reads the passed-through texts as UTF-8 again), or the mark of UTF-16
    // text, which this reader cannot read.
    bool byteOrderMark() const { return byteOrderMark_; }
    bool utf16() const { return utf16_; }

private:
    struct Extent;
    bool Fill();
    Extent Find(std::size_t from, bool table) const;
    std::size_t LineEnd(std::size_t from) const;
    bool Emit(Record& r, std::size_t end, std::size_t next, long lines, Record::Fault fault, int ordinaryQuote);
    bool Skip();

    Source source_;
    std::function<void()> beforeWait_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, have_ = 0;  // unread bytes
    mutable std::size_t nextLf_ = 0;    // where the next LF is (have_: none), when known
    mutable bool lfKnown_ = false;
    long line_ = 1;                     // of the next record
    char separator_ = ',';
    std::size_t fieldCount_ = 0;
    bool table_ = false, ended_ = false, shortRead_ = false, first_ = true, skipping_ = false;
    bool byteOrderMark_ = false, utf16_ = false;
    int error_ = 0;
};

}  // namespace Records
