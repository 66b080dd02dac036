// Floating-point numbers read from text, in one code path for every build:
// the WebAssembly build's C++ library has no floating-point std::from_chars,
// so fast_float reads them (fmt writes them), and both round correctly, as
// the standard functions do.
#pragma once

#include <fast_float/fast_float.h>

#include <charconv>
#include <cmath>
#include <system_error>

enum class FloatForm { Fixed, General };

// As std::from_chars reads a float or a double: the value, or
// result_out_of_range (and the value unchanged) where a number gives
// infinity or a nonzero number gives zero.
template <typename T>
std::from_chars_result ParseFloat(const char* first, const char* last, T& value, FloatForm form) {
    T read{};
    const auto r = fast_float::from_chars(first, last, read,
                                          form == FloatForm::Fixed ? fast_float::chars_format::fixed
                                                                   : fast_float::chars_format::general);
    if (r.ec != std::errc()) return {r.ptr, r.ec};
    bool nonzero = false, number = false;
    for (const char* c = first; c < r.ptr && *c != 'e' && *c != 'E'; ++c) {
        number = number || (*c >= '0' && *c <= '9');
        nonzero = nonzero || (*c >= '1' && *c <= '9');
    }
    if ((number && std::isinf(read)) || (nonzero && read == 0)) return {r.ptr, std::errc::result_out_of_range};
    value = read;
    return {r.ptr, std::errc()};
}
