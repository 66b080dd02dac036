// The degree-minute-second angle text of the window's angle fields, both ways.
//
// The text reads  DD°MM'SS.sss"H : whole degrees (at least 2 digits for a
// latitude, 3 for a longitude), two digits of minutes, seconds with a fixed
// number of decimals, and the hemisphere letter N, S, E or W.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class AngleKind { Latitude, Longitude };
// How the degree mark is written: "°" in the window's fields, "ø" (code 248
// of Windows-1252) in the settings file.
enum class AngleStyle { Form, File };

// Renders Coo (decimal degrees, negative for south or west) as angle text.
// Typ "LAT" (any case) is a latitude, anything else a longitude. Opt "FILE"
// (any case) writes the degree mark as "ø", the code 248 of Windows-1252,
// which HmsHr also reads as a degree mark; anything else writes "°".
// iDecimals, the decimals of the seconds, is clamped into 0..4.
// decimalSeparator is the user's regional one, normally '.' or ','.
std::string HrHms(const double& Coo, const std::string& Typ, const std::string& Opt,
                  const std::int16_t& iDecimals, char decimalSeparator);
std::string HrHms(double Coo, AngleKind kind, AngleStyle style, std::int16_t iDecimals, char decimalSeparator);

// Reads typed or rendered angle text (UTF-8) back into decimal degrees. It
// never refuses a text: each fault is reported through showMessage, one call
// per message, and replaced by a default. Typ as for HrHms. Never throws on
// its own account.
double HmsHr(const std::string& Coord, const std::string& Typ,
             const std::function<void(const std::string&)>& showMessage);
double HmsHr(const std::string& Coord, AngleKind kind, const std::function<void(const std::string&)>& showMessage);
