#include "cli/Records.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace Records {

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;  // bytes read at a time

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

const char* FindByte(const char* from, const char* to, char c) {
    return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(to - from)));
}

// How the grammar reads one record from the start of `text`.
struct Scan {
    std::size_t end = 0;    // where the record ends: a line break outside quotes, or the end of the text
    bool open = false;      // the text ended inside a quoted field
    bool crossed = false;   // a quoted field holds a line break
    std::size_t count = 0;  // its fields
    int ordinaryQuote = 0;  // the first field whose opening quote is an ordinary character
};

// The one reading of a record. With `crossing`, a quoted field may run over
// line breaks; without, one that its own line does not close is read with
// its quote as an ordinary character. Each field goes to `field` (when
// given) as its raw extent and, for a quoted field, the extent between its
// quotes.
template <typename OnField>
Scan Lex(std::string_view text, char separator, bool crossing, OnField&& field) {
    Scan s;
    const char* const b = text.data();
    const char* const e = b + text.size();
    const auto blank = [separator](char c) { return c == ' ' || (c == '\t' && separator != '\t'); };
    const char* p = b;
    for (;;) {
        const char* const begin = p;
        const char* q = p;
        while (q < e && blank(*q)) ++q;
        bool quoted = false;
        if (q < e && *q == '"') {
            // Look for the quote that closes it: one not doubled, followed by
            // the separator or the end of the line, blanks between aside.
            const char* lineEnd = e;
            if (!crossing) {
                for (const char* c = q + 1; c < e; ++c)
                    if (IsLineBreak(*c)) { lineEnd = c; break; }
            }
            for (const char* c = q + 1;;) {
                const char* close = FindByte(c, lineEnd, '"');
                if (!close) {
                    s.open = s.open || (crossing && lineEnd == e);
                    break;
                }
                if (close + 1 < lineEnd && close[1] == '"') {
                    c = close + 2;
                    continue;
                }
                const char* after = close + 1;
                while (after < e && blank(*after)) ++after;
                if (after == e || *after == separator || IsLineBreak(*after)) {
                    if (std::any_of(q + 1, close, IsLineBreak)) s.crossed = true;
                    field(begin, after, q + 1, close);
                    quoted = true;
                    p = after;
                }
                break;
            }
            if (!quoted && s.ordinaryQuote == 0) s.ordinaryQuote = static_cast<int>(s.count + 1);
        }
        if (!quoted) {
            while (p < e && *p != separator && !IsLineBreak(*p)) ++p;
            field(begin, p, nullptr, nullptr);
        }
        ++s.count;
        if (p < e && *p == separator) {
            ++p;
            continue;
        }
        s.end = static_cast<std::size_t>(p - b);
        return s;
    }
}

}  // namespace

const std::vector<Field>& Splitter::Split(std::string_view record, char separator) {
    fields_.clear();
    unquoted_.clear();
    unquoted_.reserve(record.size());  // never outgrown, so the views stay valid
    Lex(record, separator, true, [&](const char* begin, const char* end, const char* vb, const char* ve) {
        const std::string_view raw(begin, static_cast<std::size_t>(end - begin));
        if (!vb) {
            fields_.push_back({raw, raw});
            return;
        }
        const std::size_t start = unquoted_.size();
        for (const char* c = vb; c < ve; ++c) {
            unquoted_ += *c;
            if (*c == '"') ++c;  // a doubled quote is one
        }
        fields_.push_back({raw, std::string_view(unquoted_.data() + start, unquoted_.size() - start)});
    });
    return fields_;
}

// Where the record at `from` ends, as far as the buffer tells.
struct Reader::Extent {
    bool known = false;      // false: more input is needed to tell
    std::size_t end = 0;     // its text ends here...
    std::size_t next = 0;    // ...and the next record begins here
    int ordinaryQuote = 0;
    long lines = 1;          // the lines it spans
};

Reader::Reader(Source source, std::function<void()> beforeWait)
    : source_(std::move(source)), beforeWait_(std::move(beforeWait)), buffer_(kBlock) {}

Reader::~Reader() = default;

void Reader::ReadTable(char separator, std::size_t fieldCount) {
    table_ = true;
    separator_ = separator;
    fieldCount_ = fieldCount;
}

bool Reader::Fill() {
    if (ended_) return false;
    std::memmove(buffer_.data(), buffer_.data() + begin_, have_ - begin_);
    have_ -= begin_;
    begin_ = 0;
    lfKnown_ = false;
    // Room for a whole record of the largest size and one block more.
    if (buffer_.size() - have_ < kBlock / 2 && buffer_.size() < kMaxRecord + kBlock)
        buffer_.resize(std::min(2 * buffer_.size(), kMaxRecord + kBlock));
    if (shortRead_ && beforeWait_) beforeWait_();
    const std::size_t room = buffer_.size() - have_;
    const long n = source_(buffer_.data() + have_, room);
    if (n <= 0) {
        error_ = n < 0 ? (errno ? errno : EIO) : 0;
        ended_ = true;
        return false;
    }
    shortRead_ = static_cast<std::size_t>(n) < room;
    have_ += static_cast<std::size_t>(n);
    return true;
}

