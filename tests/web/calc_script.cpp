// Plays a script of the form's commands on the native calculator and prints
// every message and the whole form after each command, in the very words
// the page's module prints them (tests/web/agreement.test.mjs).
//
// Script lines: "sep C" (a new calculator with decimal separator C),
// "start HEX" (settings file bytes, or none for the defaults), "edit F TEXT",
// "leave F", "system I", "zone I", "datum I", "unit I", "parallels I",
// "init", "convert I", "save" (the settings file's bytes).
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "core/calc/Calculator.h"
#include "core/settings/Settings.h"

namespace {

std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

std::string Unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

void Print(const Calc::FormState& s) {
    std::cout << "= " << s.coordSystem << ' ' << s.zone << ' ' << s.datum << ' ' << s.unit << ' ' << s.oneParallel
              << ' ' << s.initialized << ' ' << s.parametersEnabled << ' ' << s.zoneListShown << ' ' << s.zoneListRow
              << ' ' << s.northernRowShown << " [" << s.unitTag << "][" << s.lblUnit << "][" << s.lblParallel1 << "]["
              << s.lblTest << "][" << s.lblScaleFactor << "][" << s.lblMeridianRadius << "][" << s.lblNormalRadius
              << "]\n";
    for (const std::string& text : s.text) std::cout << "  " << text << '\n';
}

}  // namespace

int main() {
    std::unique_ptr<Calc::Calculator> calc;
    const auto say = [](const std::string& message) { std::cout << "! " << message << '\n'; };
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command, rest;
        int n = 0;
        words >> command;
        std::cout << "> " << line << '\n';
        if (command == "sep") {
            calc = std::make_unique<Calc::Calculator>(line.size() > 4 ? line[4] : '.', say);
            continue;
        }
        if (command == "start") {
            words >> rest;
            TarvaneSettings stored;
            if (rest.empty() || !Read_Tarvane_Bytes(Unhex(rest), stored)) stored.iZone = -99;
            calc->Start(stored);
        } else if (command == "edit") {
            words >> n;
            const std::size_t at = line.find(' ', 5);
            calc->Edit(static_cast<Calc::Field>(n), at == std::string::npos ? "" : line.substr(at + 1));
        } else if (command == "save") {
            std::cout << "# " << Hex(Tarvane_File_Bytes(calc->Settings())) << '\n';
        } else if (command == "init") {
            calc->Initialize();
        } else {
            words >> n;
            if (command == "leave") calc->Leave(static_cast<Calc::Field>(n));
            if (command == "system") calc->ChooseSystem(n);
            if (command == "zone") calc->ChooseZone(n);
            if (command == "datum") calc->ChooseDatum(n);
            if (command == "unit") calc->ChooseUnit(n);
            if (command == "parallels") calc->ChooseParallels(n);
            if (command == "convert") calc->Convert(n);
        }
        Print(calc->State());
    }
    return 0;
}
