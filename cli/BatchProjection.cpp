#include "cli/BatchProjection.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/text/AngleInput.h"
#include "core/setup/Causes.h"
#include "core/text/AngleText.h"
#include "engine/Tarvane_Module.h"

namespace BatchProjection {

namespace {

const char* const kDatums[] = {"WGS84", "NAD83", "NAD27"};

// Degree-minute-second text that the window's angle reader turns into the
// degrees of `parts`: D°M'S"H with the seconds digits as typed.
std::string FieldText(const BatchInput::AngleParts& parts, bool latitude) {
    long long D = parts.degrees;
    int M = parts.minutes;
    std::string S(parts.secondsText.empty() ? std::string_view("0") : parts.secondsText);
    if (parts.count == 1) {
        const double a = parts.decimalDegrees;
        const double whole = std::floor(a);
        const double minutes = (a - whole) * 60;
        const double m = std::floor(minutes);
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, (minutes - m) * 60, std::chars_format::fixed, 6);
        S.assign(buffer, r.ptr);
        D = static_cast<long long>(whole);
        M = static_cast<int>(m);
        if (S.starts_with("60")) {  // 59.9999996 and more round up to a whole minute
            S = "0";
            ++M;
        }
        if (M == 60) {
            M = 0;
            ++D;
        }
    }
    const char letter = latitude ? (parts.negative ? 'S' : 'N') : (parts.negative ? 'W' : 'E');
    return std::to_string(D) + "\u00B0" + std::to_string(M) + "'" + S + "\"" + letter;
}

bool AngleField(const std::string& option, const std::string& text, bool latitude, std::string& field,
                std::string& error) {
    if (text.empty()) {
        error = option + " is missing";
        return false;
    }
    BatchInput::AngleParts parts;
    const auto kind = latitude ? BatchInput::AngleKind::Latitude : BatchInput::AngleKind::Longitude;
    if (!BatchInput::ParseAngle(text, kind, parts, error)) {
        error = option + ": " + error;
        return false;
    }
    field = FieldText(parts, latitude);
    return true;
}

bool NumberField(const std::string& option, const std::string& text, std::string& field, std::string& error) {
    double value = 0.0;
    if (!BatchInput::ReadNumber(text, value)) {
        error = option + ": " + BatchInput::Quote(text) + " is not a number";
        return false;
    }
    field = text;  // the window reads the typed text itself
    return true;
}

}  // namespace

bool IsKnownZone(std::int16_t zoneNumber) {
    const auto zones = Tarvane_Module::StatePlaneZones();
    return std::any_of(zones.begin(), zones.end(), [&](const auto& z) { return z.number == zoneNumber; });
}

std::string ZoneNumbers() {
    std::string list;
    for (const auto& zone : Tarvane_Module::StatePlaneZones())
        list += (list.empty() ? "" : ", ") + std::to_string(zone.number);
    return list;
}

ProjectionSetup::ParameterFields ZoneFields(bool is1927, std::int16_t zoneNumber) {
    return ProjectionSetup::ZoneFields(is1927, zoneNumber, '.');
}

bool ConeFields(const ConeOptions& o, ProjectionSetup::ParameterFields& f, std::string& error) {
    f = {};
    if (o.datum.empty()) {
        error = "--datum is missing (WGS84, NAD83 or NAD27)";
        return false;
    }
    if (std::find(std::begin(kDatums), std::end(kDatums), o.datum) == std::end(kDatums)) {
        error = "--datum: " + BatchInput::Quote(o.datum) + " is not WGS84, NAD83 or NAD27";
        return false;
    }
    if (o.unit != "meter" && o.unit != "USFeet") {
        error = "--unit: " + BatchInput::Quote(o.unit) + " is not meter or USFeet";
        return false;
    }
    f.datum = o.datum;
    f.unitTag = o.unit;

    const bool two = !o.parallel1.empty() || !o.origin.empty();
    const bool one = !o.parallel.empty() || !o.scale.empty();
    if (two == one) {
        error = two ? "give either --parallels and --origin or --parallel and --scale, not both"
                    : "--parallels and --origin, or --parallel and --scale, are missing";
        return false;
    }
    f.oneParallel = one;
    if (one) {
        if (!AngleField("--parallel", o.parallel, true, f.parallel[0], error)) return false;
        if (o.scale.empty()) {
            error = "--scale is missing";
            return false;
        }
        f.parallel[1] = o.scale;  // read by the window's own scale-factor reader
    } else {
        if (!AngleField("--origin", o.origin, true, f.parallel[0], error) ||
            !AngleField("--parallels", o.parallel1, true, f.parallel[1], error) ||
            !AngleField("--parallels", o.parallel2, true, f.parallel[2], error)) {
            return false;
        }
    }
    return AngleField("--meridian", o.meridian, false, f.centralMeridian, error) &&
           NumberField("--false-northing", o.falseNorthing, f.falseNorthing, error) &&
           NumberField("--false-easting", o.falseEasting, f.falseEasting, error);
}

ProjectionSetup::ParameterFields SettingsFields(const TarvaneSettings& s) {
    ProjectionSetup::ParameterFields f;
    f.datum = kDatums[std::clamp<int>(s.iDatum, 0, 2)];  // the reader keeps it in 0..2
    f.unitTag = s.iUnit == 1 ? "USFeet" : "meter";
    f.oneParallel = s.iParallels == 1;
    f.parallel[0] = s.OriginLat;
    f.parallel[1] = s.SouthernLat;
    f.parallel[2] = s.NorthernLat;
    f.centralMeridian = s.CentralMeridian;
    f.falseNorthing = s.FalseNorthing;
    f.falseEasting = s.FalseEasting;
    return f;
}

bool Setup(const ProjectionSetup::ParameterFields& fields, std::string& error) {
    using namespace Tarvane_Module;
    std::string messages;
    const auto collect = [&messages](const std::string& message) {
        messages += (messages.empty() ? "" : "; ") + message;
    };
    std::string failure;
    try {
        ProjectionSetup::SetupFromFields(fields, collect);
    } catch (const ArcSinDomainError& e) {
        failure = std::string(e.what()) + " (the standard parallels give no cone)";
    } catch (const ArithmeticError& e) {
        failure = std::string("the projection cannot be set up: ") + Causes::KindName(e.kind()) + ": " +
                  Causes::Cause(Causes::Step::SetUp, e.kind()) +
                  (e.kind() == ArithmeticErrorKind::InvalidOperation ? "; use --parallel and --scale" : "");
    } catch (const ProjectionSetup::ScaleFactorError& e) {
        failure = e.what();
    }
    // The angle messages come first: a defaulted angle may be what made the
    // set-up fail.
    if (!messages.empty()) {
        error = "the projection's angles are not valid: " + messages;
        return false;
    }
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    return true;
}

}  // namespace BatchProjection
