// The settings reader on arbitrary contents of TARVANE.ini, in a private
// temporary directory: no crash, no hang, and its result agrees with iZone.
// A file that reads is written again (bytes -> read -> write), and what is
// written reads back: the same integers, and the same texts as far as the
// code page holds them, unless the written bytes happen to form UTF-8, which
// the reader then takes them for.

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "core/settings/Settings.h"
#include "core/text/Cp1252.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool Read(std::string_view bytes, TarvaneSettings& s) {
    static const struct Directory {
        std::string path = "/tmp/tarvane-fuzz-settings-XXXXXX";
        Directory() { fuzz::Require(::mkdtemp(path.data()) != nullptr, "cannot make a temporary directory"); }
        ~Directory() { ::unlink((path + "/TARVANE.ini").c_str()), ::rmdir(path.c_str()); }
    } directory;
    const std::string path = directory.path + "/TARVANE.ini";
    fuzz::Require(static_cast<bool>(std::ofstream(path, std::ios::binary) << bytes), "cannot write the file");
    const bool ok = Read_Tarvane_File(path, s);
    fuzz::Require(ok == (s.iZone != -99), "result and iZone disagree");
    return ok;
}

std::array<int, 5> Integers(const TarvaneSettings& s) { return {s.iOption, s.iZone, s.iDatum, s.iUnit, s.iParallels}; }

// No character of the text is replaced when it is written in the code page.
bool InCodePage(const std::string& text) { return Cp1252::FromUtf8(text, '?') == Cp1252::FromUtf8(text, '!'); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TarvaneSettings read, again;
    if (!Read(std::string_view(reinterpret_cast<const char*>(data), size), read)) return 0;
    const std::string written = Tarvane_File_Bytes(read);
    fuzz::Require(Read(written, again), "a file the writer wrote did not read back");
    fuzz::Require(Integers(again) == Integers(read), "an integer changed on writing and reading back");

    const bool ascii = std::all_of(written.begin(), written.end(), [](char c) { return (c & 0x80) == 0; });
    if (Cp1252::IsValidUtf8(written) && !ascii) return 0;
    for (const std::string* text : {&read.currentLat, &read.currentLon, &read.OriginLat, &read.SouthernLat,
                                    &read.NorthernLat, &read.CentralMeridian, &read.FalseNorthing, &read.FalseEasting})
        if (!InCodePage(*text)) return 0;
    fuzz::Require(again == read, "a text changed on writing and reading back");
    return 0;
}
