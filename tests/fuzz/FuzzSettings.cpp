// The settings reader on arbitrary files: no crash, no hang, a result that agrees with iZone. A file that reads is
// written again and reads back the same where the code page holds every text (unless the bytes then form UTF-8).
#include <algorithm>
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
    static const struct File {  // private to the run, and gone at its end
        std::string path = "/tmp/tarvane-fuzz-settings-XXXXXX";
        File() { fuzz::Require(::mkstemp(path.data()) >= 0, "cannot make a temporary file"); }
        ~File() { ::unlink(path.c_str()); }
    } file;
    fuzz::Require(static_cast<bool>(std::ofstream(file.path, std::ios::binary) << bytes), "cannot write the file");
    const bool ok = Read_Tarvane_File(file.path, s);
    fuzz::Require(ok == (s.iZone != -99), "result and iZone disagree");
    return ok;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TarvaneSettings read, again;
    if (!Read(std::string_view(reinterpret_cast<const char*>(data), size), read)) return 0;
    const std::string written = Tarvane_File_Bytes(read);
    fuzz::Require(Read(written, again), "a file the writer wrote did not read back");
    if (Cp1252::IsValidUtf8(written) && std::any_of(written.begin(), written.end(), [](char c) { return c & 0x80; }))
        return 0;
    for (const std::string* text : {&read.currentLat, &read.currentLon, &read.OriginLat, &read.SouthernLat,
                                    &read.NorthernLat, &read.CentralMeridian, &read.FalseNorthing, &read.FalseEasting})
        if (Cp1252::FromUtf8(*text, '?') != Cp1252::FromUtf8(*text, '!')) return 0;  // not all in the code page
    fuzz::Require(again == read, "a value changed on writing and reading back");
    return 0;
}
