#include "core/calc/Calculator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/convert/Conversion.h"
#include "core/setup/Causes.h"
#include "core/text/AngleText.h"
#include "core/text/FixedText.h"
#include "core/text/NumberText.h"
#include "engine/Tarvane_Module.h"

namespace Calc {

using Tarvane_Module::ArithmeticError;
using Tarvane_Module::ArithmeticErrorKind;

namespace {

constexpr std::size_t kSystems = 3;  // User Defined, State Plane 1983 and 1927

bool IsProjectionField(Field field) { return field >= Field::Parallel0; }

// A list index as a list takes it from code: one outside the list selects none.
int ListIndex(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size ? index : -1;
}

// A failure of the engine as the form says it: what could not be done, the
// kind, and the cause as a sentence, with advice where the user can mend it.
std::string FailureMessage(const char* what, Causes::Step step, ArithmeticErrorKind kind, const char* advice = "") {
    std::string cause = Causes::Cause(step, kind);
    cause[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(cause[0])));
    return std::string(what) + ": " + Causes::KindName(kind) + ". " + cause + advice + ".";
}

}  // namespace

Calculator::Calculator(char decimalSeparator, MessageFunction showMessage)
    : separator_(decimalSeparator), message_(std::move(showMessage)) {}

std::string Calculator::Angle(double degrees, AngleKind kind) const {
    return HrHms(degrees, kind, AngleStyle::Form, 3, separator_);
}

// A number with the form's pattern: the region's separator, a tie rounded away from zero.
std::string Calculator::Shown(double value, int decimals) const {
    return FixedText(value, decimals, separator_, Ties::AwayFromZero);
}

// The unit by its tag, which is metres until the unit is first chosen.
GridUnit Calculator::TaggedUnit() const {
    return form_.unitTag == UnitTag(GridUnit::USFeet) ? GridUnit::USFeet : GridUnit::Metre;
}

std::int16_t Calculator::ZoneNumber(int index) const {
    std::int16_t number = 0;
    if (ListIndex(index, form_.zoneList.size()) < 0) return number;
    const std::string head = form_.zoneList[static_cast<std::size_t>(index)].substr(0, 4);
    const std::size_t first = head.find_first_not_of(' ');
    if (first != std::string::npos) std::from_chars(head.data() + first, head.data() + head.size(), number);
    return number;
}

// --- Start -------------------------------------------------------------------

void Calculator::Start(const TarvaneSettings& s) {
    Load(s);
    Initialize();
}

void Calculator::Load(const TarvaneSettings& s) {
    form_ = FormState{};
    for (const Tarvane_Module::StatePlaneZone& zone : Tarvane_Module::StatePlaneZones())
        form_.zoneList.push_back(ProjectionSetup::ZoneListText(zone));
    // An index outside its list, which the settings reader refuses too, gives the defaults.
    const auto in = [](int index, std::size_t size) { return ListIndex(index, size) >= 0; };
    const bool inRange = in(s.iOption, kSystems) && (s.iZone == -1 || in(s.iZone, form_.zoneList.size())) &&
                         in(s.iDatum, kDatumNames.size()) && in(s.iUnit, kUnitTags.size());
    if (s.iZone != -99 && inRange) {
        ApplyStored(s);
    } else {
        ApplyDefaults();
    }
}

void Calculator::StartFromFile() {
    TarvaneSettings stored;
    Read_Tarvane(stored);
    Start(stored);
}

// The stored texts come after the choices, so that they win over what the
// zone and parallel commands write into the same fields.
void Calculator::ApplyStored(const TarvaneSettings& s) {
    ChooseSystem(s.iOption);
    SelectZone(s.iZone);
    ChooseDatum(s.iDatum);
    ChooseUnit(s.iUnit);
    Edit(Field::Lat, s.currentLat);
    Edit(Field::Lon, s.currentLon);
    Edit(Field::Northing, "n/a");
    Edit(Field::Easting, "n/a");
    ChooseParallels(s.iParallels == 1 ? 0 : 1);
    Edit(Field::Parallel0, s.OriginLat);
    Edit(Field::Parallel1, s.SouthernLat);
    Edit(Field::Parallel2, s.NorthernLat);
    Edit(Field::CentralMeridian, s.CentralMeridian);
    Edit(Field::FalseNorthing, s.FalseNorthing);
    Edit(Field::FalseEasting, s.FalseEasting);
}

