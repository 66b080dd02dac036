#include "cli/Records.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace BatchInput {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;  // bytes read at a time

// Quotes in [from, to): an odd count flips whether a quoted field is open.
bool OddQuotes(const char* from, const char* to) {
    bool odd = false;
    while (const void* q = std::memchr(from, '"', static_cast<std::size_t>(to - from))) {
        odd = !odd;
        from = static_cast<const char*>(q) + 1;
    }
    return odd;
}

}  // namespace

RecordReader::RecordReader(int fd, bool quoted, std::function<void()> beforeWait)
    : fd_(fd), quoted_(quoted), beforeWait_(std::move(beforeWait)), buffer_(new char[kBlock]) {}

bool RecordReader::Fill() {
    if (ended_) return false;
    std::memmove(buffer_.get(), buffer_.get() + begin_, have_ - begin_);
    have_ -= begin_;
    begin_ = 0;
    if (shortRead_ && beforeWait_) beforeWait_();
    for (;;) {
        const std::size_t room = kBlock - have_;
        const ssize_t n = ::read(fd_, buffer_.get() + have_, room);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : 0;
            ended_ = true;
            return false;
        }
        shortRead_ = static_cast<std::size_t>(n) < room;
        have_ += static_cast<std::size_t>(n);
        return true;
    }
}

bool RecordReader::Emit(Record& r, std::size_t end, std::size_t next, long lines, Record::Fault fault) {
    const char* b = buffer_.get();
    std::size_t start = begin_;
    // A byte order mark belongs to the file, not to its first record.
    if (first_ && end - start >= 3 && std::memcmp(b + start, "\xEF\xBB\xBF", 3) == 0) {
        start += 3;
        byteOrderMark_ = true;
    }
    first_ = false;
    std::size_t textEnd = end;
    if (fault != Record::Fault::TooLong && textEnd > start && next > end && b[textEnd - 1] == '\r') --textEnd;
    r.text = std::string_view(b + start, textEnd - start);
    r.lineEnd = fault == Record::Fault::TooLong ? std::string_view() : std::string_view(b + textEnd, next - textEnd);
    r.line = line_;
    r.fault = fault;
    line_ += lines;
    begin_ = next;
    return true;
}

bool RecordReader::Next(Record& r) {
    std::size_t scanned = 0;  // bytes of the record, from begin_, that hold no record end
    bool open = false;        // a quoted field is open after them
    long lines = 0;           // line breaks inside quoted fields so far
    for (;;) {
        char* b = buffer_.get();
        if (skipping_) {  // the rest of a record too long to keep
            const void* nl = std::memchr(b + begin_, '\n', have_ - begin_);
            if (!nl) {
                begin_ = have_;
                if (!Fill()) return false;
                continue;
            }
            begin_ = static_cast<std::size_t>(static_cast<const char*>(nl) - b) + 1;
            skipping_ = false;
            ++line_;
            continue;
        }
        const std::size_t from = begin_ + scanned;
        const void* found = std::memchr(b + from, '\n', have_ - from);
        const std::size_t limit = found ? static_cast<std::size_t>(static_cast<const char*>(found) - b) : have_;
        if (quoted_ && OddQuotes(b + from, b + limit)) open = !open;
        if (found && !open && limit - begin_ <= kMaxRecord) return Emit(r, limit, limit + 1, lines + 1, Record::Fault::None);
        if (found && open) ++lines;
        scanned = (found ? limit + 1 : have_) - begin_;
        if (scanned <= kMaxRecord && (found || Fill())) continue;
        if (error_ != 0) return false;

        // The record is too long, or the input ended inside it.
        b = buffer_.get();
        if (open) {  // report the line where the quote opened, and read on after it
            const void* nl = std::memchr(b + begin_, '\n', have_ - begin_);
            const std::size_t end = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - b) : have_;
            if (end - begin_ <= kMaxRecord) return Emit(r, end, nl ? end + 1 : end, 1, Record::Fault::OpenQuote);
        }
        if (have_ - begin_ > kMaxRecord) {
            skipping_ = true;
            return Emit(r, begin_ + kMaxRecord, begin_ + kMaxRecord, 0, Record::Fault::TooLong);
        }
        if (have_ == begin_) return false;
        return Emit(r, have_, have_, lines + 1, Record::Fault::None);  // the last one, without a line end
    }
}

}  // namespace BatchInput