// The first line break at or after `from`: its position, or have_ when the
// buffer holds none (or only a CR at its very end, which may be half a CR LF).
std::size_t Reader::LineEnd(std::size_t from) const {
    const char* b = buffer_.data();
    // The next LF is remembered, so that a file of CR line ends is not
    // searched to its end for an LF at every line.
    if (!lfKnown_ || nextLf_ < from) {
        const char* lf = FindByte(b + from, b + have_, '\n');
        nextLf_ = lf ? static_cast<std::size_t>(lf - b) : have_;
        lfKnown_ = true;
    }
    const char* cr = FindByte(b + from, b + nextLf_, '\r');
    if (!cr) return nextLf_;
    const auto at = static_cast<std::size_t>(cr - b);
    return at + 1 < have_ || ended_ ? at : have_;
}

Reader::Extent Reader::Find(std::size_t from, bool table) const {
    const char* b = buffer_.data();
    const std::size_t lineEnd = LineEnd(from);
    const auto after = [&](std::size_t end) {  // past the line break at `end`
        return end + (b[end] == '\r' && end + 1 < have_ && b[end + 1] == '\n' ? 2 : 1);
    };
    const std::string_view line(b + from, lineEnd - from);
    if (!table || line.find('"') == std::string_view::npos) {
        if (lineEnd < have_) return {true, lineEnd, after(lineEnd)};
        return {ended_, have_, have_};  // the last record has no line end
    }
    const auto none = [](const char*, const char*, const char*, const char*) {};
    const std::string_view view(b + from, have_ - from);
    const bool lastChance = ended_ || view.size() >= kMaxRecord;
    const Scan s = Lex(view, separator_, true, none);
    if (s.open && !lastChance) return {};
    const bool closes = !s.open && (s.end < view.size() || ended_);
    if (closes && !(s.crossed && fieldCount_ != 0 && s.count != fieldCount_)) {
        long lines = 1;
        for (std::size_t k = 0; s.crossed && k < s.end; ++k)
            if (view[k] == '\n' || (view[k] == '\r' && !(k + 1 < s.end && view[k + 1] == '\n'))) ++lines;
        const std::size_t end = from + s.end;
        return {true, end, end == have_ ? have_ : after(end), s.ordinaryQuote, lines};
    }
    if (!closes && !s.open && !lastChance) return {};  // the line end is still to come
    // The record is this line alone, its quote an ordinary character.
    if (lineEnd == have_ && !ended_) return {};
    const Scan one = Lex(line, separator_, false, none);
    const std::size_t next = lineEnd < have_ ? after(lineEnd) : have_;
    return {true, lineEnd, next, one.ordinaryQuote};
}

bool Reader::Emit(Record& r, std::size_t end, std::size_t next, long lines, Record::Fault fault,
                  int ordinaryQuote) {
    const char* b = buffer_.data();
    r.text = std::string_view(b + begin_, end - begin_);
    r.lineEnd = std::string_view(b + end, next - end);
    r.line = line_;
    r.fault = fault;
    r.ordinaryQuote = ordinaryQuote;
    line_ += lines;
    begin_ = next;
    return true;
}

// Past the rest of a line too long to keep; false at the end of the input.
bool Reader::Skip() {
    for (;;) {
        const std::size_t end = LineEnd(begin_);
        if (end < have_) {
            const char* b = buffer_.data();
            begin_ = end + (b[end] == '\r' && end + 1 < have_ && b[end + 1] == '\n' ? 2 : 1);
            skipping_ = false;
            return true;
        }
        begin_ = have_;
        if (!Fill()) return false;
    }
}

bool Reader::Next(Record& r) {
    if (utf16_) return false;
    for (;;) {
        if (first_ && (have_ - begin_ >= 3 || ended_)) {
            first_ = false;
            const std::string_view head(buffer_.data() + begin_, have_ - begin_);
            // A byte order mark belongs to the file, not to its first record.
            if (head.starts_with("\xEF\xBB\xBF")) {
                byteOrderMark_ = true;
                begin_ += 3;
            } else if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
                utf16_ = true;
                return false;
            }
        }
        if (skipping_) {
            if (!Skip()) return false;
            continue;
        }
        if (!first_) {
            const Extent x = Find(begin_, table_);
            if (x.known && x.end - begin_ <= kMaxRecord) {
                if (x.end == begin_ && x.next == begin_) return false;  // nothing left
                return Emit(r, x.end, x.next, x.lines, Record::Fault::None, x.ordinaryQuote);
            }
            if (x.known || have_ - begin_ > kMaxRecord) {
                // Too long to keep: reported in its place, and reading goes on after its line.
                skipping_ = true;
                return Emit(r, begin_, begin_, 1, Record::Fault::TooLong, 0);
            }
        }
        if (!Fill()) {
            if (error_ != 0) return false;
            if (first_) continue;
            if (have_ == begin_) return false;
        }
    }
}

}  // namespace Records
