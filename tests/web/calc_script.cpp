// Plays a script of the form's commands on the native calculator and prints each
// message and the whole form after each command, as module.test.mjs prints the
// module's. Lines: "sep C" (a calculator with decimal mark C), "start HEX" (settings
// file bytes; none: the defaults), "edit F TEXT", "leave F", "system I", "zone I",
// "datum I", "unit I", "parallels I", "init", "convert I", "save" (the file's bytes).
#include <iostream>
#include <memory>
#include <sstream>

#include "core/calc/Calculator.h"

int main() {
    std::unique_ptr<Calc::Calculator> calc;
    std::string line, command, hex;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        int n = 0;
        words >> command;
        std::cout << "> " << line << '\n';
        if (command == "sep") {
            calc = std::make_unique<Calc::Calculator>(line[4], [](const std::string& m) { std::cout << "! " << m << '\n'; });
            continue;
        }
        if (command == "start") {
            TarvaneSettings stored;
            std::string bytes;
            hex.clear();
            words >> hex;
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::stoi(hex.substr(i, 2), nullptr, 16));
            if (bytes.empty() || !Read_Tarvane_Bytes(bytes, stored)) stored.iZone = -99;
            calc->Start(stored);
        } else if (command == "save") {
            std::cout << "# ";
            for (unsigned char c : Tarvane_File_Bytes(calc->Settings())) std::cout << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
            std::cout << '\n';
        } else if (command == "init") {
            calc->Initialize();
        } else if (words >> n; command == "edit") {
            calc->Edit(Calc::Field(n), line.size() > 7 ? line.substr(7) : "");
        } else {
            if (command == "leave") calc->Leave(Calc::Field(n));
            if (command == "system") calc->ChooseSystem(n);
            if (command == "zone") calc->ChooseZone(n);
            if (command == "datum") calc->ChooseDatum(n);
            if (command == "unit") calc->ChooseUnit(n);
            if (command == "parallels") calc->ChooseParallels(n);
            if (command == "convert") calc->Convert(n);
        }
        const Calc::FormState& s = calc->State();
        std::cout << "= " << s.coordSystem << ' ' << s.zone << ' ' << s.datum << ' ' << s.unit << ' ' << s.oneParallel
                  << ' ' << s.initialized << ' ' << s.parametersEnabled << ' ' << s.zoneListShown << ' ' << s.zoneListRow
                  << ' ' << s.northernRowShown << " [" << s.unitTag << "][" << s.lblUnit << "][" << s.lblParallel1
                  << "][" << s.lblTest << "][" << s.lblScaleFactor << "][" << s.lblMeridianRadius << "]["
                  << s.lblNormalRadius << "]\n";
        for (const std::string& text : s.text) std::cout << "  " << text << '\n';
    }
}
