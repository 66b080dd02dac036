// Strict reading of the batch converter's input: the two co-ordinates of a
// line, angles in the accepted forms, plain numbers. Unlike the window's
// forgiving angle reader, nothing here puts a default in place of bad text:
// every fault is an error with a message.
#pragma once

#include <string>
#include <string_view>

#include "core/text/AngleText.h"

namespace BatchInput {

// An angle as typed: decimal degrees (one number) or whole degrees, whole
// minutes and optional seconds.
struct AngleParts {
    bool negative = false;         // a minus sign, or S / W
    int count = 0;                 // 1: decimal degrees, 2: D M, 3: D M S
    double decimalDegrees = 0.0;   // count 1, without sign
    int degrees = 0, minutes = 0;  // count 2 and 3
    float seconds = 0.0f;          // count 3: as the window holds them
};

// Reads one angle. Accepted: "-29.5", "29.5N", "29 30 15.5 N", "29°30'15.5\"N",
// "29:30:15.5N" (a sign or a letter, never both; only the seconds, or the
// one number of decimal degrees, may have decimals; minutes and seconds
// below 60; at most 90 for a latitude and 180 for a longitude).
bool ParseAngle(std::string_view text, AngleKind kind, AngleParts& parts, std::string& error);

// The signed degrees of an angle. Degree-minute-second text gives exactly
// what the window's angle reader gives for it: seconds held as a 32-bit float,
// S / 60 / 60 + (M / 60 + D).
double AngleDegrees(const AngleParts& parts);

bool ReadAngle(std::string_view text, AngleKind kind, double& degrees, std::string& error);

// A plain decimal number with an optional sign and exponent, the whole text
// (blanks around it aside); no hexadecimal, no infinity, no NaN.
bool ReadNumber(std::string_view text, double& value);

// Splits a data line into its two co-ordinates. With a comma, semicolon or
// tab on the line, those separate the fields and blanks belong to them.
// Otherwise blanks separate: two words are two co-ordinates; with more words
// (angles only) the first co-ordinate ends at the first word that is or ends
// in a hemisphere letter, and the rest of the line is the second.
bool SplitLine(std::string_view line, bool angles, std::string_view& first, std::string_view& second,
               std::string& error);

// Text for a message: at most a few dozen bytes of the input, in quotes.
std::string Quote(std::string_view text);

}  // namespace BatchInput
