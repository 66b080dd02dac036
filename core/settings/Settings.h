// TARVANE.ini: the user's choices, parameters and last position, kept between
// runs as thirteen lines of Windows-1252 text with CR LF line ends.
//
// Line  1 iOption, 2 iZone, 3 iDatum, 4 iUnit (integers), 5 currentLat,
// 6 currentLon (texts), 7 iParallels (integer), 8 OriginLat, 9 SouthernLat,
// 10 NorthernLat, 11 CentralMeridian, 12 FalseNorthing, 13 FalseEasting
// (texts). Texts are UTF-8 in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The file's name, in the current directory.
inline constexpr const char* kSettingsFileName = "TARVANE.ini";

// The thirteen stored values, in file order.
struct TarvaneSettings {
    std::int16_t iOption = 0;
    std::int16_t iZone = 0;
    std::int16_t iDatum = 0;
    std::int16_t iUnit = 0;
    std::string currentLat;
    std::string currentLon;
    std::int16_t iParallels = 0;
    std::string OriginLat;
    std::string SouthernLat;
    std::string NorthernLat;
    std::string CentralMeridian;
    std::string FalseNorthing;
    std::string FalseEasting;

    bool operator==(const TarvaneSettings&) const = default;
};

// Reads "TARVANE.ini" from the current directory. On any failure (no file, not
// a regular file, fewer than thirteen lines, a line over 4 KiB, an integer line
// that is not a 16-bit whole number, an index out of its range) iZone becomes
// -99; the values read before the failure keep their new values and the others
// keep what the caller put in. Never throws and shows nothing.
void Read_Tarvane(std::int16_t& iOption, std::int16_t& iZone, std::int16_t& iDatum,
                  std::int16_t& iUnit, std::string& currentLat, std::string& currentLon,
                  std::int16_t& iParallels, std::string& OriginLat, std::string& SouthernLat,
                  std::string& NorthernLat, std::string& CentralMeridian,
                  std::string& FalseNorthing, std::string& FalseEasting) noexcept;
void Read_Tarvane(TarvaneSettings& settings) noexcept;

// The one reader behind Read_Tarvane, for a file at any path: the same rules,
// and true when all thirteen values were read.
bool Read_Tarvane_File(const std::string& path, TarvaneSettings& settings) noexcept;
// The same reader over the file's bytes, for a file that comes from elsewhere
// (a browser hands over bytes, not a path). Bytes past the thirteenth line
// are not looked at.
bool Read_Tarvane_Bytes(std::string_view bytes, TarvaneSettings& settings) noexcept;

// The exact bytes of the file for these values: integers as " 0 " or "-1 ",
// texts as Windows-1252 with "?" for a character the code page cannot hold
// and a blank for a CR or LF, every line ending in CR LF.
std::string Tarvane_File_Bytes(const TarvaneSettings& settings);

// Saves "TARVANE.ini" in the current directory without ever losing the old
// one: the bytes go to a new file beside it, are flushed to the disk, and the
// new file is renamed over the old in one step, keeping the old file's
// permission bits. On failure the old file is left as it was, the new one is
// removed, `failureReason` gets the system's reason (for example "Permission
// denied") and the result is false. Never throws.
bool Write_Tarvane(const TarvaneSettings& settings, std::string& failureReason) noexcept;

// The same writer for a file at any path (the new file goes beside it).
bool Write_Tarvane_File(const std::string& path, const TarvaneSettings& settings, std::string& failureReason) noexcept;

// The system calls the writer makes, replaceable so that tests can make a
// save fail at any step. Each returns what its POSIX call returns (-1 with
// errno set on failure).
struct SettingsFileCalls {
    std::function<int(const std::string& path)> create;  // new file only; gives the descriptor
    std::function<long(int fd, const char* data, std::size_t size)> write;
    std::function<int(int fd)> sync;
    std::function<int(int fd)> close;
    std::function<int(const std::string& from, const std::string& to)> rename;
    std::function<int(const std::string& path)> remove;
};

SettingsFileCalls Real_Settings_File_Calls();
// Calls left empty in `calls` stay the real ones.
void Set_Settings_File_Calls(const SettingsFileCalls& calls);
void Reset_Settings_File_Calls();
