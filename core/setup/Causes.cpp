#include "core/setup/Causes.h"

namespace Causes {

using Tarvane_Module::ArithmeticErrorKind;

const char* KindName(ArithmeticErrorKind kind) {
    switch (kind) {
        case ArithmeticErrorKind::InvalidOperation: return "invalid operation";
        case ArithmeticErrorKind::DivisionByZero: return "division by zero";
        case ArithmeticErrorKind::Overflow: return "overflow";
        case ArithmeticErrorKind::InvalidArgument: return "invalid argument";
    }
    return "arithmetic error";
}

const char* Cause(Step step, ArithmeticErrorKind kind) {
    switch (step) {
        case Step::SetUp:
            switch (kind) {
                case ArithmeticErrorKind::DivisionByZero:
                    return "a standard parallel on the equator, or two parallels symmetric about it, give no cone";
                case ArithmeticErrorKind::InvalidOperation: return "two equal standard parallels give no cone";
                case ArithmeticErrorKind::InvalidArgument:
                    return "a parallel or latitude of origin at 90\u00B0 north or south has no place on a cone, and "
                           "every value must be a finite number";
                case ArithmeticErrorKind::Overflow: return "a parameter is too large for the calculation";
            }
            break;
        case Step::Forward:
            return kind == ArithmeticErrorKind::InvalidArgument
                       ? "a latitude of 90\u00B0 north or south has no grid position on a cone"
                       : "the position lies outside what this projection can map";
        case Step::Inverse:
            switch (kind) {
                case ArithmeticErrorKind::InvalidOperation:
                case ArithmeticErrorKind::DivisionByZero: return "the point lies at the apex of the cone";
                case ArithmeticErrorKind::InvalidArgument:
                    return "the point lies beyond the apex of the cone, or a value is not a finite number";
                case ArithmeticErrorKind::Overflow: return "the latitude did not settle within 32767 iterations";
            }
            break;
    }
    return "the calculation failed";
}

}  // namespace Causes
