// Shared by the engine tests.
#pragma once

#include "Tarvane_Module.h"

#include <array>
#include <string>

namespace tarvane_test {

// The window's degree-to-radian factor (3.14159265359 / 180), not pi/180.
constexpr double kDeg = 0.017453292519944444;

// The 19 fields of the record in their order, 1-based in the names below.
inline const std::array<double Tarvane_Module::EngineState::*, 19> kFields = {
    &Tarvane_Module::EngineState::SemiMajorAxis,    &Tarvane_Module::EngineState::EccentricitySquared,
    &Tarvane_Module::EngineState::Eccentricity,     &Tarvane_Module::EngineState::HalfEccentricity,
    &Tarvane_Module::EngineState::ConeParallel,     &Tarvane_Module::EngineState::ConeConstant,
    &Tarvane_Module::EngineState::NegConeConstant,  &Tarvane_Module::EngineState::ConeIsometricLat,
    &Tarvane_Module::EngineState::ScaleFactor,      &Tarvane_Module::EngineState::ConeNormalRadius,
    &Tarvane_Module::EngineState::ConeScaledNormal, &Tarvane_Module::EngineState::ConeScaledCircle,
    &Tarvane_Module::EngineState::ConeMapRadius,    &Tarvane_Module::EngineState::ConeCotRadius,
    &Tarvane_Module::EngineState::ConeMapRadiusInv, &Tarvane_Module::EngineState::CentralMeridian,
    &Tarvane_Module::EngineState::FalseNorthing,    &Tarvane_Module::EngineState::FalseEasting,
    &Tarvane_Module::EngineState::NorthingOffset,
};

// One character per field: 'n' where the record differs from `before`, '.'
// where it compares equal.
inline std::string changedFields(const Tarvane_Module::EngineState& before) {
    std::string mask;
    for (auto field : kFields)
        mask += Tarvane_Module::State.*field == before.*field ? '.' : 'n';
    return mask;
}

} // namespace tarvane_test
