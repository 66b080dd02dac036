// Why the engine fails, in the user's terms: one table for the window and
// the batch tool, which each word it for their own users.
#pragma once

#include "engine/Tarvane_Module.h"

namespace Causes {

// Where the failing engine step ran.
enum class Step {
    SetUp,    // the initialize command: datum and cone
    Forward,  // latitude and longitude to grid, and the data at a latitude
    Inverse,  // grid to latitude and longitude
};

// The kind in a few words: "division by zero".
const char* KindName(Tarvane_Module::ArithmeticErrorKind kind);

// What makes this step fail with this kind, without a final stop:
// "two equal standard parallels give no cone".
const char* Cause(Step step, Tarvane_Module::ArithmeticErrorKind kind);

}  // namespace Causes
