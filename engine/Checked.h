// A double whose every step is checked, so that a formula of the engine reads
// as a formula and still throws ArithmeticError at the step that fails.
// Private to the engine.
//
// The compiler does not keep the floating-point status flags reliably, so
// each step tests its own result.  Operands are always finite (inputs enter
// through finite(), and every earlier step was checked), so a NaN result is
// an invalid operation and an infinite one an overflow.
//
// A double enters only explicitly (Checked{x} or finite(x)); an operator
// with one double operand is the checked one, so no step of a formula falls
// back to unchecked double arithmetic unless both operands are plain doubles.
// The functions live in Tarvane_Module itself, so that an unqualified sin(x)
// of a plain double finds them, and not the unchecked ::sin, and fails to
// compile.
#pragma once

#include "engine/Tarvane_Module.h"

#include <cmath>

namespace Tarvane_Module {

[[noreturn]] [[gnu::cold]] inline void raise(ArithmeticErrorKind kind) {
    switch (kind) {
    case ArithmeticErrorKind::InvalidOperation: throw ArithmeticError(kind, "Invalid floating-point operation");
    case ArithmeticErrorKind::DivisionByZero: throw ArithmeticError(kind, "Division by zero");
    case ArithmeticErrorKind::Overflow: throw ArithmeticError(kind, "Overflow");
    case ArithmeticErrorKind::InvalidArgument: break;
    }
    throw ArithmeticError(ArithmeticErrorKind::InvalidArgument, "Invalid argument");
}

class Checked {
public:
    constexpr explicit Checked(double v) : v_(v) {}
    constexpr operator double() const { return v_; }

private:
    double v_;
};

// NaN and infinities raise no floating-point flag on their own and would flow
// through to a plainly wrong result, so inputs are refused on entry.
inline Checked finite(double x) {
    if (!std::isfinite(x)) [[unlikely]]
        raise(ArithmeticErrorKind::InvalidArgument);
    return Checked{x};
}

namespace checked_detail {
inline Checked result(double r) {
    if (!std::isfinite(r)) [[unlikely]]
        raise(std::isnan(r) ? ArithmeticErrorKind::InvalidOperation : ArithmeticErrorKind::Overflow);
    return Checked{r};
}
inline Checked add(double x, double y) { return result(x + y); }
inline Checked subtract(double x, double y) { return result(x - y); }
inline Checked multiply(double x, double y) { return result(x * y); }
inline Checked divide(double x, double y) {
    if (y == 0.0) [[unlikely]]
        raise(x == 0.0 ? ArithmeticErrorKind::InvalidOperation : ArithmeticErrorKind::DivisionByZero);
    return result(x / y);
}
inline Checked power(double base, double exponent) {
    if (base == 0.0 && exponent < 0.0) [[unlikely]]
        raise(ArithmeticErrorKind::DivisionByZero);
    return result(std::pow(base, exponent));
}
} // namespace checked_detail

// Each operator and function for (Checked, Checked), (Checked, double) and
// (double, Checked).
#define TARVANE_CHECKED_BINARY(signature, step)                                                                     \
    inline Checked signature(Checked x, Checked y) { return checked_detail::step(x, y); }                          \
    inline Checked signature(Checked x, double y) { return checked_detail::step(x, y); }                           \
    inline Checked signature(double x, Checked y) { return checked_detail::step(x, y); }
TARVANE_CHECKED_BINARY(operator+, add)
TARVANE_CHECKED_BINARY(operator-, subtract)
TARVANE_CHECKED_BINARY(operator*, multiply)
TARVANE_CHECKED_BINARY(operator/, divide)
TARVANE_CHECKED_BINARY(pow, power)
#undef TARVANE_CHECKED_BINARY

// Negation, atan and abs of a finite number are finite: nothing to check.
inline Checked operator-(Checked x) { return Checked{-double(x)}; }
inline Checked atan(Checked x) { return Checked{std::atan(double(x))}; }
inline Checked abs(Checked x) { return Checked{std::fabs(double(x))}; }

inline Checked sin(Checked x) { return checked_detail::result(std::sin(double(x))); }
inline Checked cos(Checked x) { return checked_detail::result(std::cos(double(x))); }
inline Checked tan(Checked x) { return checked_detail::result(std::tan(double(x))); }
inline Checked log(Checked x) {
    if (!(x > 0.0)) [[unlikely]]
        raise(ArithmeticErrorKind::InvalidArgument);
    return Checked{std::log(double(x))};
}
inline Checked sqrt(Checked x) {
    if (x < 0.0) [[unlikely]]
        raise(ArithmeticErrorKind::InvalidArgument);
    return Checked{std::sqrt(double(x))};
}

} // namespace Tarvane_Module
