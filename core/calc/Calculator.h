// The form without a window: the choices, the text of every field and of
// every caption that changes, what is shown and what may be edited, and the
// commands that change them. Each face (the Qt window, the web page) runs
// these commands and shows this state, so the rules of the form live once.
//
// Handlers nest as the form's own do: choosing a system chooses the parallels
// and the unit and runs the zone command inside it; writing a text identical
// to the one a field holds is no change; any change of a choice or of a
// projection parameter returns the form to not initialized.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/Settings.h"
#include "core/text/AngleText.h"
#include "core/setup/ProjectionSetup.h"

namespace Calc {

// The ten text boxes, in the form's order; the last six hold the projection.
enum class Field { Lat, Lon, Northing, Easting, Parallel0, Parallel1, Parallel2, CentralMeridian, FalseNorthing, FalseEasting };
inline constexpr std::size_t kFieldCount = 10;

// What the form shows. Choices are list indices as the form counts them.
struct FormState {
    int coordSystem = 0;       // 0 "User Defined", 1 "US State Plane 1983", 2 "US State Plane 1927"
    int zone = -1;             // entry of zoneList; -1 none
    int datum = 0;             // 0 WGS84, 1 NAD83, 2 NAD27
    int unit = 0;              // 0 meter, 1 USFeet
    bool oneParallel = false;  // "One Standard Parallel" rather than two
    std::string unitTag;       // what the unit command set last; empty (metres) until it first runs
    std::vector<std::string> zoneList;  // the zone list's entries, filled by Start
    std::array<std::string, kFieldCount> text;

    std::string lblUnit = "m";  // the four unit captions, always alike
    std::string lblParallel1 = "Southern Standard Parallel ";
    std::string lblTest = "n/a", lblScaleFactor = "n/a", lblMeridianRadius = "n/a", lblNormalRadius = "n/a";

    bool initialized = false;       // the two convert buttons are offered instead of INITIALIZE
    bool parametersEnabled = true;  // datum, unit, parallel options and the six projection fields
    bool zoneListShown = false;
    int zoneListRow = 1;            // the system option whose row the zone list stands on
    bool northernRowShown = true;   // the third parallel row (hidden with one parallel)
};

class Calculator {
public:
    // Each message goes out through `showMessage`, at the moment it arises;
    // numbers are shown with the region's `decimalSeparator`.
    using MessageFunction = std::function<void(const std::string&)>;
    Calculator(char decimalSeparator, MessageFunction showMessage);

    const FormState& State() const { return form_; }
    const std::string& Text(Field field) const { return form_.text[static_cast<std::size_t>(field)]; }
    // The State Plane zone number of an entry of the zone list: its first four characters.
    std::int16_t ZoneNumber(int index) const;

    // The load command: Load, then Initialize.
    void Start(const TarvaneSettings& stored);
    // A fresh form with the stored values, or the defaults when iZone is -99
    // or an index is out of its range.
    void Load(const TarvaneSettings& stored);
    // Start from TARVANE.ini in the working directory, or the defaults.
    void StartFromFile();

    void ChooseSystem(int index);
    void ChooseZone(int index);  // an index outside the list chooses none
    void ChooseDatum(int index);
    void ChooseUnit(int index);
    void ChooseParallels(int index);  // 0 one, otherwise two
    void Edit(Field field, const std::string& text);
    // The field loses the focus: an angle field is read, with its messages,
    // and rewritten in the standard angle text.
    void Leave(Field field);
    // What the initialize command reads: the choices and the six projection fields.
    ProjectionSetup::ParameterFields Fields() const;
    // Sets the engine up from the fields; false, after a message, when it cannot.
    bool Initialize();
    // 0: latitude and longitude to grid; 1: grid to latitude and longitude.
    // Only while initialized; true when every result was written.
    bool Convert(int index);
    // The fields as if the user had typed them (a grid of the EPSG registry),
    // then Initialize.
    void TypeFields(const ProjectionSetup::ParameterFields& fields);

    // The thirteen values to store on exit.
    TarvaneSettings Settings() const;
    // Writes them to TARVANE.ini; false, after a message, when it cannot.
    bool StoreToFile() const;

private:
    void NotInitialized() { form_.initialized = false; }
    void SelectZone(int index);
    void ZoneCommand();
    void UnitCommand();
    void WriteParameterRows(const ProjectionSetup::ParameterFields& fields);
    void ApplyStored(const TarvaneSettings& stored);
    void ApplyDefaults();
    std::string Angle(double degrees, AngleKind kind) const;
    std::string Shown(double value, int decimals) const;
    GridUnit TaggedUnit() const;

    char separator_;
    MessageFunction message_;
    FormState form_;
};

}  // namespace Calc
