// Shared by the engine tests.
#pragma once

#include "engine/Tarvane_Module.h"

namespace tarvane_test {
// The window's degree-to-radian factor (3.14159265359 / 180), not pi/180.
constexpr double kDeg = 0.017453292519944444;
} // namespace tarvane_test
