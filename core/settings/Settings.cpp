#include "core/settings/Settings.h"

#include <cerrno>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/text/Cp1252.h"

namespace {

constexpr const char* kFileName = kSettingsFileName;
constexpr std::size_t kLineCount = 13;
constexpr std::size_t kMaxLine = 4096;  // bytes, line end excluded

// One line of the file: either an integer with its allowed range or a text.
struct Field {
    std::int16_t TarvaneSettings::*integer;
    std::string TarvaneSettings::*text;
    int min, max;
};

constexpr Field kFields[kLineCount] = {
    {&TarvaneSettings::iOption, nullptr, 0, 2},
    {&TarvaneSettings::iZone, nullptr, -1, 6},
    {&TarvaneSettings::iDatum, nullptr, 0, 2},
    {&TarvaneSettings::iUnit, nullptr, 0, 1},
    {nullptr, &TarvaneSettings::currentLat, 0, 0},
    {nullptr, &TarvaneSettings::currentLon, 0, 0},
    {&TarvaneSettings::iParallels, nullptr, INT16_MIN, INT16_MAX},
    {nullptr, &TarvaneSettings::OriginLat, 0, 0},
    {nullptr, &TarvaneSettings::SouthernLat, 0, 0},
    {nullptr, &TarvaneSettings::NorthernLat, 0, 0},
    {nullptr, &TarvaneSettings::CentralMeridian, 0, 0},
    {nullptr, &TarvaneSettings::FalseNorthing, 0, 0},
    {nullptr, &TarvaneSettings::FalseEasting, 0, 0},
};

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads up to `limit` bytes from the start of the file; false on a read error.
bool ReadHead(int fd, std::string& out, std::size_t limit) {
    out.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::read(fd, out.data() + got, limit - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

// Splits off at most thirteen lines. A line ends at CR LF, LF or a lone CR;
// a last line without a line end counts. Stops before a line over the limit.
std::vector<std::string_view> SplitLines(std::string_view data) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (lines.size() < kLineCount && pos < data.size()) {
        std::size_t end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
        if (end - pos > kMaxLine) break;
        lines.push_back(data.substr(pos, end - pos));
        if (end < data.size()) {
            end += (data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') ? 2 : 1;
        }
        pos = end;
    }
    return lines;
}

// A whole number in the 16-bit range, optional sign, blanks and tabs around.
bool ParseInteger(std::string_view s, int& value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    long v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 32768) return false;
    }
    v = negative ? -v : v;
    if (v > INT16_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

std::string Reason(int error) { return std::system_category().message(error); }

SettingsFileCalls& Calls() {
    static SettingsFileCalls calls = Real_Settings_File_Calls();
    return calls;
}

// Writes all of `data`, going on after a short write.
bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const long n = Calls().write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates the new file under a name no one else uses, beside the old one.
int CreateTemporary(const std::string& target, std::string& path) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
        const int fd = Calls().create(path);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool Save(const std::string& target, const std::string& bytes, std::string& failureReason) {
    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;

    std::string tmp;
    const int fd = CreateTemporary(target, tmp);
    if (fd < 0) {
        failureReason = Reason(errno);
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    if (ok && hadOld && S_ISREG(old.st_mode)) ok = ::fchmod(fd, old.st_mode & 0777) == 0;
    if (ok) ok = Calls().sync(fd) == 0;
    int error = ok ? 0 : errno;
    // The descriptor is gone after close whatever it returns; its failure
    // can be the first report of a failed write (network file systems).
    if (Calls().close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && Calls().rename(tmp, target) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        Calls().remove(tmp);
        failureReason = Reason(error);
        return false;
    }
    // The new file is in place; syncing the directory only makes the rename
    // itself survive a power cut, so its failure does not undo the save.
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace

bool Read_Tarvane_File(const std::string& path, TarvaneSettings& s) noexcept {
    try {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            s.iZone = -99;
            return false;
        }
        Descriptor file(fd);
        // Only a regular file: a FIFO or a device could block or never end.
        struct stat st {};
        std::string head;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            !ReadHead(fd, head, kLineCount * (kMaxLine + 2))) {
            s.iZone = -99;
            return false;
        }
        return Read_Tarvane_Bytes(head, s);
    } catch (...) {
        s.iZone = -99;
        return false;
    }
}

bool Read_Tarvane_Bytes(std::string_view head, TarvaneSettings& s) noexcept {
    try {
        std::vector<std::string_view> lines = SplitLines(head);

        // Read as UTF-8 only what is valid UTF-8 and not plain ASCII; anything
        // else is the code page the file is written in.
        bool ascii = true, utf8 = true;
        for (const auto line : lines) {
            for (const char c : line) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
            utf8 = utf8 && Cp1252::IsValidUtf8(line);
        }
        const bool asUtf8 = utf8 && !ascii;
        if (asUtf8 && !lines.empty() && lines[0].starts_with("\xEF\xBB\xBF")) {
            lines[0].remove_prefix(3);  // the byte-order mark some editors put first
        }

        for (std::size_t i = 0; i < kLineCount; ++i) {
            if (i >= lines.size()) {
                s.iZone = -99;
                return false;
            }
            const Field& f = kFields[i];
            if (f.integer) {
                int v = 0;
                if (!ParseInteger(lines[i], v) || v < f.min || v > f.max) {
                    s.iZone = -99;
                    return false;
                }
                s.*f.integer = static_cast<std::int16_t>(v);
            } else {
                s.*f.text = asUtf8 ? std::string(lines[i]) : Cp1252::ToUtf8(lines[i]);
            }
        }
    } catch (...) {
        s.iZone = -99;
        return false;
    }
    return true;
}

void Read_Tarvane(TarvaneSettings& s) noexcept { Read_Tarvane_File(kFileName, s); }

void Read_Tarvane(std::int16_t& iOption, std::int16_t& iZone, std::int16_t& iDatum,
                  std::int16_t& iUnit, std::string& currentLat, std::string& currentLon,
                  std::int16_t& iParallels, std::string& OriginLat, std::string& SouthernLat,
                  std::string& NorthernLat, std::string& CentralMeridian,
                  std::string& FalseNorthing, std::string& FalseEasting) noexcept {
    TarvaneSettings s;
    try {
        s = {iOption,     iZone,       iDatum,      iUnit,           currentLat,
             currentLon,  iParallels,  OriginLat,   SouthernLat,     NorthernLat,
             CentralMeridian, FalseNorthing, FalseEasting};
    } catch (...) {
        iZone = -99;
        return;
    }
    Read_Tarvane(s);
    iOption = s.iOption;
    iZone = s.iZone;
    iDatum = s.iDatum;
    iUnit = s.iUnit;
    currentLat = std::move(s.currentLat);
    currentLon = std::move(s.currentLon);
    iParallels = s.iParallels;
    OriginLat = std::move(s.OriginLat);
    SouthernLat = std::move(s.SouthernLat);
    NorthernLat = std::move(s.NorthernLat);
    CentralMeridian = std::move(s.CentralMeridian);
    FalseNorthing = std::move(s.FalseNorthing);
    FalseEasting = std::move(s.FalseEasting);
}

std::string Tarvane_File_Bytes(const TarvaneSettings& s) {
    std::string out;
    for (const Field& f : kFields) {
        if (f.integer) {
            const int v = s.*f.integer;
            if (v >= 0) out += ' ';
            out += std::to_string(v) + " ";
        } else {
            std::string line = Cp1252::FromUtf8(s.*f.text, '?');
            // A line end inside a text would shift every later line.
            for (char& c : line) {
                if (c == '\r' || c == '\n') c = ' ';
            }
            out += line;
        }
        out += "\r\n";
    }
    return out;
}

bool Write_Tarvane(const TarvaneSettings& settings, std::string& failureReason) noexcept {
    return Write_Tarvane_File(kFileName, settings, failureReason);
}

bool Write_Tarvane_File(const std::string& path, const TarvaneSettings& settings, std::string& failureReason) noexcept {
    try {
        return Save(path, Tarvane_File_Bytes(settings), failureReason);
    } catch (...) {
        // Only memory can run out here; the old file has not been touched.
        try {
            failureReason = Reason(ENOMEM);
        } catch (...) {
        }
        return false;
    }
}

SettingsFileCalls Real_Settings_File_Calls() {
    SettingsFileCalls c;
    c.create = [](const std::string& path) {
        return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    };
    c.write = [](int fd, const char* data, std::size_t size) -> long {
        return ::write(fd, data, size);
    };
    c.sync = [](int fd) { return ::fsync(fd); };
    c.close = [](int fd) { return ::close(fd); };
    c.rename = [](const std::string& from, const std::string& to) {
        return ::rename(from.c_str(), to.c_str());
    };
    c.remove = [](const std::string& path) { return ::unlink(path.c_str()); };
    return c;
}

void Set_Settings_File_Calls(const SettingsFileCalls& calls) {
    // A call left empty stays the real one, so a test replaces only the step it breaks.
    const SettingsFileCalls real = Real_Settings_File_Calls();
    SettingsFileCalls& c = Calls();
    c.create = calls.create ? calls.create : real.create;
    c.write = calls.write ? calls.write : real.write;
    c.sync = calls.sync ? calls.sync : real.sync;
    c.close = calls.close ? calls.close : real.close;
    c.rename = calls.rename ? calls.rename : real.rename;
    c.remove = calls.remove ? calls.remove : real.remove;
}

void Reset_Settings_File_Calls() { Calls() = Real_Settings_File_Calls(); }
