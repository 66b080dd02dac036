// Reads TARVANE.ini in the current directory as the window does at start-up
// and prints the thirteen values; exits 1 when the file counts as unreadable.
#include <cstdio>

#include "core/settings/Settings.h"

int main() {
    TarvaneSettings s;
    Read_Tarvane(s);
    std::printf("%d\n%d\n%d\n%d\n%s\n%s\n%d\n%s\n%s\n%s\n%s\n%s\n%s\n", s.iOption, s.iZone, s.iDatum, s.iUnit,
                s.currentLat.c_str(), s.currentLon.c_str(), s.iParallels, s.OriginLat.c_str(),
                s.SouthernLat.c_str(), s.NorthernLat.c_str(), s.CentralMeridian.c_str(),
                s.FalseNorthing.c_str(), s.FalseEasting.c_str());
    return s.iZone == -99 ? 1 : 0;
}
