// Shared by the engine tests.
#pragma once

#include "Tarvane_Module.h"

#include <array>
#include <bit>
#include <string>

namespace tarvane_test {

// The window's degree-to-radian factor (3.14159265359 / 180), not pi/180.
constexpr double kDeg = 0.017453292519944444;

// The 19 fields of a record, in their order (field 1 at index 0).
using Fields = std::array<double, 19>;
inline Fields fieldsOf(const Tarvane_Module::EngineState& s) { return std::bit_cast<Fields>(s); }

// One character per field: 'n' where the record now differs from `before`,
// '.' where it compares equal.
inline std::string changedFields(const Tarvane_Module::EngineState& before) {
    const Fields now = fieldsOf(Tarvane_Module::State), old = fieldsOf(before);
    std::string mask;
    for (std::size_t i = 0; i < now.size(); ++i)
        mask += now[i] == old[i] ? '.' : 'n';
    return mask;
}

} // namespace tarvane_test