void Calculator::ApplyDefaults() {
    ChooseSystem(0);
    ChooseDatum(0);
    ChooseUnit(0);
    Edit(Field::Lat, Angle(30.0, AngleKind::Latitude));
    Edit(Field::Lon, Angle(-80.0, AngleKind::Longitude));
    Edit(Field::Northing, "0.0 m");
    Edit(Field::Easting, "0.0 m");
    Edit(Field::Parallel0, Angle(25.0, AngleKind::Latitude));
    ChooseParallels(1);
    Edit(Field::Parallel1, Angle(20.0, AngleKind::Latitude));
    Edit(Field::Parallel2, Angle(40.0, AngleKind::Latitude));
    Edit(Field::CentralMeridian, Angle(-75.0, AngleKind::Longitude));
    Edit(Field::FalseNorthing, "1000000.0 m");
    Edit(Field::FalseEasting, "500000.0 m");
}

// --- Choices -------------------------------------------------------------------

// A State Plane system fixes datum, unit and parallels and takes every
// parameter from the zone table; "User Defined" hands them back to the user
// as they stand.
void Calculator::ChooseSystem(int index) {
    if (ListIndex(index, kSystems) < 0) return;
    form_.coordSystem = index;
    NotInitialized();
    const bool statePlane = index != 0;
    form_.parametersEnabled = !statePlane;
    form_.zoneListShown = statePlane;
    if (!statePlane) return;
    form_.zoneListRow = index;
    ChooseParallels(1);
    ChooseDatum(index == 1 ? static_cast<int>(Datum::NAD83) : static_cast<int>(Datum::NAD27));
    ChooseUnit(index == 1 ? static_cast<int>(GridUnit::Metre) : static_cast<int>(GridUnit::USFeet));
    ZoneCommand();
}

void Calculator::ChooseZone(int index) { SelectZone(index); }

void Calculator::SelectZone(int index) {
    form_.zone = ListIndex(index, form_.zoneList.size());
    if (form_.zone >= 0) ZoneCommand();
}

void Calculator::ZoneCommand() {
    NotInitialized();
    if (form_.zone < 0) SelectZone(0);  // the first entry, which runs this command for it first
    if (form_.zone < 0) return;         // no list yet
    WriteParameterRows(ProjectionSetup::ZoneFields(form_.coordSystem == 2, ZoneNumber(form_.zone), separator_));
}

// The parallels first: choosing them resets rows 1 and 2.
void Calculator::WriteParameterRows(const ProjectionSetup::ParameterFields& f) {
    ChooseParallels(f.oneParallel ? 0 : 1);
    Edit(Field::Parallel0, f.parallel[0]);
    Edit(Field::Parallel1, f.parallel[1]);
    if (!f.oneParallel) Edit(Field::Parallel2, f.parallel[2]);
    Edit(Field::CentralMeridian, f.centralMeridian);
    Edit(Field::FalseNorthing, f.falseNorthing);
    Edit(Field::FalseEasting, f.falseEasting);
}

// Another datum changes every result, so it asks for a new set-up like every
// other choice.
void Calculator::ChooseDatum(int index) {
    form_.datum = ListIndex(index, kDatumNames.size());
    if (form_.datum >= 0) NotInitialized();
}

void Calculator::ChooseUnit(int index) {
    form_.unit = ListIndex(index, kUnitTags.size());
    if (form_.unit >= 0) UnitCommand();
}

// The unit changes the captions and how the numbers count, never the numbers.
void Calculator::UnitCommand() {
    NotInitialized();
    form_.unitTag = UnitTag(form_.unit == 0 ? GridUnit::Metre : GridUnit::USFeet);
    form_.lblUnit = form_.unitTag;
}

// One parallel: row 1 holds the scale factor and row 2 goes. Two: both rows
// start again from zero, so a scale factor is never read as a latitude.
void Calculator::ChooseParallels(int index) {
    form_.oneParallel = index == 0;
    NotInitialized();
    form_.northernRowShown = !form_.oneParallel;
    if (form_.oneParallel) {
        form_.lblParallel1 = "ScaleFactor ";
        Edit(Field::Parallel1, "1.00");
    } else {
        form_.lblParallel1 = "Southern Standard Parallel";
        Edit(Field::Parallel1, Angle(0.0, AngleKind::Latitude));
        Edit(Field::Parallel2, Angle(0.0, AngleKind::Latitude));
    }
}

// --- Fields ----------------------------------------------------------------------

void Calculator::Edit(Field field, const std::string& text) {
    std::string& held = form_.text[static_cast<std::size_t>(field)];
    if (held == text) return;
    held = text;
    if (IsProjectionField(field)) NotInitialized();
}

void Calculator::Leave(Field field) {
    std::optional<AngleKind> kind;
    switch (field) {
        case Field::Lat: case Field::Parallel0: case Field::Parallel2: kind = AngleKind::Latitude; break;
        case Field::Parallel1: if (!form_.oneParallel) kind = AngleKind::Latitude; break;  // else the scale factor
        case Field::Lon: case Field::CentralMeridian: kind = AngleKind::Longitude; break;
        default: break;
    }
    if (!kind) return;
    const double degrees = HmsHr(Text(field), *kind, message_);
    Edit(field, Angle(degrees, *kind));
}

