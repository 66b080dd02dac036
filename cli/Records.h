// The records of a batch input, read as a stream in constant memory: lines,
// or with `quoted` set the records of a CSV file, where a quoted field may
// hold line breaks (RFC 4180).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace BatchInput {

// A record is at most this long; a longer one is an error of its own.
inline constexpr std::size_t kMaxRecord = std::size_t{1} << 16;

struct Record {
    enum class Fault {
        None,
        TooLong,    // longer than kMaxRecord: `text` is its start, the rest is skipped
        OpenQuote,  // a quote opened on this line is not closed by the end of the input or
                    // within kMaxRecord: `text` is this one line, reading goes on after it
    };
    std::string_view text;     // without its line end; valid until the next call
    std::string_view lineEnd;  // "\n", "\r\n", or empty at the end of the input
    long line = 0;             // the number of its first line
    Fault fault = Fault::None;
};

class RecordReader {
public:
    // `beforeWait` runs before a read that may wait for a slow source (a pipe
    // or a terminal that gave less than was asked for), so that the caller
    // can pass on what is done.
    RecordReader(int fd, bool quoted, std::function<void()> beforeWait = {});

    // The next record; false at the end of the input or when reading failed.
    bool Next(Record& record);

    // errno of a failed read, 0 when the input simply ended.
    int error() const { return error_; }

    // Whether the input began with a UTF-8 byte order mark (known once the
    // first record is read): the output keeps it, so that a spreadsheet
    // reads the passed-through texts as UTF-8 again.
    bool byteOrderMark() const { return byteOrderMark_; }

    // From the next record on, whether quoted fields may hold line breaks.
    void setQuoted(bool quoted) { quoted_ = quoted; }

private:
    bool Fill();
    bool Emit(Record& r, std::size_t end, std::size_t next, long lines, Record::Fault fault);

    int fd_;
    bool quoted_;
    std::function<void()> beforeWait_;
    std::unique_ptr<char[]> buffer_;
    std::size_t begin_ = 0, have_ = 0;  // unread bytes
    long line_ = 1;                     // of the next record
    bool ended_ = false, shortRead_ = false, skipping_ = false, first_ = true,
         byteOrderMark_ = false;
    int error_ = 0;
};

}  // namespace BatchInput
