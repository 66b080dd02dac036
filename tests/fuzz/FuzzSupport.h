// Shared by the fuzz targets: stopping on a broken property, and taking
// numbers out of the input bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace fuzz {

// A broken property ends the run the way a crash does, so that libFuzzer
// keeps the input as an artefact and the replay test fails.
[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void Require(bool ok, const char* what) {
    if (!ok) [[unlikely]]
        Fail(what);
}

// Reads the input front to back; once it is used up every read gives 0.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return pos_ >= size_; }

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    std::int16_t Int16() {
        const auto low = Byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (Byte() << 8)));
    }

    // A selector byte below the size of the table picks one of the values
    // that matter to an angle or a length in radians and metres (NaN,
    // infinities, the poles as the window converts them, extremes); any
    // other selector takes the next eight bytes as the double's own bits,
    // so that every double can be reached.
    double Double() {
        static const double table[] = {
            0.0, -0.0,
            std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(),
            std::numeric_limits<double>::max(),
            -std::numeric_limits<double>::max(),
            std::numeric_limits<double>::denorm_min(),
            std::numeric_limits<double>::min(),
            90 * kDeg, -90 * kDeg,                // slightly beyond the poles
            1.5707963267948966, -1.5707963267948966, // the double nearest pi/2
            1.5707963267930578, 1.5707963267930558,  // a hair short of the pole
            33 * kDeg, 45 * kDeg, 23 * kDeg, -33 * kDeg, -45 * kDeg, 40 * kDeg,
            -96 * kDeg, 180 * kDeg, 360 * kDeg,
            0.9996, 1.0, -1.0, 1e-300,
            500000.0, 1e7, -1e7, 1e300,
        };
        constexpr std::size_t count = sizeof table / sizeof table[0];
        const std::uint8_t selector = Byte();
        if (selector < count) return table[selector];
        if (size_ - pos_ < 8) return static_cast<double>(selector - count) * 0.01;
        double x;
        std::memcpy(&x, data_ + pos_, 8);
        pos_ += 8;
        return x;
    }

    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return rest;
    }

    // The window's degree-to-radian factor (3.14159265359 / 180).
    static constexpr double kDeg = 0.017453292519944444;

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace fuzz