// --- Commands ----------------------------------------------------------------------

ProjectionSetup::ParameterFields Calculator::Fields() const {
    ProjectionSetup::ParameterFields f;
    f.datum = static_cast<Datum>(std::max(form_.datum, 0));
    f.unit = TaggedUnit();
    f.oneParallel = form_.oneParallel;
    for (int i = 0; i < 3; ++i) f.parallel[i] = Text(static_cast<Field>(static_cast<int>(Field::Parallel0) + i));
    f.centralMeridian = Text(Field::CentralMeridian);
    f.falseNorthing = Text(Field::FalseNorthing);
    f.falseEasting = Text(Field::FalseEasting);
    return f;
}

bool Calculator::Initialize() {
    try {
        ProjectionSetup::SetupFromFields(Fields(), message_);
    } catch (const Tarvane_Module::ArcSinDomainError&) {
        message_("ARCSINUS DATA ERROR");
        return false;
    } catch (const ArithmeticError& error) {
        const bool equalParallels = error.kind() == ArithmeticErrorKind::InvalidOperation;
        message_(FailureMessage("The projection cannot be set up from these parameters", Causes::Step::SetUp,
                                error.kind(),
                                equalParallels ? "; for a single parallel choose \"One Standard Parallel\"" : ""));
        return false;
    } catch (const ProjectionSetup::ScaleFactorError& error) {
        message_(error.what());
        return false;
    }
    form_.initialized = true;
    return true;
}

// Each field and caption is written as soon as its value is known, so a
// failing step leaves the later ones as they were.
bool Calculator::Convert(int index) {
    if (!form_.initialized) return false;
    const char* what = index == 0 ? "The position cannot be converted" : "The grid position cannot be converted";
    Causes::Step step = index == 0 ? Causes::Step::Forward : Causes::Step::Inverse;
    const double perMetre = ::UnitsPerMetre(TaggedUnit());
    try {
        Conversion::Point p;
        if (index == 0) {
            const double lat = HmsHr(Text(Field::Lat), "LAT", message_);
            const double lon = HmsHr(Text(Field::Lon), "LON", message_);
            p = Conversion::Forward(lat, lon, perMetre);
            Edit(Field::Northing, Shown(p.northing, 2));
            Edit(Field::Easting, Shown(p.easting, 2));
            form_.lblTest = "n/a";
        } else {
            p = Conversion::Inverse(XVal(Text(Field::Easting)), XVal(Text(Field::Northing)), perMetre);
            Edit(Field::Lat, Angle(p.latitude, AngleKind::Latitude));
            Edit(Field::Lon, Angle(p.longitude, AngleKind::Longitude));
            form_.lblTest = std::to_string(p.iterations);
        }
        what = "The transformation data cannot be computed at this latitude";
        step = Causes::Step::Forward;
        Conversion::AddPointData(p);
        form_.lblScaleFactor = Shown(p.scaleFactor, 9);
        form_.lblMeridianRadius = Shown(p.meridianRadius, 1) + " m";
        form_.lblNormalRadius = Shown(p.normalRadius, 1) + " m";
    } catch (const ArithmeticError& error) {
        message_(FailureMessage(what, step, error.kind()));
        return false;
    }
    return true;
}

void Calculator::TypeFields(const ProjectionSetup::ParameterFields& f) {
    ChooseSystem(0);
    ChooseDatum(static_cast<int>(f.datum));
    ChooseUnit(static_cast<int>(f.unit));
    WriteParameterRows(f);
    Initialize();
}

// --- Settings ----------------------------------------------------------------------

TarvaneSettings Calculator::Settings() const {
    const auto i16 = [](int value) { return static_cast<std::int16_t>(value); };
    return {i16(form_.coordSystem),
            i16(form_.zone),
            i16(form_.datum),
            i16(form_.unit),
            Text(Field::Lat),
            Text(Field::Lon),
            i16(form_.oneParallel ? 1 : 2),
            Text(Field::Parallel0),
            Text(Field::Parallel1),
            Text(Field::Parallel2),
            Text(Field::CentralMeridian),
            Text(Field::FalseNorthing),
            Text(Field::FalseEasting)};
}

bool Calculator::StoreToFile() const {
    std::string reason;
    if (Write_Tarvane(Settings(), reason)) return true;
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::current_path(ec) / kSettingsFileName;
    message_("The settings could not be saved to " + (ec ? std::string(kSettingsFileName) : file.string()) + ": " +
             reason + ". The settings file that was there before, if any, is unchanged.");
    return false;
}

}  // namespace Calc
